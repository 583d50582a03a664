#pragma once
// GL lifetimes. Every scene object that makes GL names (textures, cube textures, display lists)
// frees them itself, and only while the context it made them in is current: a name means nothing
// in another context, and a context that is gone (rebuilt by a full-screen switch, or destroyed
// before the objects at the end of the run) has taken its names along. An owner that finds its
// context gone forgets the names and makes new ones at its next upload or compile. So destroying
// an object never needs a context, and never frees a name another context gave to someone else.
// Making, binding, drawing and uploading need a current context (the caller's part; the rule is
// written in scene/3dObject.h).

#include <cassert>
#include <cstdint>

#include <GL/gl.h>

#include "platform/Window.h"

namespace qv {

// A GL context is current on this thread: the test of every seam that does nothing without one.
inline bool HaveGLContext() { return CurrentGLContextSerial() != 0; }

// For code whose contract requires a current context: calling it without one is a programming
// error, caught in debug builds.
inline void RequireGLContext() { assert(HaveGLContext() && "GL work without a current context"); }

// The context some GL names were made in.
class TGLContextTag {
 public:
  void MarkCurrent();      // the names were just made in the current context
  bool IsCurrent() const;  // that context is current: the names are valid and freeable
  void Clear() { serial_ = 0; }

 private:
  std::uint64_t serial_ = 0;  // CurrentGLContextSerial() when made, 0 for none
};

// One owned display list.
class TDisplayList {
 public:
  TDisplayList() = default;
  ~TDisplayList() { Reset(); }
  TDisplayList(const TDisplayList&) = delete;
  TDisplayList& operator=(const TDisplayList&) = delete;

  // Frees the list held, then makes a new one; 0 when GL has no names left.
  GLuint Make();
  // Frees the list (when its context is current) and holds none.
  void Reset();
  GLuint Name() const { return name_; }
  // A list is held and was made in the current context.
  bool Usable() const { return name_ != 0 && context_.IsCurrent(); }

 private:
  GLuint name_ = 0;
  TGLContextTag context_;
};

}  // namespace qv
