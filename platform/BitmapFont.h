#pragma once
// Bitmap-font text as display lists (wglUseFontBitmaps in the design). A face name is resolved by
// fontconfig ("Courier New" becomes a metric-compatible face such as Liberation Mono), FreeType
// renders each character code 0..254 of the Windows-1252 code page as a 1-bit glyph, and each
// glyph becomes one display list holding a single glBitmap call that draws it at the raster
// position and advances that position by the glyph's advance width. Control codes and the five
// unassigned codes get an empty list that only advances. Needs a current GL context.

#include <string>
#include <string_view>

namespace qv {

enum class TFontWeight { Normal, Bold };

// Fills the 255 lists listBase .. listBase + 254 with glyphs of `faceName` whose em height is
// `pixelHeight` pixels. False, with `error` saying why, when no font file can be found or loaded;
// the lists are then left untouched.
bool BuildBitmapFont(unsigned listBase, std::string_view faceName, int pixelHeight,
                     TFontWeight weight, std::string& error);

// The Unicode code point of a Windows-1252 byte; 0 for the five unassigned codes.
char32_t Windows1252ToUnicode(unsigned char code);

}  // namespace qv
