// qv-tool demo OUTDIR: writes the bundled demo data set (settings, shared objects, levels) below
// OUTDIR. The build runs it into the folder of the game's executable.

#include <cstdio>
#include <exception>

#include "assets/DemoContent.h"
#include "tools/Commands.h"

namespace qvtool {

int RunDemo(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: qv-tool demo OUTDIR\n");
    return 2;
  }
  try {
    const qv::assets::TDemoWriteResult result = qv::assets::WriteDemoContent(args[0]);
    std::printf("demo content in %s: %d files written, %d unchanged\n", args[0].c_str(),
                result.Written, result.Unchanged);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return 1;
  }
}

}  // namespace qvtool
