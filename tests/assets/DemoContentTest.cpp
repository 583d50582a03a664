// The bundled demo data set, read back the way the game reads it: settings and level files through
// the ini reader, models through the .3ds reader, textures through the TGA loader, names through
// the path layer. These catch levels that would not load, load wrongly, or leave actors stuck.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

#include "assets/DemoContent.h"
#include "game/AlarmDispatcher.h"
#include "game/World.h"
#include "models/File3DS.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "scene/Texture.h"
#include "tests/support/TempDir.h"

namespace qv::assets {
namespace {

namespace fs = std::filesystem;
using TSnapshot = std::map<std::string, std::uint64_t>;  // relative path -> FNV-1a of the bytes

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

std::vector<std::uint8_t> ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TSnapshot Snapshot(const fs::path& dir) {
  TSnapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file())
      snapshot[fs::relative(entry.path(), dir).generic_string()] = Fnv1a(ReadFile(entry.path()));
  return snapshot;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

struct TModel {
  std::vector<TMesh3DS> Meshes;
  std::vector<TMaterial3DS> Materials;
};

TModel ReadModel(const fs::path& file) {
  TFile3DS db(file);
  TModel model;
  for (int i = 0; i < db.ObjectList().MeshCount(); ++i)
    model.Meshes.push_back(*db.ObjectList().MeshItem(i));
  for (int i = 0; i < db.MaterialList().Count(); ++i)
    model.Materials.push_back(*db.MaterialList().Item(i));
  return model;
}

TVector ToWorld(const TVector& file) { return {file.x, file.z, -file.y}; }

TBox WorldBox(const std::vector<TMesh3DS>& meshes) {
  TBox box{1e30f, -1e30f, 1e30f, -1e30f, 1e30f, -1e30f};
  for (const TMesh3DS& mesh : meshes)
    for (const TVector& v : mesh.vertices) {
      const TVector w = ToWorld(v);
      box = {std::min(box.minX, w.x), std::max(box.maxX, w.x), std::min(box.minY, w.y),
             std::max(box.maxY, w.y), std::min(box.minZ, w.z), std::max(box.maxZ, w.z)};
    }
  return box;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// The data set is written once for the whole suite.
class DemoContentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = std::make_unique<test::TempDir>();
    Result = WriteDemoContent(Dir->Path());
  }
  static void TearDownTestSuite() { Dir.reset(); }
  static fs::path Out() { return Dir->Path(); }

  static TIniFile Settings() { return TIniFile(Out() / kSettingsFileName); }
  // Level folders in level-number order, resolved as the game resolves them.
  static std::vector<fs::path> LevelDirs() {
    std::vector<fs::path> dirs;
    for (const auto& [key, value] : Settings().SectionValues("Levels"))
      dirs.push_back(ResolvePath(value, Out()));
    return dirs;
  }

