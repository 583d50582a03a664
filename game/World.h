#pragma once
// TWorld: one loaded level - the player, the ghosts, the static geometry with its partition tree,
// the sky box, the fog and the model files all of these came from. The game window steps it once
// per frame (every actor moves once, the player first) and asks it to draw the scene for the
// camera's frustum; the hide-and-seek state it reports is kept by the ghost collection.
//
// Ownership: the world owns the model adapters, which own every scene object and material; the
// containers and the three visibility lists only refer to those objects. The fields below are
// declared so that C++ destroys them in a safe order: the lists and containers go first, then the
// actors, then the search-info record they refer to, and the adapters last of all.
//
// Contract:
//  - GL, as the scene layer's rule says (scene/3dObject.h): construction, loading and stepping
//    make no GL call, alarms included (a ghost's highlight is compiled at its next draw), so a
//    tool can read and step a level without a window. PrepareGL, DrawFrame and DrawScene require
//    a current context; SetUseDisplayLists without one only sets the flag; destruction frees GL
//    names only in the context that made them.
//  - Loading a level reads "Level.ini" through LoadFromLevelFile; a model file that cannot be read
//    raises the model reader's error (E3DSError or EGL naming the file) and leaves the world
//    half-built: the caller drops it.
//  - Destruction deactivates the ghosts and then fires every pending alarm of the program, so
//    nothing queued refers to the world once it is gone.
//  - DrawScene collects the visible lists only when the frustum changed in one of its 24 numbers:
//    a still camera costs no culling.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "collision/Static3dObjects.h"
#include "game/GhostObjects.h"
#include "game/PlayerObject.h"
#include "game/RandomSource.h"
#include "game/SearchInfo.h"
#include "models/3DSFileAdapter.h"
#include "scene/3dObjectList.h"
#include "scene/3dObjects.h"
#include "scene/Geometry.h"

namespace qv {

class TIniFile;

class TWorld {
 public:
  // Seeds the random source, binds the search-info callbacks to the ghost collection and builds
  // the player from "objects\Player.3ds" (relative to the current directory). The level checker
  // loads with WarnUntextured, so a missing texture does not hide where the actors start.
  explicit TWorld(std::uint32_t seed, TTextureFailure textures = TTextureFailure::Raise);
  ~TWorld();
  TWorld(const TWorld&) = delete;
  TWorld& operator=(const TWorld&) = delete;

  // A seed from the application's high-resolution clock, for a world nobody replays.
  static std::uint32_t ClockSeed();

  // Reads level `number` into this new world, in this order: fog, the player's section, the sky
  // box (the level's own, else the shared one), the static geometry, one ghost per section with a
  // "filename" in file order, the material overrides; then starts the ghosts and ends any game
  // one second later. `levelDir` ends with a path delimiter ("\" or "/").
  void LoadFromLevelFile(int number, const std::string& levelDir, const TIniFile& levelFile);

  void LoadStatic(const std::string& fileName);
  void LoadSkyBox(const std::string& fileName);
  void AddGhost(const std::string& fileName, const std::string& className,
                const std::string& sectionName, const TIniFile* levelFile);

  // After every new GL context: textures, display lists, cube-map renderers.
  void PrepareGL();
  void SetUseDisplayLists(bool on);
  void MakeMaterialsWhite();
  void MakeMaterialsDull();

  // Advances every actor by `amount` game units of time (elapsed seconds x 5).
  void Step(float amount);
  // One cube-map face of one reflecting mesh, then the scene: RefreshReflection, UpdateVisible
  // and DrawScene in this order (the game window calls them one by one to time them).
  void DrawFrame(const TFrustum& frustum);
  void RefreshReflection(const TFrustum& frustum);
  // Collects the visible lists again when `frustum` differs from the last one collected for.
  void UpdateVisible(const TFrustum& frustum);
  void DrawScene(const TFrustum& frustum);

  void StartGhosts();
  void StopGhosts();
  bool GameRunning() const;
  bool PlayerIsSeeker() const;
  void PlayerStartsSeeking();
  void EndGame();

  TPlayerObject& GetPlayer() const { return *Player; }
  TGhostObjects& GetGhosts() { return *Ghosts; }
  TStatic3dObjects& GetStaticObjects() { return *StaticObjects; }
  T3dObjects& GetSkyObjects() { return *SkyObjects; }
  TRandomSource& Random() { return random_; }
  const T3dObjectList& CubeMappedMeshes() const { return CubeMapped; }
  const T3dObjectList& OpaqueVisibleObjects() const { return OpaqueVisible; }
  const T3dObjectList& TransparentVisibleObjects() const { return TransparentVisible; }
  int AdapterCount() const { return static_cast<int>(Adapters.size()); }
  bool UsesDisplayLists() const { return UseDisplayLists; }

  float FogEnd = 1000.0f;                   // fog end distance; the far plane while fog is on
  float FogStart = 50.0f;                   // fog start distance
  TColor FogColor{0.6f, 0.6f, 0.6f, 1.0f};  // fog colour, also the clear colour

 private:
  const T3DSFileAdapter& KeepAdapter(const std::string& fileName);
  void AddCubeMappedMembers(const T3dObjects& container);
  void RefreshOneReflection(const TFrustum& frustum);
  void CollectVisible(const TFrustum& frustum);
  void DriftSkyTexture(float amount);

  int CubeMapCursor = 0;   // cyclic position in CubeMapped
  int CubeMapFrame = 0;    // frame counter of the reflection schedule
  TFrustum LastFrustum{};  // the frustum the visible lists were collected for
  bool UseDisplayLists = true;
  TTextureFailure Textures;  // what every model's unloadable texture does to the load

  // Destroyed in reverse order: keep the adapters first and the search info before the actors.
  std::vector<std::unique_ptr<T3DSFileAdapter>> Adapters;  // one per model file; own everything
  TRandomSource random_;                                   // every random draw of this level
  TSearchInfo SearchInfo;                                  // the actors refer to it
  std::unique_ptr<T3dObjects> SkyObjects;
  std::unique_ptr<TPlayerObject> Player;
  std::unique_ptr<TGhostObjects> Ghosts;  // owns the ghosts
  std::unique_ptr<TStatic3dObjects> StaticObjects;
  T3dObjectList CubeMapped{TOwnership::Refers};          // meshes with a reflection, each once
  T3dObjectList TransparentVisible{TOwnership::Refers};  // in LastFrustum, sorted by SortKey
  T3dObjectList OpaqueVisible{TOwnership::Refers};       // in LastFrustum
};

}  // namespace qv
