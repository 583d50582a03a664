#pragma once
// The passes of a scene, each setting the GL state it relies on and restoring what it changed.
// The picture is that of drawing the sky, then the opaque objects in any order, then the
// transparent ones far to near - for less work per pixel:
//  - opaque objects go nearest first with blending off: their alpha is 1 everywhere, so blending
//    would give the source colour unchanged, and without it (their materials already turn the
//    alpha test off) the renderer can reject hidden pixels before texturing and lighting them;
//  - the sky comes after them, passing where it lies nearer than what stands there or at the
//    same depth (where nothing does, everywhere): exactly the pixels it kept when drawn first,
//    where an object of equal depth failed the ordinary GL_LESS test against it;
//  - transparent objects last, as before, over the depth the sky and the opaque ones left.

#include "scene/3dObject.h"
#include "scene/3dObjectList.h"

namespace qv {

// Sorts `opaque` nearest first (by SortKey, the far side as ViewDistance measures it) in place.
void SortNearestFirst(T3dObjectList& opaque);
void DrawOpaquePass(const T3dObjectList& opaque);
void DrawSkyPass(T3dObject& sky);
// Farthest first: the list sorted by SortKey, drawn from its last object to its first.
void DrawTransparentPass(const T3dObjectList& transparent);

}  // namespace qv
