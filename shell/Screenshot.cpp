#include "shell/Screenshot.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/PngFile.h"
#include "shell/GLApplication.h"

namespace qv {

bool SaveFrame(const TGLApplication& app, const std::filesystem::path& path) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(app.Width) * app.Height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, app.Width, app.Height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return WritePngFile(path, app.Width, app.Height, rgba, TRowOrder::BottomUp);
}

std::filesystem::path NextScreenshotName(const std::filesystem::path& folder) {
  for (unsigned number = 1;; ++number) {
    char name[32];
    std::snprintf(name, sizeof name, "screenshot-%04u.png", number);
    std::error_code error;
    if (!std::filesystem::exists(folder / name, error)) return name;
  }
}

}  // namespace qv
