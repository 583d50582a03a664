#include "tools/LevelCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <system_error>

#include "collision/BoundingSweep.h"
#include "collision/CollideeObject.h"
#include "collision/Static3dObjects.h"
#include "game/AlarmDispatcher.h"
#include "game/GhostClasses.h"
#include "game/LevelNumbers.h"
#include "game/LevelSchema.h"
#include "game/MovementStep.h"
#include "game/World.h"
#include "models/3DSFileAdapter.h"
#include "models/File3DS.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "scene/TerrainObject.h"
#include "scene/Texture.h"

namespace qvtool {

namespace {

namespace fs = std::filesystem;
using qv::TVector;

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool IsFileAt(const std::string& path) { return IsFile(qv::ResolvePath(path)); }

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The reader's messages break their lines with "\r".
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

std::string WithoutPrefix(const std::string& text, const std::string& prefix) {
  return text.starts_with(prefix) ? text.substr(prefix.size()) : text;
}

// A folder as the author wrote it, with "/" and one trailing separator; "" stays "".
std::string FolderShown(const std::string& folder) {
  std::string shown = qv::NormalizeSeparators(folder);
  if (!shown.empty() && shown.back() != '/') shown += '/';
  return shown;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value + 0.0);  // no "-0" from a plane through 0
  return text;
}

std::string Point(const TVector& p) {
  return "(" + Number(p.x) + ", " + Number(p.y) + ", " + Number(p.z) + ")";
}

// Makes `dir` the current directory for the object's life: the world finds the player's model
// and the shared sky box relative to it, as the game does in its own folder.
class TScopedCurrentDir {
 public:
  explicit TScopedCurrentDir(const fs::path& dir) {
    std::error_code error;
    saved_ = fs::current_path(error);
    fs::current_path(dir, error);
  }
  ~TScopedCurrentDir() {
    std::error_code error;
    fs::current_path(saved_, error);
  }
  TScopedCurrentDir(const TScopedCurrentDir&) = delete;
  TScopedCurrentDir& operator=(const TScopedCurrentDir&) = delete;

 private:
  fs::path saved_;
};

// Terrain answers 0.01 inside its box at most, so an actor on the seam of two tiles is moved
// by no more than this: it stands on the terrain for any author's purpose.
constexpr float kEdgeNudge = 0.02f;

constexpr const qv::TLevelKey& kInitialState = qv::LevelKey("TSearchGhostObject", "InitialState");

// What a texture file that LoadTGA refused is.
std::string TgaCause(int result, const std::string& file) {
  switch (result) {
    case qv::tgaCannotOpen: return IsFileAt(file) ? "cannot be opened" : "no such file";
    case qv::tgaBadHeader: return "not an uncompressed true-colour TGA (no id, colour map, origin)";
    case qv::tgaBadImageSpec: return "no pixels, or neither 24 nor 32 bits per pixel";
    default: return "cut short";
  }
}

class TLevelCheck {
 public:
  TLevelCheck(const std::string& levelDir, const std::string& gameDir)
      : levelShown_(FolderShown(levelDir.empty() ? "." : levelDir)),
        gameShown_(FolderShown(gameDir)),
        iniShown_(levelShown_ + "Level.ini") {}

  std::vector<TLevelProblem> Run() {
    if (!LevelFolder()) return problems_;
    const bool levelFile = LevelFile();
    if (levelFile) {
      PlayerSection();
      GhostSections();
    }
    Models();
    if (levelFile && !modelFailed_) Actors();
    return problems_;
  }

 private:
  void Error(const std::string& file, const std::string& text) {
    problems_.push_back({TSeverity::Error, file, text});
  }
  void Warning(const std::string& file, const std::string& text) {
    problems_.push_back({TSeverity::Warning, file, text});
  }

  bool LevelFolder() {
    std::error_code error;
    if (fs::is_directory(qv::ResolvePath(levelShown_), error)) return true;
    Error(levelShown_, "no such folder");
    return false;
  }

