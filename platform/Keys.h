#pragma once
// Key codes. The game speaks Windows virtual-key codes (letters 65-90, digits 48-57, Enter 13,
// Escape 27, Space 32, arrows 37-40, Ctrl 17, F1 112, keypad digits 96-105, ...); this is the one
// table that turns SDL's key symbols into them. Mouse buttons use the codes below, as in Windows.

namespace qv {

inline constexpr int kVkLeftButton = 1;
inline constexpr int kVkRightButton = 2;
inline constexpr int kVkMiddleButton = 4;
inline constexpr int kVkReturn = 13;
inline constexpr int kVkShift = 16;
inline constexpr int kVkControl = 17;
inline constexpr int kVkEscape = 27;
inline constexpr int kVkSpace = 32;
inline constexpr int kVkLeft = 37;
inline constexpr int kVkUp = 38;
inline constexpr int kVkRight = 39;
inline constexpr int kVkDown = 40;
inline constexpr int kVkDigit0 = 48;
inline constexpr int kVkDigit9 = 57;
inline constexpr int kVkR = 82;
inline constexpr int kVkNumpad0 = 96;
inline constexpr int kVkF1 = 112;
inline constexpr int kVkF2 = 113;
inline constexpr int kVkF12 = 123;

// The virtual-key code for an SDL key symbol (SDL_Keycode); 0 for a key the game has no code for.
int VirtualKeyFromSdlKey(int sdlKey);
// The SDL key symbol the table gives for a virtual-key code (the first one, where left and right
// keys share a code); 0 when none. Used to inject key strokes.
int SdlKeyFromVirtualKey(int virtualKey);

}  // namespace qv
