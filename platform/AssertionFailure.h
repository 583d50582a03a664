#pragma once
// A failed assertion of the design ("Invalid Input Index", ...): a programming error, raised as an
// exception whose message is the assertion's text, so the main loop can show it and end cleanly
// instead of reading out of bounds.

#include <stdexcept>
#include <string>

namespace qv {

class EAssertionFailed : public std::logic_error {
 public:
  explicit EAssertionFailed(const std::string& message) : std::logic_error(message) {}
};

}  // namespace qv
