// qv-tool bop FILE.3ds [--describe]: loads a model into a static container exactly as a level load
// does - reusing the "bop" tree file beside it when that is newer than the model, else building the
// tree and writing the file - and prints one line about the tree:
//   objects=<n> tree=<built|reloaded> ms=<time> avg_depth=<d> ideal=<log2 n>
// where ms is the time the container took to get its tree (building includes writing the file).
// --describe then prints the tree's text form. A tree file that cannot be written still prints the
// line, then the error, and exits with 1.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "collision/Static3dObjects.h"
#include "models/3DSFileAdapter.h"
#include "platform/Window.h"
#include "tools/Commands.h"

namespace qvtool {

namespace {

int Usage() {
  std::fprintf(stderr, "usage: qv-tool bop FILE.3ds [--describe]\n");
  return 2;
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

// Making materials sets GL state, so a context is made current when a display is named; the tree
// itself never needs one, and without a display the state calls reach no context and do nothing.
// (Without a named display the video start is not even tried: its failure would only print noise.)
class THiddenContext {
 public:
  THiddenContext() {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland)) return;
    if (!qv::InitVideo()) return;
    video_ = true;
    qv::TWindowRequest request;
    request.title = "qv-tool bop";
    request.width = 16;
    request.height = 16;
    request.visibility = qv::TWindowVisibility::Hidden;
    window_ = qv::TPlatformWindow::Create(request);
    if (window_) context_ = window_->CreateGLContext();
  }
  ~THiddenContext() {
    if (context_) {
      window_->ReleaseCurrent();
      qv::TPlatformWindow::DeleteGLContext(context_);
    }
    window_.reset();
    if (video_) qv::QuitVideo();
  }
  THiddenContext(const THiddenContext&) = delete;
  THiddenContext& operator=(const THiddenContext&) = delete;

 private:
  bool video_ = false;
  std::unique_ptr<qv::TPlatformWindow> window_;
  qv::TGLContextHandle context_ = nullptr;
};

}  // namespace

int RunBop(const std::vector<std::string>& args) {
  std::string file;
  bool describe = false;
  for (const std::string& arg : args) {
    if (arg == "--describe")
      describe = true;
    else if (file.empty() && !arg.starts_with("--"))
      file = arg;
    else
      return Usage();
  }
  if (file.empty()) return Usage();

  THiddenContext context;
  try {
    qv::T3DSFileAdapter model(
        file, qv::TTextureFailure::WarnUntextured, [](const std::string& message) {
          std::fprintf(stderr, "qv-tool bop: warning: %s\n", OneLine(message).c_str());
        });
    qv::TStatic3dObjects level;
    const auto start = std::chrono::steady_clock::now();
    level.LoadFromAdapter(model);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const qv::TBOPTree& tree = *level.Tree();
    std::printf("objects=%d tree=%s ms=%.3f avg_depth=%.6g ideal=%.6g\n", level.MemberCount(),
                tree.Origin() == qv::TBOPOrigin::Built ? "built" : "reloaded", ms,
                tree.AverageDepth(), std::log2(static_cast<double>(level.MemberCount())));
    if (describe) {
      const std::string text = tree.Describe();
      std::fwrite(text.data(), 1, text.size(), stdout);
      if (!text.empty() && text.back() != '\n') std::fputs("\r\n", stdout);
    }
    // The game goes on without the file; writing it is this command's whole point.
    if (!level.TreeFileError().empty()) {
      std::fprintf(stderr, "error: %s: %s\n", file.c_str(), OneLine(level.TreeFileError()).c_str());
      return 1;
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s: %s\n", file.c_str(), OneLine(e.what()).c_str());
    return 1;
  }
}

}  // namespace qvtool
