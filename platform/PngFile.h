#pragma once
// PNG writing for screenshots (the headless run of the game, the tools and the GL tests).

#include <cstdint>
#include <filesystem>
#include <vector>

namespace qv {

// Row order of an RGBA image in memory. OpenGL reads the frame buffer bottom row first.
enum class TRowOrder { BottomUp, TopDown };

// Writes `rgba` (width * height * 4 bytes) as an 8-bit RGBA PNG, the right way up. False when the
// size does not match or the file cannot be written.
bool WritePngFile(const std::filesystem::path& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba, TRowOrder order);

}  // namespace qv