  bool LevelFile() {
    const fs::path path = qv::ResolvePath(iniShown_);
    if (!IsFile(path)) {
      Error(iniShown_, "no such file: the game ignores a level folder without it");
      return false;
    }
    ini_.emplace(path);
    return true;
  }

  // --- Level.ini ---

  void PlayerSection() {
    Keys("Player", [](std::string_view scope) { return scope == "Player"; });
  }

  // The section's keys of the schema that `inScope` accepts: numbers, then integers.
  template <class InScope>
  void Keys(const std::string& section, InScope inScope) {
    for (const qv::TLevelKeyType type : {qv::TLevelKeyType::Number, qv::TLevelKeyType::Integer}) {
      for (const qv::TLevelKey& key : qv::LevelKeys()) {
        if (key.Type != type || !inScope(key.Scope)) continue;
        if (type == qv::TLevelKeyType::Number)
          CheckNumber(section, key);
        else
          CheckInteger(section, key);
      }
    }
  }

  void CheckNumber(const std::string& section, const qv::TLevelKey& key) {
    const std::string prefix = "Level file " + ini_->FileName().string() + ": ";
    const qv::TLevelNumber number = qv::ReadLevelNumber(*ini_, section, key.Name, key.Default);
    const std::string problem = qv::LevelNumberProblem(*ini_, section, key.Name, number);
    if (!problem.empty()) Warning(iniShown_, WithoutPrefix(problem, prefix));
  }

  // Booleans and states are integers: a value with a fraction or a unit is no integer at all.
  void CheckInteger(const std::string& section, const qv::TLevelKey& key) {
    if (ini_->ValueExists(section, key.Name) &&
        ini_->ReadInteger(section, key.Name, 0) != ini_->ReadInteger(section, key.Name, 1))
      Warning(iniShown_, "[" + section + "] " + std::string(key.Name) + " = \"" +
                             ini_->ReadString(section, key.Name, "") +
                             "\" is not an integer, the default " + Number(key.Default) +
                             " is used");
    if (&key == &kInitialState) InitialState(section);
  }

  // Every section but "Player" is a ghost when it has a "filename", in file order.
  void GhostSections() {
    std::set<std::string> seen;
    for (const std::string& section : ini_->SectionNames()) {
      if (!seen.insert(Lower(section)).second) {
        Warning(iniShown_, "section [" + section +
                               "] appears again: the game reads only the first section of that "
                               "name (letter case aside)");
        continue;
      }
      if (section == "Player") continue;
      const bool playerSection = Lower(section) == "player";
      const std::string fileName =
          qv::ReadLevelText(*ini_, section, qv::LevelKey("TGhostObject", "filename"));
      if (fileName.empty()) {
        if (!playerSection)
          Warning(iniShown_, "section [" + section + "] has no \"filename\": the game ignores it");
        continue;
      }
      if (playerSection)
        Warning(iniShown_, "section [" + section +
                               "] is read as the player's section (section names ignore letter "
                               "case) and, not being written \"Player\", also as a ghost");
      GhostSection(section, fileName);
    }
  }

  void GhostSection(const std::string& section, const std::string& fileName) {
    const std::string kind = GhostKind(section);
    Keys(section, [&](std::string_view scope) {
      return scope != "Player" && qv::GhostKindIsA(kind, scope);
    });

    const std::string model = levelShown_ + qv::NormalizeSeparators(fileName);
    if (!IsFileAt(model)) {
      Error(iniShown_, "[" + section + "] filename \"" + fileName + "\": no such file");
      modelFailed_ = true;
      return;
    }
    // Sections may name one file in several spellings; its problems are reported once.
    if (ghostFiles_.insert(qv::ResolvePath(model).string()).second) ghostModels_.push_back(model);
  }

