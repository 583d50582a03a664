#pragma once
// Turns the generator's models into .3ds bytes with the model writer (scene file, release 3).

#include <cstdint>
#include <vector>

#include "assets/DemoModel.h"

namespace qv::assets {

std::vector<std::uint8_t> EncodeModel(const TDemoModel& model);

}  // namespace qv::assets
