#include "scene/FaceGroup.h"

#include <GL/gl.h>

// TEMPORARY until the material class is in the tree: no material can exist without it.
#if __has_include("scene/Material.h")
#define QV_MESH_HAS_MATERIALS 1
#include "scene/Material.h"
#endif

namespace qv {

void TFaceGroup::DrawElements() const {
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(Indices.size()), GL_UNSIGNED_INT,
                 Indices.data());
}

void TFaceGroup::Draw() const {
  if (!Material) return;
  // The material switches culling, texturing and the alpha test for its own triangles only.
  glPushAttrib(GL_ENABLE_BIT);
#ifdef QV_MESH_HAS_MATERIALS
  Material->Apply();
#endif
  DrawElements();
  glPopAttrib();
}

}  // namespace qv
