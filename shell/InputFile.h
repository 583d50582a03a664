#pragma once
// The input file of a recorded or hand-written game: plain text, one item per line, "#" starts a
// comment, blank lines are ignored, the first item is the header "quorvantille-input 1".
//
//   seed <n>            the next world created takes this seed (0..4294967295)
//   key down|up <code>  a key event with its virtual-key code (1..254)
//   button down|up <b>  a mouse button: 1 left, 2 right, 4 middle
//   mouse <x> <y>       the mouse moved to client pixel (x, y), each -32768..32767
//   size <w> <h>        the client area was resized, each 0..16384
//   frame <ms>          the clock advances by <ms> (0..3600000), then one frame is drawn
//   shot <file.png>     save the frame just drawn as a PNG (the rest of the line is the name)
//
// Reading refuses a line it cannot take whole - an unknown word, a missing or extra value, a
// number out of its range, a shot before the first frame - with TInputError "<file>:<line>:
// <problem>". Reading keeps every item in memory, one small record per line.

#include <cstdint>
#include <filesystem>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv {

struct TMessage;

enum class TInputKind { Seed, KeyDown, KeyUp, ButtonDown, ButtonUp, Mouse, Size, Frame, Shot };

struct TInputItem {
  TInputKind kind = TInputKind::Frame;
  std::int64_t a = 0;  // seed, key code, button, x, width or milliseconds
  int b = 0;           // y or height
  std::string file;    // shot only: the PNG to write
  int line = 0;        // line number in the file it came from (1-based); 0 when made in code
};

class TInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kInputHeader = "quorvantille-input 1";

// Reads an input file; `name` is what errors call it.
std::vector<TInputItem> ReadInput(std::istream& in, const std::string& name);
std::vector<TInputItem> ReadInputFile(const std::filesystem::path& path);

// The line that reads back as `item` (without the line end).
std::string FormatInputItem(const TInputItem& item);

// The item a message of the window procedure is recorded as; false for messages an input file
// does not hold (move, activate, close, ...).
bool InputItemOf(const TMessage& message, TInputItem& item);
// The message an event item stands for; false for seed, frame and shot.
bool MessageOf(const TInputItem& item, TMessage& message);

}  // namespace qv
