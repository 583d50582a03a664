#pragma once
// The qv-tool commands; each returns the process exit code.

#include <string>
#include <vector>

namespace qvtool {

// info FILE.3ds [--json]: lists the meshes and materials of a model file.
int RunInfo(const std::vector<std::string>& args);

// view FILE.3ds [--screenshot OUT.png] [--size WxH]: shows a model as the game lights it.
int RunView(const std::vector<std::string>& args);

// demo OUTDIR: writes the bundled demo levels, objects and settings below OUTDIR.
int RunDemo(const std::vector<std::string>& args);

// bop FILE.3ds [--describe]: loads a model as a level's static objects and reports its tree.
int RunBop(const std::vector<std::string>& args);

// check LEVELDIR [--game-dir DIR]: every problem of a level folder, as errors and warnings.
int RunCheck(const std::vector<std::string>& args);

// import SCENE LEVELDIR: a level folder from a glTF, FBX, OBJ or other scene.
int RunImport(const std::vector<std::string>& args);

// playtest LEVELDIR [--minutes M] [--seeds N] [--player still|wander] [--json]: plays a level
// headless and reports its games and frozen actors.
int RunPlaytest(const std::vector<std::string>& args);

}  // namespace qvtool
