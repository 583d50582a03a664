#pragma once
// How many GL objects are alive in the current context, asked of GL itself rather than of our
// own bookkeeping, so a name made and never freed anywhere in the program shows. Used to watch a
// long run: after each level switch and each new context the count must come back to the same.
//
// Cost: two GL queries per probed name (65,536 names, a few milliseconds); needs a current context.

#include <string>

namespace qv {

struct TGLResourceCount {
  int Textures = 0;
  int DisplayLists = 0;
};

TGLResourceCount CountGLObjects();

// "GL objects alive: <n> textures, <m> display lists; resident memory <k> kB".
std::string DescribeResources();

}  // namespace qv