  static std::unique_ptr<test::TempDir> Dir;
  static TDemoWriteResult Result;
};

std::unique_ptr<test::TempDir> DemoContentTest::Dir;
TDemoWriteResult DemoContentTest::Result;

TEST_F(DemoContentTest, SameBytesOnEveryRunAndUnchangedFilesKeepTheirTime) {
  const TSnapshot first = Snapshot(Out());
  ASSERT_EQ(first.size(), static_cast<std::size_t>(Result.Written));
  EXPECT_EQ(Result.Unchanged, 0);

  test::TempDir other;
  WriteDemoContent(other.Path());
  EXPECT_EQ(Snapshot(other.Path()), first);

  const fs::path objects = other.Path() / "levels/Showcase/Objects.3DS";
  const auto time = fs::last_write_time(objects);
  const TDemoWriteResult again = WriteDemoContent(other.Path());
  EXPECT_EQ(again.Written, 0);
  EXPECT_EQ(again.Unchanged, static_cast<int>(first.size()));
  EXPECT_EQ(fs::last_write_time(objects), time);

  // A damaged file is put right, and only that one.
  { std::ofstream(other.Path() / "levels/Tiny/Level.ini", std::ios::app) << "x"; }
  EXPECT_EQ(WriteDemoContent(other.Path()).Written, 1);
  EXPECT_EQ(Snapshot(other.Path()), first);
}

TEST_F(DemoContentTest, SettingsHoldEverySectionAndTheLevelsExist) {
  const TIniFile ini = Settings();
  for (const char* key : {"Width", "Height", "Bits", "FullScreen", "MouseCapture"}) {
    int value = 0;
    EXPECT_TRUE(ParseIniInteger(ini.ReadString("Window", key, ""), value)) << key;
  }
  for (const char* key : {"Fog", "Light", "ShowFrameInfoLine", "Texture", "AlphaTest", "Blend",
                          "SeparateSpecular", "DisplayLists"}) {
    int value = 0;
    EXPECT_TRUE(ParseIniInteger(ini.ReadString("GL", key, ""), value)) << key;
  }
  const std::set<std::string> toggles = {
      "Fog",       "Light", "WireFrame",        "MouseCapture", "Texture",
      "AlphaTest", "Blend", "SeparateSpecular", "DisplayLists"};
  std::set<char> keys;
  for (const char* name :
       {"Fog", "Light", "FrameInfo", "WireFrame", "MouseCapture", "Texture", "AlphaTest", "Blend",
        "SeparateSpecular", "DisplayLists", "HighestQuality", "Forward", "Back", "StepLeft",
        "StepRight", "Crouch"}) {
    const std::string key = ini.ReadString("Keys", std::string(name) + "Key", "");
    ASSERT_EQ(key.size(), 1u) << name;
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(key[0]))) << name;
    keys.insert(key[0]);
    if (toggles.count(name)) {
      EXPECT_FALSE(ini.ReadString("Keys", std::string(name) + "OnMessage", "").empty()) << name;
      EXPECT_FALSE(ini.ReadString("Keys", std::string(name) + "OffMessage", "").empty()) << name;
    }
  }
  // A movement key that is also a toggle would flip the picture while the player walks.
  EXPECT_EQ(keys.size(), 16u) << "two toggles or movement keys share a key";
  EXPECT_EQ(ini.ReadString("Keys", "HighestQualityOnMessage", ""), "Set to HighestQuality");

  const auto levels = ini.SectionValues("Levels");
  ASSERT_GE(levels.size(), 4u);
  for (const auto& [key, value] : levels) EXPECT_NE(value.find('\\'), std::string::npos) << value;
  EXPECT_NE(levels[2].second.find("Showcase"), std::string::npos);  // the game starts in level 2
  for (const fs::path& dir : LevelDirs()) {
    EXPECT_TRUE(fs::is_regular_file(ResolvePath("Level.ini", dir))) << dir;
    EXPECT_TRUE(fs::is_regular_file(ResolvePath("Objects.3DS", dir))) << dir;
  }
  EXPECT_TRUE(fs::is_regular_file(ResolvePath("objects\\Player.3ds", Out())));
  EXPECT_TRUE(fs::is_regular_file(ResolvePath("objects\\SkyBox.3DS", Out())));
}

TEST_F(DemoContentTest, EveryModelReadsBackWithItsTexturesAndEveryFaceDrawn) {
  int models = 0;
  for (const auto& [path, hash] : Snapshot(Out())) {
    if (Upper(fs::path(path).extension().string()) != ".3DS") continue;
    ++models;
    const fs::path file = Out() / path;
    SCOPED_TRACE(path);
    TModel model;
    ASSERT_NO_THROW(model = ReadModel(file));
    ASSERT_FALSE(model.Meshes.empty());
    std::set<std::string> materials;
    for (const TMaterial3DS& m : model.Materials) {
      EXPECT_TRUE(materials.insert(Upper(m.name)).second) << "duplicate material " << m.name;
      if (m.texture.map.name.empty() || Upper(m.name).find("CUBEMAP") != std::string::npos)
        continue;
      const fs::path texture = ResolvePath(TgaFileName(m.texture.map.name), file.parent_path());
      TTgaData data;
      EXPECT_EQ(LoadTGA(texture.string(), data), tgaOk) << m.name << ": " << texture;
    }
    for (const TMesh3DS& mesh : model.Meshes) {
      std::vector<int> drawn(mesh.faces.size(), 0);
      for (const TObjMat3DS& group : mesh.matGroups) {
        EXPECT_TRUE(materials.count(Upper(group.name))) << mesh.name << " uses " << group.name;
        for (std::uint16_t face : group.faces) ++drawn[face];
      }
      EXPECT_TRUE(std::all_of(drawn.begin(), drawn.end(), [](int n) { return n == 1; }))
          << mesh.name << ": a face in no group or in two";
      EXPECT_TRUE(mesh.texVerts.empty() || mesh.texVertexCount == mesh.vertices.size())
          << mesh.name;
      EXPECT_EQ(mesh.smoothing.size(), mesh.faces.size()) << mesh.name;
    }
  }
  EXPECT_GE(models, 15);
}

