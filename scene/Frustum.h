#pragma once
// View-frustum helpers shared by the camera, the partition tree and the cube-map renderer.
// The planes come out in the order right, left, bottom, top, far, near, each normalised so that
// a*x + b*y + c*z + d is the signed distance of a point, positive inside. The tests are straight
// loops over the six planes and never allocate. Equality is exact, float by float, because the
// visibility caches rely on a still view producing bit-identical planes.

#include "scene/Geometry.h"

namespace qv {

// Planes of the clip volume of projection P applied after modelview M, in M's source space.
TFrustum ExtractFrustum(const TMatrix& projection, const TMatrix& modelView);

// False as soon as one plane has the centre at -r or farther out: touching from outside is out.
bool SphereInFrustum(const TSphere& sphere, const TFrustum& frustum);
bool SphereInFrustum(float x, float y, float z, float r, const TFrustum& frustum);

// Conservative: false only when all eight corners lie on or behind one single plane.
bool BoxInFrustum(const TBox& box, const TFrustum& frustum);

// All 24 values equal, compared exactly.
bool FrustumEquals(const TFrustum& a, const TFrustum& b);

}  // namespace qv