  // The class the game makes of the section's "classname".
  std::string GhostKind(const std::string& section) {
    const std::string className =
        qv::ReadLevelText(*ini_, section, qv::LevelKey("TGhostObject", "classname"));
    const std::string plain = qv::TGhostObject::Class().Name;
    // Named for what it makes, the plain class is meant.
    if (className == plain) return plain;
    std::string spelled;
    for (const qv::TGhostKind& kind : qv::GhostKinds()) {
      if (kind.Base.empty()) continue;
      if (className == kind.Class->Name) return className;
      if (Lower(className) == Lower(kind.Class->Name)) spelled = kind.Class->Name;
    }
    const std::string drifts = ": it is a plain ghost that drifts straight on and never hides";
    if (className.empty())
      Warning(iniShown_, "[" + section + "] has no \"classname\"" + drifts);
    else if (!spelled.empty())
      Warning(iniShown_, "[" + section + "] classname \"" + className +
                             "\" is spelled in another letter case than \"" + spelled +
                             "\" (class names are case-sensitive)" + drifts);
    else
      Warning(iniShown_,
              "[" + section + "] classname \"" + className + "\" names no ghost class" + drifts);
    return plain;
  }

  // Search ghosts take 1 (seeking), 2 (free) or 3 (hiding); anything else leaves them free.
  void InitialState(const std::string& section) {
    const int state = qv::ReadLevelInteger(*ini_, section, kInitialState);
    if (state < 1 || state > 3)
      Warning(iniShown_, "[" + section + "] InitialState = " + std::to_string(state) +
                             " is not 1, 2 or 3: the ghost starts free");
  }

  // --- model files ---

  void Models() {
    const std::string player = gameShown_ + "objects/Player.3ds";
    if (IsFileAt(player))
      CheckModel(player, false);
    else
      Missing(player, "no such file: the player's model (looked up in the game folder)");

    const std::string levelSky = levelShown_ + "SkyBox.3DS";
    const std::string sharedSky = gameShown_ + "objects/SkyBox.3DS";
    if (IsFileAt(levelSky))
      CheckModel(levelSky, false);
    else if (IsFileAt(sharedSky))
      CheckModel(sharedSky, false);

    const std::string objects = levelShown_ + "Objects.3DS";
    if (IsFileAt(objects))
      CheckModel(objects, true);
    else
      Missing(objects, "no such file: the level's geometry");

    for (const std::string& ghost : ghostModels_) CheckModel(ghost, false);
  }

  // A file the game needs and cannot use: the world is not tried.
  void Missing(const std::string& file, const std::string& why) {
    Error(file, why);
    modelFailed_ = true;
  }

  // Loads the model as the game would and checks its meshes; the level geometry's meshes also
  // for their names and collision sizes.
  void CheckModel(const std::string& file, bool levelGeometry) {
    std::unique_ptr<qv::T3DSFileAdapter> model;
    try {
      model = std::make_unique<qv::T3DSFileAdapter>(
          file, qv::TTextureFailure::WarnUntextured,
          [&](const std::string& message) { Texture(file, message); });
      if (levelGeometry && model->ObjectCount() == 0) {
        Missing(file, "it holds no meshes, and the game cannot load a level without geometry");
        return;
      }
      qv::TFile3DS records{fs::path(file)};
      qv::TObjectList& meshes = records.ObjectList();
      const int count = std::min(meshes.MeshCount(), model->ObjectCount());
      for (int i = 0; i < count; ++i) {
        const qv::TMesh3DS& record = *meshes.MeshItem(i);
        UndrawnMesh(file, record, *model);
        if (levelGeometry) {
          MeshName(file, record.name);
          LargeCollidee(file, record, *model->GetObject(i));
        }
        meshes.ReleaseMesh(i);
      }
    } catch (const std::exception& e) {
      modelFailed_ = true;
      Error(file, WithoutPrefix(OneLine(e.what()), file + ": "));
    }
  }

  // The adapter reports a texture it could not load as "<file>: material "<name>" drawn
  // untextured: Error Loading Texture:<tga>". The game itself stops there.
  void Texture(const std::string& file, const std::string& message) {
    const std::string marker = "\" drawn untextured: Error Loading Texture:";
    const std::string text = WithoutPrefix(OneLine(message), file + ": ");
    const std::size_t at = text.rfind(marker);
    if (at == std::string::npos) return Error(file, text);
    const std::string tga = text.substr(at + marker.size());
    qv::TTgaData data;
    const int result = qv::LoadTGA(tga, data);
    Error(file, text.substr(0, at + 1) + ": texture " + tga + ": " + TgaCause(result, tga) +
                    "; the game stops with \"Error Loading Texture\"");
  }

