#include "shell/GLResourceCount.h"

#include <GL/gl.h>

#include "platform/ProcessMemory.h"

namespace qv {

namespace {

// Drivers hand out the lowest free names, so a program that frees what it makes stays far below.
constexpr GLuint kProbedNames = 65536;

}  // namespace

TGLResourceCount CountGLObjects() {
  TGLResourceCount count;
  for (GLuint name = 1; name <= kProbedNames; ++name) {
    count.Textures += glIsTexture(name) == GL_TRUE;
    count.DisplayLists += glIsList(name) == GL_TRUE;
  }
  return count;
}

std::string DescribeResources() {
  const TGLResourceCount count = CountGLObjects();
  return "GL objects alive: " + std::to_string(count.Textures) + " textures, " +
         std::to_string(count.DisplayLists) + " display lists; resident memory " +
         std::to_string(ResidentKilobytes()) + " kB";
}

}  // namespace qv
