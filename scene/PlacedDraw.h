#pragma once
// Drawing a model that moves as a whole: the model-view matrix is saved, moved to the object's
// place (translate by the position, turn by the heading about y, then by the tilt about x), the
// model drawn in its own coordinates, and the matrix restored. The game layer hands its actors'
// drawing here, since it makes no GL call of its own.

#include <functional>

#include "scene/Geometry.h"

namespace qv {

void DrawPlaced(const TVector& position, float heading, float tilt,
                const std::function<void()>& drawModel);

}  // namespace qv
