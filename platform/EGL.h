#pragma once
// EGL: the engine's own failure. Making one first writes its message to the global log, so the log
// records every failure before anybody shows it.

#include <stdexcept>
#include <string>

namespace qv {

class EGL : public std::runtime_error {
 public:
  explicit EGL(const std::string& message);
};

}  // namespace qv
