#include "scene/DrawPasses.h"

#include <GL/gl.h>

namespace qv {

void SortNearestFirst(T3dObjectList& opaque) { opaque.Sort(); }

void DrawOpaquePass(const T3dObjectList& opaque) {
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_BLEND);
  for (int i = 0; i < opaque.Count(); ++i) opaque.Get(i)->Draw();
  glPopAttrib();
}

void DrawSkyPass(T3dObject& sky) {
  // Drawn first, the sky would keep a pixel where an object has the same depth value: the object
  // fails GL_LESS against it. Far away the depth steps are large (hundreds of units a few
  // thousand units out, at the game's near plane), so objects near the sky box often do.
  glPushAttrib(GL_DEPTH_BUFFER_BIT);
  glDepthFunc(GL_LEQUAL);
  sky.Draw();
  glPopAttrib();
}

void DrawTransparentPass(const T3dObjectList& transparent) {
  for (int i = transparent.Count() - 1; i >= 0; --i) transparent.Get(i)->Draw();
}

}  // namespace qv
