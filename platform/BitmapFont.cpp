#include "platform/BitmapFont.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <vector>

namespace qv {

namespace {

// Code points of 0x80..0x9F, where Windows-1252 differs from Latin-1.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct TFontFile {
  std::string path;   // font file
  int index = 0;      // face index within it
  bool bold = false;  // the face itself is bold
};

bool FindFontFile(std::string_view faceName, TFontWeight weight, TFontFile& found,
                  std::string& error) {
  if (!FcInit()) {
    error = "fontconfig cannot start";
    return false;
  }
  const std::string name(faceName);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT,
                      weight == TFontWeight::Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  FcChar8* file = nullptr;
  if (!match || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file) {
    if (match) FcPatternDestroy(match);
    error = "no font found for the face \"" + name + "\"";
    return false;
  }
  found.path = reinterpret_cast<const char*>(file);
  FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
  int matchedWeight = FC_WEIGHT_REGULAR;
  FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
  found.bold = matchedWeight >= FC_WEIGHT_BOLD;
  FcPatternDestroy(match);
  return true;
}

struct TFreeType {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~TFreeType() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

}  // namespace

char32_t Windows1252ToUnicode(unsigned char code) {
  if (code >= 0x80 && code <= 0x9F) return kHighControls[code - 0x80];
  return code;
}

bool BuildBitmapFont(unsigned listBase, std::string_view faceName, int pixelHeight,
                     TFontWeight weight, std::string& error) {
  TFontFile fontFile;
  if (!FindFontFile(faceName, weight, fontFile, error)) return false;
  TFreeType ft;
  if (FT_Init_FreeType(&ft.library) != 0) {
    error = "FreeType cannot start";
    return false;
  }
  if (FT_New_Face(ft.library, fontFile.path.c_str(), fontFile.index, &ft.face) != 0 ||
      FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
    error = "cannot load the font file " + fontFile.path;
    return false;
  }
  FT_Select_Charmap(ft.face, FT_ENCODING_UNICODE);
  const bool embolden = weight == TFontWeight::Bold && !fontFile.bold;

  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);

  // The advance of an empty glyph: a space's.
  GLfloat spaceAdvance = static_cast<GLfloat>(pixelHeight) / 2;
  if (FT_Load_Char(ft.face, U' ', FT_LOAD_DEFAULT) == 0)
    spaceAdvance = static_cast<GLfloat>(ft.face->glyph->advance.x) / 64;

  // Mesa reports "out of memory" when a display list records a bitmap without pixel data, even an
  // empty one; empty glyphs therefore point at a dummy byte.
  static const GLubyte kNoPixels = 0;
  std::vector<GLubyte> rows;
  for (unsigned code = 0; code <= 254; ++code) {
    const char32_t point = Windows1252ToUnicode(static_cast<unsigned char>(code));
    glNewList(listBase + code, GL_COMPILE);
    const FT_UInt glyph = point >= 32 ? FT_Get_Char_Index(ft.face, point) : 0;
    bool drawn = false;
    if (glyph != 0 && FT_Load_Glyph(ft.face, glyph, FT_LOAD_TARGET_MONO) == 0) {
      FT_GlyphSlot slot = ft.face->glyph;
      if (embolden) FT_GlyphSlot_Embolden(slot);
      if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
        const FT_Bitmap& bitmap = slot->bitmap;
        const unsigned width = bitmap.width, height = bitmap.rows;
        const unsigned stride = (width + 7) / 8;
        // glBitmap wants the bottom row first; FreeType gives the top row first.
        rows.assign(static_cast<std::size_t>(stride) * height, 0);
        for (unsigned y = 0; y < height; ++y) {
          const unsigned char* source =
              bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
          std::copy(source, source + stride, rows.begin() + (height - 1 - y) * stride);
        }
        glBitmap(static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                 static_cast<GLfloat>(-slot->bitmap_left),
                 static_cast<GLfloat>(static_cast<int>(height) - slot->bitmap_top),
                 static_cast<GLfloat>(slot->advance.x) / 64, 0,
                 rows.empty() ? &kNoPixels : rows.data());
        drawn = true;
      }
    }
    if (!drawn) glBitmap(0, 0, 0, 0, spaceAdvance, 0, &kNoPixels);
    glEndList();
  }
  glPopClientAttrib();
  return true;
}

}  // namespace qv
