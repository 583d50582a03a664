#pragma once
// The message queue of the one window, shaped like the Windows messages the shell's window
// procedure handles. SDL events are translated here; the shell never sees an SDL type.
//
// Translation: window moved -> Move, size changed -> Size, minimised/hidden/restored/shown/focus
// -> Activate, close button (or SIGINT/SIGTERM) -> Close, key down/up -> KeyDown/KeyUp with the
// virtual-key code (keys without a code are dropped), mouse motion -> MouseMove in client
// coordinates, buttons -> ButtonDown/ButtonUp with 1 (left), 2 (right) or 4 (middle). Screen saver
// and monitor power-off never start while video runs (DisableScreenSaver), so no ScreenSave
// message arises here; the kind exists for the window procedure's table.
//
// The quit message follows Windows' rule: it is delivered once every other pending message has
// been taken.

namespace qv {

enum class TMessageKind {
  Quit,        // a: exit code
  ScreenSave,  // screen saver or monitor power-off about to start
  Move,        // a, b: screen position of the client area
  Size,        // a, b: client width, height
  Activate,    // a: 1 when minimised, else 0
  Close,       // the close button
  KeyDown,     // a: virtual-key code
  KeyUp,       // a: virtual-key code
  MouseMove,   // a, b: cursor position in client coordinates
  ButtonDown,  // a: 1, 2 or 4
  ButtonUp,    // a: 1, 2 or 4
  Other,       // anything else
};

struct TMessage {
  TMessageKind kind = TMessageKind::Other;  // what happened
  int a = 0;                                // first parameter, see the kinds
  int b = 0;                                // second parameter, see the kinds
};

// Takes one pending message without waiting; false when none is pending.
bool PeekMessage(TMessage& message);
// The two halves of PeekMessage: a message of the window system only, and the posted quit only.
// A replay takes its input from a file and the quit from here, in the order PeekMessage keeps.
bool PeekWindowMessage(TMessage& message);
bool TakeQuitMessage(TMessage& message);
// Blocks until a message is pending (returns at once when one is).
void WaitMessage();
// Asks the loop to end with `exitCode` once the pending messages are handled.
void PostQuitMessage(int exitCode);
// Puts a key press or release into the queue as if it came from the keyboard, through the same
// key table. Used by the unattended run and by tests; false when video is not running or the
// code has no key.
bool PostKeyMessage(TMessageKind kind, int virtualKey);
// Drops every pending message, the quit message included.
void DiscardMessages();

}  // namespace qv
