#include "scene/FaceGroup.h"

#include <GL/gl.h>

#include "scene/Material.h"

namespace qv {

void TFaceGroup::DrawElements() const {
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(Indices.size()), GL_UNSIGNED_INT,
                 Indices.data());
}

void TFaceGroup::Draw() const {
  if (!Material) return;
  // The material switches culling, texturing and the alpha test for its own triangles only. A
  // wireframe material's line mode is kept to its own triangles too: left in force, it would turn
  // everything drawn after it into lines. A filled material leaves the mode alone, so the global
  // wireframe switch still reaches it.
  glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT);
  Material->Apply();
  DrawElements();
  glPopAttrib();
}

}  // namespace qv
