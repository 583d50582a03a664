#pragma once
// Two-dimensional textures from uncompressed true-colour TGA files (24 or 32 bits, no identifier,
// no colour map, origin 0), uploaded with a full mipmap chain built by GLU. The pixels stay in
// memory after the upload so the texture can be uploaded again after the GL context is rebuilt.
// The pixel bytes go to OpenGL unchanged (B, G, R[, A], rows in file order); the descriptor byte
// is not read, so a top-down file shows upside down.
//
// LoadTGA checks the header before it allocates: a file that promises more pixel bytes than it
// holds is refused (result 6) without allocating the promised size. Loading and constructing need
// no GL context; Bind and Upload require one (the scene layer's rule, scene/3dObject.h).
//
// The texture name is made in the constructor when a context is current (else by the first
// Upload) and freed by the destructor, only while the context it was made in is current; Upload in
// another context (after a rebuild) makes a new name there first. Destroying a texture thus needs
// no context (scene/GLNames.h).

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "scene/GLNames.h"

namespace qv {

// LoadTGA's result codes.
enum TTgaResult : int {
  tgaOk = 0,
  tgaCannotOpen = 1,      // the file cannot be opened
  tgaShortHeader = 2,     // fewer than 12 header bytes
  tgaBadHeader = 3,       // not an uncompressed true-colour image without id, colour map or origin
  tgaShortImageSpec = 4,  // fewer than the 6 bytes of width, height, depth and descriptor
  tgaBadImageSpec = 5,    // zero width or height, or a depth other than 24 or 32 bits
  tgaShortPixels = 6,     // fewer pixel bytes than width x height x bytes per pixel
};

// What LoadTGA reads from a file.
struct TTgaData {
  int Width = 0;                     // pixels
  int Height = 0;                    // pixels
  int BitsPerPixel = 0;              // 24 or 32
  std::vector<std::uint8_t> Pixels;  // Width * Height * BitsPerPixel / 8 bytes, rows in file order
};

// Reads a TGA from a stream; on any result but tgaOk, data.Pixels is left empty.
int LoadTGA(std::istream& in, TTgaData& data);
int LoadTGA(const std::string& fileName, TTgaData& data);

// The name with its extension replaced by ".tga" (appended when it has none).
std::string TgaFileName(const std::string& name);

class TTexture {
 public:
  // Loads <name with extension ".tga">; throws EGL "Error Loading Texture:<file>" on any failure.
  explicit TTexture(const std::string& fileName);
  virtual ~TTexture();
  TTexture(const TTexture&) = delete;
  TTexture& operator=(const TTexture&) = delete;

  // Slot 0.
  virtual void Bind() const;
  // Slot 1: sets wrap and filters, then builds the mipmaps from Pixels.
  virtual void Upload();

  // Reads FileName into the fields below (no GL). Result code as TTgaResult.
  int LoadTGA();

  GLenum InternalFormat = 0;         // given to the mipmap builder (8-bit RGB / RGBA)
  GLenum Format = 0;                 // layout of Pixels: BGR or BGRA
  int BitsPerPixel = 0;              // 24 or 32
  int Width = 0;                     // pixels
  int Height = 0;                    // pixels
  std::vector<std::uint8_t> Pixels;  // the image, rows in file order; kept for re-upload
  int BytesPerPixel = 0;             // BitsPerPixel / 8
  std::int64_t ImageSize = 0;        // Width * Height * BytesPerPixel, bytes
  GLuint TextureName = 0;            // from glGenTextures, in the context NameContext names
  TGLContextTag NameContext;         // where TextureName was made
  bool HasAlpha = false;             // 32-bit image: materials and meshes treat it as transparent
  std::string FileName;              // the file loaded
  GLenum MagFilter = GL_LINEAR;
  GLenum MinFilter = GL_LINEAR_MIPMAP_LINEAR;
  GLenum WrapS = GL_REPEAT;
  GLenum WrapT = GL_REPEAT;

 protected:
  // For textures whose pixels are not read from a file (cube maps).
  TTexture() = default;
  void MakeName();
  // A new TextureName unless the one held was made in the current context.
  void RenewNameForThisContext();
};

}  // namespace qv
