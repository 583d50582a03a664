#include "scene/GLNames.h"

#include "platform/Window.h"

namespace qv {

void TGLContextTag::MarkCurrent() { serial_ = CurrentGLContextSerial(); }

bool TGLContextTag::IsCurrent() const {
  return serial_ != 0 && serial_ == CurrentGLContextSerial();
}

GLuint TDisplayList::Make() {
  Reset();
  name_ = glGenLists(1);
  context_.MarkCurrent();
  return name_;
}

void TDisplayList::Reset() {
  if (name_ != 0 && context_.IsCurrent()) glDeleteLists(name_, 1);
  name_ = 0;
  context_.Clear();
}

}  // namespace qv
