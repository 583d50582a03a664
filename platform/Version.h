#pragma once
// The game's version, as CMake's project version sets it ("1.0.0"); --version prints it.

#include <string_view>

namespace qv {

std::string_view Version();

}  // namespace qv
