#pragma once
// A current OpenGL context for GL tests, plus frame-buffer read-back and PNG output.
//
//   #include "tests/support/GLTestContext.h"
//   TEST(MyGLTest, DrawsRed) {
//     qv::test::GLTestContext ctx(64, 64);        // window + compatibility context, current
//     glClearColor(1, 0, 0, 1);
//     glClear(GL_COLOR_BUFFER_BIT);
//     auto rgba = qv::test::ReadPixels(ctx);      // back buffer, bottom row first, 4 bytes/pixel
//     EXPECT_EQ(qv::test::PixelAt(rgba, ctx.Width(), 10, 10)[0], 255);
//     qv::test::WritePng("red.png", ctx.Width(), ctx.Height(), rgba);  // for a human to look at
//   }
//
// The context is double-buffered RGBA with 24 depth bits (as the game's own), in a small shown
// window: the tests run under Xvfb with Mesa's software renderer (make test starts it). The
// constructor throws std::runtime_error when there is no display. One context at a time is the
// intended use; the destructor releases window and context.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/PngFile.h"
#include "platform/Window.h"

namespace qv::test {

enum class TBuffer { Back, Front };

class GLTestContext {
 public:
  GLTestContext(int width, int height);
  ~GLTestContext();
  GLTestContext(const GLTestContext&) = delete;
  GLTestContext& operator=(const GLTestContext&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Makes this context current again (after another context was used).
  void MakeCurrent();
  // Swaps back and front buffer: what was drawn becomes the front buffer.
  void Swap();
  TPlatformWindow& Window() { return *window_; }

 private:
  int width_, height_;
  std::unique_ptr<TPlatformWindow> window_;
  TGLContextHandle context_ = nullptr;
};

// The whole buffer as RGBA bytes, bottom row first (OpenGL's order). Read the back buffer before
// Swap: Mesa's software renderer under Xvfb returns black for the front buffer of a window.
std::vector<std::uint8_t> ReadPixels(const GLTestContext& ctx, TBuffer buffer = TBuffer::Back);

// The four bytes of pixel (x, y), y counted from the bottom row, in an image from ReadPixels.
std::array<std::uint8_t, 4> PixelAt(const std::vector<std::uint8_t>& rgba, int width, int x, int y);

// Writes an RGBA image as PNG, the right way up; throws std::runtime_error on failure.
void WritePng(const std::filesystem::path& path, int width, int height,
              const std::vector<std::uint8_t>& rgba, TRowOrder order = TRowOrder::BottomUp);

// Reads a PNG back as RGBA bytes, top row first (as the file stores it); throws
// std::runtime_error when the file cannot be read.
std::vector<std::uint8_t> ReadPng(const std::filesystem::path& path, int& width, int& height);

}  // namespace qv::test
