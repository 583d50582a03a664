#include "tests/support/GLTestContext.h"

#include <GL/gl.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <stdexcept>
#include <string>

namespace qv::test {

GLTestContext::GLTestContext(int width, int height) : width_(width), height_(height) {
  if (!InitVideo())
    throw std::runtime_error(
        "GLTestContext: no display (run the GL tests under scripts/with-xvfb.sh): " + LastError());
  TWindowRequest request;
  request.title = "GL test";
  request.width = width;
  request.height = height;
  window_ = TPlatformWindow::Create(request);
  if (window_) {
    window_->Show();  // mapped before the context binds, so the front buffer is real
    context_ = window_->CreateGLContext();
  }
  if (!context_) {
    const std::string reason = LastError();
    window_.reset();
    QuitVideo();
    throw std::runtime_error("GLTestContext: cannot create a GL context: " + reason);
  }
  glViewport(0, 0, width, height);
  glReadBuffer(GL_BACK);
  glDrawBuffer(GL_BACK);
}

GLTestContext::~GLTestContext() {
  window_->ReleaseCurrent();
  TPlatformWindow::DeleteGLContext(context_);
  window_.reset();
  QuitVideo();
}

void GLTestContext::MakeCurrent() { window_->MakeCurrent(context_); }

void GLTestContext::Swap() { window_->SwapBuffers(); }

std::vector<std::uint8_t> ReadPixels(const GLTestContext& ctx, TBuffer buffer) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(ctx.Width()) * ctx.Height() * 4);
  GLint savedRead = 0, savedAlignment = 0;
  glGetIntegerv(GL_READ_BUFFER, &savedRead);
  glGetIntegerv(GL_PACK_ALIGNMENT, &savedAlignment);
  glReadBuffer(buffer == TBuffer::Back ? GL_BACK : GL_FRONT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, ctx.Width(), ctx.Height(), GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glPixelStorei(GL_PACK_ALIGNMENT, savedAlignment);
  glReadBuffer(static_cast<GLenum>(savedRead));
  return rgba;
}

std::array<std::uint8_t, 4> PixelAt(const std::vector<std::uint8_t>& rgba, int width, int x,
                                    int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
  if (x < 0 || y < 0 || x >= width || at + 4 > rgba.size())
    throw std::out_of_range("PixelAt: (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") lies outside the image");
  return {rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]};
}

void WritePng(const std::filesystem::path& path, int width, int height,
              const std::vector<std::uint8_t>& rgba, TRowOrder order) {
  if (!WritePngFile(path, width, height, rgba, order))
    throw std::runtime_error("WritePng: cannot write " + path.string());
}

std::vector<std::uint8_t> ReadPng(const std::filesystem::path& path, int& width, int& height) {
  int channels = 0;
  unsigned char* pixels = stbi_load(path.string().c_str(), &width, &height, &channels, 4);
  if (!pixels) throw std::runtime_error("ReadPng: cannot read " + path.string());
  std::vector<std::uint8_t> rgba(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return rgba;
}

}  // namespace qv::test
