// qv-tool import SCENE LEVELDIR: a level folder from a glTF, FBX, OBJ or other scene. Prints one
// line for every conversion the .3ds format needed, then what it wrote.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/Commands.h"
#include "tools/SceneImport.h"

namespace qvtool {

int RunImport(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[0].starts_with("--") || args[1].starts_with("--")) {
    std::fprintf(stderr, "usage: qv-tool import SCENE LEVELDIR\n");
    return 2;
  }
  try {
    for (const std::string& note : ImportScene(args[0], args[1])) {
      std::printf("%s\n", note.c_str());
    }
    std::printf("%s: level written from %s\n", args[1].c_str(), args[0].c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
}

}  // namespace qvtool
