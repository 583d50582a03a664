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

void DrawSkyPass(T3dObject& sky) { sky.Draw(); }

void DrawTransparentPass(const T3dObjectList& transparent) {
  for (int i = transparent.Count() - 1; i >= 0; --i) transparent.Get(i)->Draw();
}

}  // namespace qv
