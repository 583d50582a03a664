#pragma once
// Screenshots of the game window: the frame in the back buffer, read after it is drawn and before
// the shell swaps it, written as a PNG. Used by F12 in the game, the "shot" lines of a replay and
// the unattended run.

#include <filesystem>

namespace qv {

class TGLApplication;

// Reads the application's whole client area from the back buffer of the current context and
// writes it to `path`. False when the file cannot be written.
bool SaveFrame(const TGLApplication& app, const std::filesystem::path& path);

// The first "screenshot-NNNN.png" (from 0001 on) that does not exist yet in `folder`, so a new
// session never overwrites the pictures of an earlier one. After 9999 the numbers grow wider.
std::filesystem::path NextScreenshotName(const std::filesystem::path& folder);

}  // namespace qv
