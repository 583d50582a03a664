#include "platform/PngFile.h"

// Static linkage keeps this copy of the writer private to the file, so another library may embed
// its own without clashing symbols.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace qv {

bool WritePngFile(const std::filesystem::path& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba, TRowOrder order) {
  if (width <= 0 || height <= 0) return false;
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  if (rgba.size() != stride * static_cast<std::size_t>(height)) return false;
  const std::uint8_t* first = rgba.data();
  int step = static_cast<int>(stride);
  if (order == TRowOrder::BottomUp) {
    first += stride * static_cast<std::size_t>(height - 1);
    step = -step;
  }
  return stbi_write_png(path.string().c_str(), width, height, 4, first, step) != 0;
}

}  // namespace qv
