#include "shell/GLWindow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "shell/GLApplication.h"

namespace qv {

void TGLWindow::PrintText(int x, int y, std::string_view text, int fontBase) const {
  if (text.empty()) return;
  const TGLApplication& app = App();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0, app.Width, 0, app.Height);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2i(x, y);
  glPushAttrib(GL_LIST_BIT);
  glListBase(static_cast<GLuint>(fontBase));
  glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
  glPopAttrib();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace qv
