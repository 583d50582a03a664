#pragma once
// What happens when the X server goes away under the program (killed, or its connection broke).
// Xlib's own handler would call exit(), which destroys the global objects - the application with
// its window and world among them - while the main loop still runs and after objects they use, and
// tearing down windows and GL contexts needs the server that is gone: the heap ended corrupted.
// No error box can show without a display either. So the handler installed here logs
// "The connection to the display is lost", writes it to standard error as the box would without a
// display ("Error: ...".) and ends the process at once with exit code 1.
//
// Kept apart from Window.cpp: Xlib's macros (None, DisableScreenSaver, ...) clash with our names.

namespace qv {

// For the X11 video driver, after SDL has connected.
void EndTheProgramWhenTheDisplayIsLost();

}  // namespace qv