  // What a never-drawn mesh still does, so an invisible wall or floor reads as such.
  static std::string StillDoes(const std::string& meshName) {
    const qv::TMeshClass& kind = qv::T3DSFileAdapter::MeshClassFor(meshName);
    if (&kind == &qv::TTerrainObject::Class()) return " (actors still walk on it)";
    if (&kind == &qv::TCollideeObject::Class()) return " (it still blocks actors)";
    return "";
  }

  void UndrawnMesh(const std::string& file, const qv::TMesh3DS& record,
                   const qv::T3DSFileAdapter& model) {
    if (record.hidden || record.vertices.size() < 3 || record.faces.empty()) return;
    const std::string mesh = "mesh \"" + record.name + "\"";
    if (record.matGroups.empty()) {
      Warning(file,
              mesh + " has no material assignments: it is never drawn" + StillDoes(record.name));
      return;
    }
    for (const qv::TObjMat3DS& group : record.matGroups) {
      if (model.FindMaterial(group.name)) continue;
      Warning(file, mesh + ": material \"" + group.name + "\" is not in the file, so its " +
                        std::to_string(group.faces.size()) + " face(s) are never drawn" +
                        StillDoes(record.name));
    }
  }

  // The prefixes are case-sensitive: "Ter..." and "COL..." make plain meshes.
  void MeshName(const std::string& file, const std::string& name) {
    if (name.size() < 3) return;
    const qv::TMeshClass& meant =
        qv::T3DSFileAdapter::MeshClassFor(Lower(name.substr(0, 3)) + name.substr(3));
    if (&meant == &qv::T3DSFileAdapter::MeshClassFor(name)) return;
    const bool terrain = &meant == &qv::TTerrainObject::Class();
    const std::string kind = terrain ? "terrain" : "collision-mesh";
    Warning(file, "mesh \"" + name + "\" begins like a " + kind + " name but " + kind +
                      " names begin with \"" + (terrain ? "ter" : "col") +
                      "\" (lower case); it is a plain mesh");
  }

  void LargeCollidee(const std::string& file, const qv::TMesh3DS& record,
                     const qv::TSimple3dObject& mesh) {
    const auto* collidee = dynamic_cast<const qv::TCollideeObject*>(&mesh);
    if (!collidee || !collidee->IsLarge()) return;
    std::string count = std::to_string(mesh.VertexCount()) + " vertices";
    if (record.vertices.size() != static_cast<std::size_t>(mesh.VertexCount()))
      count +=
          " after smoothing splits (" + std::to_string(record.vertices.size()) + " in the file)";
    Warning(file, "collision mesh \"" + record.name + "\" has " + count +
                      ", more than 500: actors meet it as one solid block, its doorways closed");
  }

  // --- actors, in the world the game would build ---

  void Actors() {
    const std::string levelDir = FolderShown(fs::absolute(qv::ResolvePath(levelShown_)).string());
    TScopedCurrentDir gameFolder(qv::ResolvePath(gameShown_.empty() ? "." : gameShown_));
    qv::GlobalAlarmDispatcher().SetClock([] { return std::int64_t{0}; });
    try {
      // Textures were checked above; here they only must not stop the load.
      qv::TWorld world(1, qv::TTextureFailure::WarnUntextured);
      world.LoadFromLevelFile(0, levelDir, *ini_);
      const qv::TMovementContext context{world.GetStaticObjects(), world.GetGhosts(),
                                         world.GetPlayer()};
      ActorStart(context, world.GetPlayer(), "Player");
      for (int i = 0; i < world.GetGhosts().GhostCount(); ++i) {
        qv::TGhostObject& ghost = world.GetGhosts().GhostAt(i);
        ActorStart(context, ghost, ghost.Name);
      }
    } catch (const std::exception& e) {
      Error(levelShown_, "the game cannot load the level: " + OneLine(e.what()));
    }
  }

