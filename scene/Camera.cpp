#include "scene/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace qv {

TCamera::TCamera() = default;

void TCamera::SetHeading(float degrees) {
  if (degrees == heading_) return;
  heading_ = degrees;
  frustumDirty_ = true;
}

void TCamera::SetTilt(float degrees) {
  if (degrees == tilt_) return;
  tilt_ = degrees;
  frustumDirty_ = true;
}

void TCamera::SetPosition(const TVector& position) {
  SetPositionXYZ(position.x, position.y, position.z);
}

void TCamera::SetPositionXYZ(float x, float y, float z) {
  if (x == position_.x && y == position_.y && z == position_.z) return;
  position_ = {x, y, z};
  frustumDirty_ = true;
}

void TCamera::SetProjection(float fovy, float aspect, float zNear, float zFar) {
  zNear_ = zNear;
  zFar_ = zFar;
  SetFovAspect(fovy, aspect);
}

void TCamera::SetFovAspect(float fovy, float aspect) {
  fovy_ = fovy;
  aspect_ = aspect;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fovy_, aspect_, zNear_, zFar_);
  glGetFloatv(GL_PROJECTION_MATRIX, projection_.data());
  glMatrixMode(GL_MODELVIEW);
  frustumDirty_ = true;
  Apply();
}

void TCamera::Apply() {
  glLoadIdentity();
  glRotatef(-tilt_, 1, 0, 0);
  glRotatef(-heading_, 0, 1, 0);
  glTranslatef(-position_.x, -position_.y, -position_.z);
  if (!frustumDirty_) return;
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView_.data());
  frustum_ = ExtractFrustum(projection_, modelView_);
  frustumDirty_ = false;
}

TCamera& GlobalCamera() {
  static TCamera camera;
  return camera;
}

}  // namespace qv
