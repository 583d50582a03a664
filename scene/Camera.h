#pragma once
// The first-person camera: a position, a heading (about y, 0 looks along -z, positive turns left)
// and a tilt (about x, positive looks up), with a perspective projection. Apply loads the view into
// the current (modelview) matrix and re-extracts the six frustum planes only when something
// changed, so a still camera hands out bit-identical planes frame after frame and the visibility
// caches can skip their work. Setters compare exactly: storing the same value is free.
// SetProjection/SetFovAspect/Apply need a current GL context; the rest is plain state.

#include "scene/Frustum.h"
#include "scene/Geometry.h"

namespace qv {

class TCamera {
 public:
  TCamera();  // Position (0, 5, 0), everything else zero, frustum dirty

  void SetHeading(float degrees);
  void SetTilt(float degrees);
  void SetPosition(const TVector& position);
  void SetPositionXYZ(float x, float y, float z);

  // Stores the clip distances, then SetFovAspect.
  void SetProjection(float fovy, float aspect, float zNear, float zFar);
  // Reloads the projection matrix, reads it back, leaves GL in modelview mode and calls Apply.
  void SetFovAspect(float fovy, float aspect);
  // Loads the view into the current matrix; refreshes the frustum if the view or projection moved.
  void Apply();

  float Fovy() const { return fovy_; }
  float Aspect() const { return aspect_; }
  float ZNear() const { return zNear_; }
  float ZFar() const { return zFar_; }
  float Heading() const { return heading_; }
  float Tilt() const { return tilt_; }
  const TVector& Position() const { return position_; }
  const TFrustum& Frustum() const { return frustum_; }
  const TMatrix& ModelView() const { return modelView_; }
  const TMatrix& Projection() const { return projection_; }
  bool FrustumDirty() const { return frustumDirty_; }

 private:
  float fovy_ = 0;             // vertical field of view, degrees
  float aspect_ = 0;           // width / height
  float zNear_ = 0;            // near clipping distance, world units
  float zFar_ = 0;             // far clipping distance, world units
  float heading_ = 0;          // degrees about y
  float tilt_ = 0;             // degrees about x
  TVector position_{0, 5, 0};  // eye, world coordinates
  TFrustum frustum_{};         // planes of the current view, world coordinates
  TMatrix modelView_{};        // modelview read back at the last frustum update
  TMatrix projection_{};       // projection read back at the last projection change
  bool frustumDirty_ = true;   // view or projection changed since frustum_ was computed
};

// The one camera of the run, created before main runs its own code.
TCamera& GlobalCamera();

}  // namespace qv