  void ActorStart(const qv::TMovementContext& context, const qv::TGhostObject& actor,
                  const std::string& section) {
    const std::string who = "[" + section + "] starts at " + Point(actor.Position());
    if (!InsideCollision(context, actor, who) && !actor.GravityFree)
      OverTerrain(context, actor, who);
  }

  bool InsideCollision(const qv::TMovementContext& context, const qv::TGhostObject& actor,
                       const std::string& who) {
    qv::TBox box;
    actor.GetBoundingBox(box);
    const qv::T3dObjectList& near = context.Statics.QueryCollidees(box);
    // The game's own test at the end of every move: a box touching a triangle goes back.
    for (int i = 0; i < near.Count(); ++i) {
      const auto& collidee = static_cast<const qv::TCollideeObject&>(*near.Get(i));
      if (!collidee.OverlapsBox(box)) continue;
      Error(iniShown_, who + " inside collision mesh \"" + collidee.Name + "\"");
      return true;
    }
    // A large collidee is met by its bounds: a move from inside them hits at once. (Overlapping
    // spheres let actors apart, so the sweep, not a plain overlap, says whether it is caught.)
    for (int i = 0; i < near.Count(); ++i) {
      const auto& collidee = static_cast<const qv::TCollideeObject&>(*near.Get(i));
      if (!collidee.IsLarge()) continue;
      const qv::TSweepResult hit = qv::SweepAgainst(actor, {0, -1e-4f, 0}, collidee);
      if (!hit.Hit || hit.FirstTime != 0) continue;
      Warning(iniShown_, who + " inside the bounds of the large collision mesh \"" + collidee.Name +
                             "\", which actors meet as one solid block");
      return true;
    }
    return false;
  }

  // The movement step's ground query: actors stand on the highest terrain below them and move only
  // where some terrain answers.
  void OverTerrain(const qv::TMovementContext& context, const qv::TGhostObject& actor,
                   const std::string& who) {
    const TVector p = actor.Position();
    const TVector ground = qv::GroundPoint(context, p, p);
    if (ground.x == p.x && ground.z == p.z && !(ground == p)) return;
    if (!(ground == p)) {
      if (std::hypot(ground.x - p.x, ground.z - p.z) <= kEdgeNudge) return;
      Warning(iniShown_, who +
                             " where no terrain lies straight below it: its first step puts it "
                             "on the nearest terrain, at " +
                             Point(ground));
      return;
    }
    const qv::T3dObjectList& terrains = context.Statics.QueryTerrainAt(p.x, p.z);
    std::optional<float> surface;
    for (int i = 0; i < terrains.Count(); ++i) {
      const auto& terrain = static_cast<const qv::TTerrainObject&>(*terrains.Get(i));
      const TVector s = terrain.SurfacePoint(p.x, p.z, p.x, p.z);
      if (s.x == p.x && s.z == p.z && (!surface || s.y < *surface)) surface = s.y;
    }
    if (surface)
      Error(iniShown_, who + ", not above the terrain surface there (y = " + Number(*surface) +
                           "): it cannot move (actors stand only on terrain below them)");
    else
      Error(iniShown_, who +
                           " over no terrain: it cannot move (actors walk only where terrain "
                           "lies below them)");
  }

  const std::string levelShown_;  // the level folder as given, "/" and a trailing separator
  const std::string gameShown_;   // the game folder likewise; "" for the current directory
  const std::string iniShown_;
  std::optional<qv::TIniFile> ini_;
  std::vector<std::string> ghostModels_;  // the ghosts' model files that exist, each once
  std::set<std::string> ghostFiles_;      // ... as resolved on disk
  bool modelFailed_ = false;              // a model the game needs cannot be read
  std::vector<TLevelProblem> problems_;
};

}  // namespace

std::vector<TLevelProblem> CheckLevel(const std::string& levelDir, const std::string& gameDir) {
  return TLevelCheck(levelDir, gameDir).Run();
}

std::string ProblemLine(const TLevelProblem& problem) {
  return std::string(problem.Severity == TSeverity::Error ? "error: " : "warning: ") +
         problem.File + ": " + problem.Text;
}

}  // namespace qvtool