TEST_F(DemoContentTest, LevelFilesNameExistingGhostModelsOfEveryKind) {
  const std::vector<fs::path> dirs = LevelDirs();
  ASSERT_GE(dirs.size(), 4u);
  std::vector<std::map<std::string, int>> kinds(dirs.size());
  for (std::size_t level = 0; level < dirs.size(); ++level) {
    const TIniFile ini(ResolvePath("Level.ini", dirs[level]));
    ASSERT_TRUE(ini.SectionExists("Player")) << dirs[level];
    for (const std::string& section : ini.SectionNames()) {
      if (section == "Player") continue;
      const std::string file = ini.ReadString(section, "filename", "");
      if (file.empty()) continue;
      const fs::path model = ResolvePath(file, dirs[level]);
      EXPECT_TRUE(fs::is_regular_file(model)) << section << ": " << file;
      EXPECT_NO_THROW(ReadModel(model)) << file;
      ++kinds[level][ini.ReadString(section, "classname", "")];
    }
  }
  int tinyGhosts = 0;
  for (const auto& [kind, n] : kinds[1]) tinyGhosts += n;
  EXPECT_EQ(tinyGhosts, 0);
  EXPECT_EQ(TIniFile(ResolvePath("Level.ini", dirs[1])).SectionNames(),
            std::vector<std::string>{"Player"});

  // Every kind whose games end: a plain search ghost seeks by random turns and would not find
  // everybody on levels of this size, so no bundled level has one.
  const auto& showcase = kinds[2];
  for (const char* kind :
       {"TDirectGhostObject", "TInFrustumGhostObject", "TShuttleGhostObject", "TGhostObject"})
    EXPECT_GE(showcase.count(kind), 1u) << kind;
  for (const auto& level : kinds) EXPECT_EQ(level.count("TSearchGhostObject"), 0u);
  const TIniFile level(ResolvePath("Level.ini", dirs[2]));
  for (const char* key : {"FogStart", "FogEnd", "FogColorR", "FogColorG", "FogColorB",
                          "Startingxpos", "Startingypos", "Startingzpos"}) {
    double value = 0;
    EXPECT_TRUE(ParseIniFloat(level.ReadString("Player", key, ""), value)) << key;
  }
  int stressGhosts = 0;
  for (const auto& [kind, n] : kinds[3]) stressGhosts += n;
  EXPECT_EQ(stressGhosts, 32);
}

TEST_F(DemoContentTest, ShowcaseShowsEveryFeatureOfTheFormat) {
  const fs::path dir = LevelDirs()[2];
  const TModel model = ReadModel(ResolvePath("Objects.3DS", dir));
  EXPECT_GE(model.Meshes.size(), 300u);
  int terrain = 0, hiddenTerrain = 0, largeCollidees = 0, collidees = 0, splitMeshes = 0;
  for (const TMesh3DS& mesh : model.Meshes) {
    if (StartsWith(mesh.name, "ter")) {
      ++terrain;
      hiddenTerrain += mesh.hidden;
    }
    if (StartsWith(mesh.name, "col")) {
      ++collidees;
      largeCollidees += mesh.vertices.size() > 500;
    }
    // Shared and split vertices: one vertex used by faces of two different lowest groups.
    std::map<std::uint16_t, std::set<std::uint32_t>> lowest;
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
      const std::uint32_t mask = mesh.smoothing[f];
      for (std::uint16_t v : {mesh.faces[f].a, mesh.faces[f].b, mesh.faces[f].c})
        lowest[v].insert(mask & (~mask + 1));
    }
    splitMeshes += std::any_of(lowest.begin(), lowest.end(),
                               [](const auto& entry) { return entry.second.size() > 1; });
  }
  EXPECT_GE(terrain, 5);
  EXPECT_GE(hiddenTerrain, 1);
  EXPECT_GE(collidees, 10);
  EXPECT_GE(largeCollidees, 1);
  EXPECT_GE(splitMeshes, 1);

  bool cubeMap = false, seeThrough = false, opaqueDespiteTransparency = false, twoSided = false,
       wire = false, alphaTexture = false, bmp = false, jpg = false;
  for (const TMaterial3DS& m : model.Materials) {
    cubeMap |= Upper(m.name).find("CUBEMAP") != std::string::npos;
    seeThrough |= m.transparency < 0;  // 0xA08A: alpha 1 + t below 1
    opaqueDespiteTransparency |= m.transparency > 0;
    twoSided |= m.twoSided;
    wire |= m.shading == 0;
    const std::string ext = Upper(fs::path(m.texture.map.name).extension().string());
    bmp |= ext == ".BMP";
    jpg |= ext == ".JPG";
    if (!m.texture.map.name.empty()) {
      TTgaData data;
      if (LoadTGA(ResolvePath(TgaFileName(m.texture.map.name), dir).string(), data) == tgaOk)
        alphaTexture |= data.BitsPerPixel == 32;
    }
  }
  EXPECT_TRUE(cubeMap && seeThrough && opaqueDespiteTransparency && twoSided && wire &&
              alphaTexture && bmp && jpg)
      << cubeMap << seeThrough << opaqueDespiteTransparency << twoSided << wire << alphaTexture
      << bmp << jpg;

  // The sky box scrolls its texture coordinates: it needs one per vertex.
  const TModel sky = ReadModel(ResolvePath("SkyBox.3DS", dir));
  for (const TMesh3DS& mesh : sky.Meshes)
    EXPECT_EQ(mesh.texVerts.size(), mesh.vertices.size()) << mesh.name;
  // Some ghost models live in a sub-folder and are named with "\".
  const TIniFile level(ResolvePath("Level.ini", dir));
  EXPECT_EQ(level.ReadString("Casper", "filename", "").find("ghosts\\"), 0u);
}

