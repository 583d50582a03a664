#include "models/3DSError.h"

#include "platform/Beep.h"

namespace qv {

void Raise3DSError(std::string_view message) {
  ErrorBeep();
  throw E3DSError(std::string(message));
}

void Raise3DSErrorIndex(std::string_view message, long long index) {
  std::string text(message);
  const size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(index));
  Raise3DSError(text);
}

}  // namespace qv
