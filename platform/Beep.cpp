#include "platform/Beep.h"

#include <utility>

namespace qv {
namespace {
std::function<void()>& Hook() {
  static std::function<void()> hook;
  return hook;
}
}  // namespace

void ErrorBeep() {
  if (Hook()) Hook()();
}

void SetErrorBeepHook(std::function<void()> hook) { Hook() = std::move(hook); }

}  // namespace qv