TEST_F(DemoContentTest, MeadowFallsBackOnTheSharedSkyAndStoresOtherLetterCases) {
  const TIniFile settings = Settings();
  const std::string asked = settings.SectionValues("Levels")[0].second;
  const fs::path dir = LevelDirs()[0];
  ASSERT_TRUE(fs::is_directory(dir)) << asked;
  EXPECT_NE(dir.filename().string(), fs::path(NormalizeSeparators(asked)).filename().string());
  EXPECT_FALSE(fs::exists(dir / "Objects.3DS"));  // only "objects.3ds" is on disk
  EXPECT_TRUE(fs::exists(dir / "objects.3ds"));
  EXPECT_FALSE(fs::exists(ResolvePath("SkyBox.3DS", dir)));
  const TModel fallback = ReadModel(Out() / "objects/SkyBox.3DS");
  EXPECT_EQ(fallback.Meshes.at(0).texVerts.size(), fallback.Meshes.at(0).vertices.size());
}

TEST_F(DemoContentTest, StressLevelIsLargeEnough) {
  const TModel model = ReadModel(ResolvePath("Objects.3DS", LevelDirs()[3]));
  std::size_t faces = 0;
  std::vector<TMesh3DS> terrain;
  for (const TMesh3DS& mesh : model.Meshes) {
    faces += mesh.faces.size();
    if (StartsWith(mesh.name, "ter")) terrain.push_back(mesh);
  }
  EXPECT_GE(model.Meshes.size(), 2000u);
  EXPECT_GE(faces, 200000u);
  const TBox box = WorldBox(terrain);
  EXPECT_GE(box.maxX - box.minX, 1000.0f);
  EXPECT_GE(box.maxZ - box.minZ, 1000.0f);
}

// Ground and walls as the movement step sees them, for start positions.
struct TWorldTriangles {
  std::vector<std::array<TVector, 3>> Ground;  // "ter" faces
  std::vector<std::array<TVector, 3>> Walls;   // "col" faces
};

TWorldTriangles Triangles(const TModel& model) {
  TWorldTriangles out;
  for (const TMesh3DS& mesh : model.Meshes) {
    auto* list = StartsWith(mesh.name, "ter")   ? &out.Ground
                 : StartsWith(mesh.name, "col") ? &out.Walls
                                                : nullptr;
    if (!list) continue;
    for (const TFace3DS& f : mesh.faces)
      list->push_back(
          {ToWorld(mesh.vertices[f.a]), ToWorld(mesh.vertices[f.b]), ToWorld(mesh.vertices[f.c])});
  }
  return out;
}

// Height of the highest ground triangle over (x, z) below `y`; -1e30 when there is none.
float GroundBelow(const TWorldTriangles& world, float x, float z, float y) {
  float best = -1e30f;
  for (const auto& t : world.Ground) {
    const TVector &a = t[0], &b = t[1], &c = t[2];
    const float d = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
    if (std::fabs(d) < 1e-9f) continue;
    const float u = ((x - a.x) * (c.z - a.z) - (c.x - a.x) * (z - a.z)) / d;
    const float v = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / d;
    if (u < 0 || v < 0 || u + v > 1) continue;
    const float h = a.y + u * (b.y - a.y) + v * (c.y - a.y);
    if (h < y) best = std::max(best, h);
  }
  return best;
}

