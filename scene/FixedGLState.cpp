#include "scene/FixedGLState.h"

#include <GL/gl.h>

namespace qv {

void ApplyFixedGLState(const TFogSettings& fog) {
  glShadeModel(GL_SMOOTH);
  glDisable(GL_DITHER);
  glAlphaFunc(GL_GREATER, 0.1f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glClearDepth(1.0);
  glEnable(GL_NORMALIZE);
  glDepthFunc(GL_LESS);
  glEnable(GL_DEPTH_TEST);

  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogf(GL_FOG_START, fog.Start);
  glFogf(GL_FOG_END, fog.End);
  const GLfloat fogColor[] = {fog.Color.r, fog.Color.g, fog.Color.b, fog.Color.a};
  glFogfv(GL_FOG_COLOR, fogColor);

  // GL keeps a light's position in eye space as transformed by the model-view matrix of the
  // moment. Set under the identity, the light is fixed to the viewer whatever view the previous
  // frame left loaded (a level switch reloads this state in the middle of a run).
  const GLfloat white[] = {1, 1, 1, 1};
  const GLfloat position[] = {10, 1000, 0, 0};  // directional, from above
  GLint matrixMode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_AMBIENT, white);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glPopMatrix();
  glMatrixMode(static_cast<GLenum>(matrixMode));
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
  glEnable(GL_LIGHT0);

  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

}  // namespace qv
