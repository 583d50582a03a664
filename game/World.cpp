#include "game/World.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "game/AlarmDispatcher.h"
#include "game/LevelSchema.h"
#include "game/MovementStep.h"
#include "models/3DSFileAdapter.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/LogFile.h"
#include "platform/Paths.h"
#include "scene/DrawPasses.h"
#include "scene/Simple3dObject.h"
#include "scene/TerrainObject.h"

namespace qv {

namespace {

constexpr const char* kPlayerModel = "objects\\Player.3ds";
constexpr const char* kSharedSkyBox = "objects\\SkyBox.3DS";
constexpr std::int64_t kFirstGameResetMs = 1000;
constexpr int kFixedReflectionEvery = 5;  // frames; the ones between refresh a random visible mesh

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(ResolvePath(path), error);
}

// "%g" with the precision of the design's general float format.
std::string GeneralFloat(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace

TWorld::TWorld(std::uint32_t seed, TTextureFailure textures)
    : Textures(textures),
      random_(seed),
      SkyObjects(std::make_unique<T3dObjects>()),
      Ghosts(std::make_unique<TGhostObjects>(random_)),
      StaticObjects(std::make_unique<TStatic3dObjects>()) {
  Ghosts->BindRules(SearchInfo);
  Player = std::make_unique<TPlayerObject>(KeepAdapter(kPlayerModel), SearchInfo, random_);
  Ghosts->SetPlayer(Player.get());
}

TWorld::~TWorld() {
  StopGhosts();
  // Every pending alarm of the program runs now, once, against objects that still exist: the
  // ghosts' think steps find themselves inactive and end their chains, the message list forgets
  // its lines, and this world's pending end of game runs before the world goes.
  GlobalAlarmDispatcher().FireAll();
  SearchInfo = TSearchInfo{};
}

std::uint32_t TWorld::ClockSeed() {
  const std::int64_t count = PerformanceCounter();
  return static_cast<std::uint32_t>(count ^ (count >> 32));
}

void TWorld::LoadFromLevelFile(int number, const std::string& levelDir, const TIniFile& ini) {
  FogEnd = ReadLevelFloat(ini, "Player", LevelKey("Player", "FogEnd"));
  FogStart = ReadLevelFloat(ini, "Player", LevelKey("Player", "FogStart"));
  FogColor = {ReadLevelFloat(ini, "Player", LevelKey("Player", "FogColorR")),
              ReadLevelFloat(ini, "Player", LevelKey("Player", "FogColorG")),
              ReadLevelFloat(ini, "Player", LevelKey("Player", "FogColorB")), 1.0f};
  Player->LoadFromIni(ini, "Player");
  GlobalLog().Log("  world.created anew, loading level:" + std::to_string(number));

  if (FileExists(levelDir + "SkyBox.3DS"))
    LoadSkyBox(levelDir + "SkyBox.3DS");
  else if (FileExists(kSharedSkyBox))
    LoadSkyBox(kSharedSkyBox);

  TerrainMemory() = 0;
  LoadStatic(levelDir + "Objects.3DS");
  GlobalLog().Log("  MEMORY for terrain-objects: " + GeneralFloat(TerrainMemory()) + " kB");

  for (const std::string& section : ini.SectionNames()) {
    if (section == "Player") continue;  // exact: a "player" section can also be a ghost
    const std::string fileName = ReadLevelText(ini, section, LevelKey("TGhostObject", "filename"));
    if (fileName.empty()) continue;
    AddGhost(levelDir + fileName,
             ReadLevelText(ini, section, LevelKey("TGhostObject", "classname")), section, &ini);
  }

  if (ReadLevelBool(ini, "Player", LevelKey("Player", "overrideMaterialAmbientDiffuse")))
    MakeMaterialsWhite();
  if (ReadLevelBool(ini, "Player", LevelKey("Player", "overrideMaterialSpecularShininess")))
    MakeMaterialsDull();

  StartGhosts();
  GlobalAlarmDispatcher().AddIn([this] { EndGame(); }, kFirstGameResetMs);
}

const T3DSFileAdapter& TWorld::KeepAdapter(const std::string& fileName) {
  Adapters.push_back(std::make_unique<T3DSFileAdapter>(fileName, Textures));
  return *Adapters.back();
}

void TWorld::LoadStatic(const std::string& fileName) {
  StaticObjects->LoadFromAdapter(KeepAdapter(fileName));
  AddCubeMappedMembers(*StaticObjects);
}

void TWorld::LoadSkyBox(const std::string& fileName) {
  SkyObjects->LoadFromAdapter(KeepAdapter(fileName));
}

void TWorld::AddGhost(const std::string& fileName, const std::string& className,
                      const std::string& sectionName, const TIniFile* levelFile) {
  Ghosts->CreateGhost(KeepAdapter(fileName), className, SearchInfo, sectionName, levelFile);
  for (int i = 0; i < Ghosts->GhostCount(); ++i) AddCubeMappedMembers(Ghosts->GhostAt(i));
}

// Each mesh enters once, however often the ghosts are rescanned, so every reflection is
// refreshed equally often.
void TWorld::AddCubeMappedMembers(const T3dObjects& container) {
  for (int i = 0; i < container.MemberCount(); ++i) {
    auto* mesh = dynamic_cast<TSimple3dObject*>(container.GetMember(i));
    if (!mesh || !mesh->HasCubeTexture()) continue;
    bool known = false;
    for (int j = 0; j < CubeMapped.Count() && !known; ++j) known = CubeMapped.Get(j) == mesh;
    if (!known) CubeMapped.Add(mesh);
  }
}

void TWorld::PrepareGL() {
  for (const auto& adapter : Adapters) adapter->UploadTextures();
  if (UseDisplayLists) {
    SetUseDisplayLists(false);
    SetUseDisplayLists(true);
  }
  const TCubeMapRenderer renderer = [this](const TFrustum& frustum) { DrawScene(frustum); };
  for (int i = 0; i < CubeMapped.Count(); ++i)
    static_cast<TSimple3dObject*>(CubeMapped.Get(i))->SetCubeMapRenderer(renderer);
}

void TWorld::SetUseDisplayLists(bool on) {
  UseDisplayLists = on;
  T3dObject* const all[] = {StaticObjects.get(), Ghosts.get(), Player.get(), SkyObjects.get()};
  for (T3dObject* object : all) {
    if (on)
      object->Compile();
    else
      object->Uncompile();
  }
}

void TWorld::MakeMaterialsWhite() {
  for (const auto& adapter : Adapters) adapter->SetMaterialsWhite();
}

void TWorld::MakeMaterialsDull() {
  for (const auto& adapter : Adapters) adapter->SetMaterialsDull();
}

void TWorld::Step(float amount) {
  const TMovementContext context{*StaticObjects, *Ghosts, *Player};
  StepActor(context, *Player, amount);
  for (int i = 0; i < Ghosts->GhostCount(); ++i) StepActor(context, Ghosts->GhostAt(i), amount);
  DriftSkyTexture(amount);
}

// The sky's texture drifts diagonally, 0.025 texture units per second; the drifting meshes are
// drawn from their arrays, since a display list would freeze the coordinates.
void TWorld::DriftSkyTexture(float amount) {
  const float drift = amount / 200.0f;
  for (int i = 0; i < SkyObjects->MemberCount(); ++i) {
    auto* mesh = dynamic_cast<TSimple3dObject*>(SkyObjects->GetMember(i));
    if (!mesh || !mesh->HasTexCoordsPerVertex()) continue;
    if (mesh->Compiled) mesh->Uncompile();
    for (int v = 0; v < mesh->VertexCount(); ++v) {
      TTexCoord uv = mesh->GetTexCoord(v);
      uv.u += drift;
      uv.v += drift;
      mesh->SetTexCoord(v, uv);
    }
  }
}

void TWorld::DrawFrame(const TFrustum& frustum) {
  RefreshReflection(frustum);
  UpdateVisible(frustum);
  DrawScene(frustum);
}

void TWorld::RefreshReflection(const TFrustum& frustum) {
  if (CubeMapped.Count() == 0) return;
  RefreshOneReflection(frustum);
  ++CubeMapFrame;
}

void TWorld::UpdateVisible(const TFrustum& frustum) {
  if (frustum != LastFrustum) CollectVisible(frustum);
}

void TWorld::RefreshOneReflection(const TFrustum& frustum) {
  const int count = CubeMapped.Count();
  if (CubeMapFrame == kFixedReflectionEvery) {
    CubeMapFrame = 0;
    static_cast<TSimple3dObject*>(CubeMapped.Get(CubeMapCursor))->UpdateCubeMap();
    CubeMapCursor = (CubeMapCursor + 1) % count;
    return;
  }
  for (int attempt = 0; attempt < count; ++attempt) {
    auto* mesh = static_cast<TSimple3dObject*>(CubeMapped.Get(random_.Integer(0, count - 1)));
    if (mesh->IsInFrustum(frustum)) {
      mesh->UpdateCubeMap();
      return;
    }
  }
}

void TWorld::DrawScene(const TFrustum& frustum) {
  UpdateVisible(frustum);
  DrawOpaquePass(OpaqueVisible);
  DrawSkyPass(*SkyObjects);
  DrawTransparentPass(TransparentVisible);
}

void TWorld::CollectVisible(const TFrustum& frustum) {
  LastFrustum = frustum;
  OpaqueVisible.Clear();
  TransparentVisible.Clear();
  StaticObjects->CollectVisible(frustum, OpaqueVisible, TransparentVisible);
  Ghosts->CollectVisible(frustum, OpaqueVisible, TransparentVisible);
  if (Player->IsInFrustum(frustum)) {
    if (Player->Transparent)
      TransparentVisible.Add(Player.get());
    else
      OpaqueVisible.Add(Player.get());
  }
  TransparentVisible.Sort();
  SortNearestFirst(OpaqueVisible);
}

void TWorld::StartGhosts() { Ghosts->ActivateAll(); }
void TWorld::StopGhosts() { Ghosts->DeactivateAll(); }
bool TWorld::GameRunning() const { return Ghosts->GetSeeker() != nullptr; }
bool TWorld::PlayerIsSeeker() const { return Ghosts->GetSeeker() == Player.get(); }
void TWorld::PlayerStartsSeeking() { Ghosts->MakeSeeker(Player.get()); }
void TWorld::EndGame() { Ghosts->ResetGame(); }

}  // namespace qv