bool TouchesWall(const TWorldTriangles& world, const TBox& box) {
  for (const auto& t : world.Walls) {
    const float minX = std::min({t[0].x, t[1].x, t[2].x}),
                maxX = std::max({t[0].x, t[1].x, t[2].x});
    const float minY = std::min({t[0].y, t[1].y, t[2].y}),
                maxY = std::max({t[0].y, t[1].y, t[2].y});
    const float minZ = std::min({t[0].z, t[1].z, t[2].z}),
                maxZ = std::max({t[0].z, t[1].z, t[2].z});
    if (maxX >= box.minX && minX <= box.maxX && maxY >= box.minY && minY <= box.maxY &&
        maxZ >= box.minZ && minZ <= box.maxZ)
      return true;
  }
  return false;
}

TEST_F(DemoContentTest, ActorsStartOverGroundAndClearOfWalls) {
  const TBox player = WorldBox(ReadModel(Out() / "objects/Player.3ds").Meshes);
  for (const fs::path& dir : LevelDirs()) {
    SCOPED_TRACE(dir.string());
    const TWorldTriangles world = Triangles(ReadModel(ResolvePath("Objects.3DS", dir)));
    const TIniFile ini(ResolvePath("Level.ini", dir));
    struct TStart {
      std::string Name;
      TVector Position;
      TBox Model;
      bool Falls;
    };
    std::vector<TStart> starts = {{"Player",
                                   {static_cast<float>(ini.ReadFloat("Player", "Startingxpos", 0)),
                                    static_cast<float>(ini.ReadFloat("Player", "Startingypos", 0)),
                                    static_cast<float>(ini.ReadFloat("Player", "Startingzpos", 0))},
                                   player,
                                   true}};
    for (const std::string& section : ini.SectionNames()) {
      const std::string file = ini.ReadString(section, "filename", "");
      if (section == "Player" || file.empty()) continue;
      const std::string kind = ini.ReadString(section, "classname", "");
      starts.push_back({section,
                        {static_cast<float>(ini.ReadFloat(section, "Initialxpos", 0)),
                         static_cast<float>(ini.ReadFloat(section, "Initialypos", 0)),
                         static_cast<float>(ini.ReadFloat(section, "Initialzpos", 0))},
                        WorldBox(ReadModel(ResolvePath(file, dir)).Meshes),
                        kind != "TShuttleGhostObject" && kind != "TGhostObject"});
    }
    for (const TStart& s : starts) {
      const TVector p = s.Position;
      const float ground = GroundBelow(world, p.x, p.z, p.y);
      EXPECT_GT(ground, -1e29f) << s.Name << " starts over no ground";
      // An actor floats |minY| x 1.3 above the ground; falling ones must start at least there.
      if (s.Falls) {
        EXPECT_GE(p.y - ground, -s.Model.minY * 1.3f) << s.Name << " starts sunk";
      }
      // Turning may swing the model's corners round: take the widest horizontal reach both ways.
      const float reach = std::max({-s.Model.minX, s.Model.maxX, -s.Model.minZ, s.Model.maxZ});
      const TBox box{p.x - reach,        p.x + reach, p.y + s.Model.minY,
                     p.y + s.Model.maxY, p.z - reach, p.z + reach};
      EXPECT_FALSE(TouchesWall(world, box)) << s.Name << " starts inside a collision mesh";
    }
  }
}

// The "R" key puts the player at (0, 0, 0) without a test: on every level that must be open
// ground, with the ground below the origin (an actor stands only on ground below it), so the
// player can walk away.
TEST_F(DemoContentTest, ResetToTheOriginLandsOnOpenGround) {
  const fs::path started = fs::current_path();
  fs::current_path(Out());  // the player's model is found relative to the game's folder
  std::int64_t now = 0;
  GlobalAlarmDispatcher().SetClock([&] { return now; });
  for (const fs::path& dir : LevelDirs()) {
    SCOPED_TRACE(dir.string());
    TWorld world(1, TTextureFailure::WarnUntextured);
    world.LoadFromLevelFile(0, dir.string() + "/", TIniFile(ResolvePath("Level.ini", dir)));
    TPlayerObject& player = world.GetPlayer();
    player.PlaceAt({0, 0, 0});
    for (int frame = 0; frame < 20; ++frame) {  // two seconds of walking ahead
      player.MoveForward();
      world.Step(0.5f);
    }
    const TVector p = player.Position();
    EXPECT_GT(std::hypot(p.x, p.z), 5) << p.x << ", " << p.y << ", " << p.z;
    EXPECT_GT(p.y, 0) << "below the ground";
  }
  fs::current_path(started);
}

}  // namespace
}  // namespace qv::assets
