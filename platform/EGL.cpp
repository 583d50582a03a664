#include "platform/EGL.h"

#include "platform/LogFile.h"

namespace qv {

EGL::EGL(const std::string& message) : std::runtime_error((GlobalLog().Log(message), message)) {}

}  // namespace qv
