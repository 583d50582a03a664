#include "scene/PlacedDraw.h"

#include <GL/gl.h>

namespace qv {

void DrawPlaced(const TVector& position, float heading, float tilt,
                const std::function<void()>& drawModel) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glTranslatef(position.x, position.y, position.z);
  glRotatef(heading, 0, 1, 0);
  glRotatef(tilt, 1, 0, 0);
  drawModel();
  glPopMatrix();
}

}  // namespace qv
