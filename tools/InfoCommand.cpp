// qv-tool info FILE.3ds [--json]: lists the meshes and materials of a model file.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "models/File3DS.h"
#include "models/Listing3DS.h"
#include "tools/Commands.h"

namespace qvtool {

namespace {

bool IsModelRoot(uint16_t id) { return id == 0x4D4D || id == 0xC23D || id == 0x3DAA; }

}  // namespace

int RunInfo(const std::vector<std::string>& args) {
  std::string file;
  qv::TListingFormat format = qv::TListingFormat::Text;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      format = qv::TListingFormat::Json;
    } else if (file.empty() && !arg.starts_with("--")) {
      file = arg;
    } else {
      std::fprintf(stderr, "usage: qv-tool info FILE.3ds [--json]\n");
      return 2;
    }
  }
  if (file.empty()) {
    std::fprintf(stderr, "usage: qv-tool info FILE.3ds [--json]\n");
    return 2;
  }
  try {
    qv::TFile3DS model{std::filesystem::path(file)};
    // The reader opens any file whose first chunk it does not know as an empty tree; for a
    // listing that is no answer, so say the file is something else.
    if (!IsModelRoot(model.RootChunk()->id)) {
      std::fprintf(stderr,
                   "error: %s: not a .3ds model file: it begins with 0x%04X, not a scene (0x4D4D), "
                   "project (0xC23D) or material library (0x3DAA) chunk\n",
                   file.c_str(), model.RootChunk()->id);
      return 1;
    }
    const std::string listing = qv::ListModel3DS(model, format);
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    return 0;
  } catch (const std::exception& e) {
    // Two of the reader's messages break their line with a carriage return, which a terminal
    // would print over the first half.
    std::string message = e.what();
    for (char& c : message) {
      if (c == '\r') c = '\n';
    }
    std::fprintf(stderr, "error: %s: %s\n", file.c_str(), message.c_str());
    return 1;
  }
}

}  // namespace qvtool
