#include "platform/DisplayLost.h"

#include <cstdio>
#include <cstdlib>

#include "platform/LogFile.h"

// Last: Xlib defines macros that no header above must see.
#include <X11/Xlib.h>

namespace qv {

namespace {

int DisplayLost(Display* /*display*/) {
  constexpr const char* kMessage = "The connection to the display is lost";
  GlobalLog().Log(kMessage);
  std::fprintf(stderr, "Error: %s.\n", kMessage);
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

void EndTheProgramWhenTheDisplayIsLost() { XSetIOErrorHandler(DisplayLost); }

}  // namespace qv
