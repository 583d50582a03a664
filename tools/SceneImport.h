#pragma once
// qv-tool import: turns a scene of today's tools (glTF 2.0, FBX, OBJ and whatever else the Open
// Asset Import Library reads) into a level folder: Objects.3DS, SkyBox.3DS, one .3ds file per
// ghost model, the textures as TGA files and a Level.ini.
//
// What goes where is the author's naming (docs/levels.md): a node named "Player" marks the
// player's start, nodes named "Ghost.<name>" (or carrying a "classname" property) mark ghosts,
// whose "model" property names a scene file beside this one; a mesh node named "Sky" (or with a
// true "sky" property) becomes the sky box; every other mesh node is level geometry, named after
// its node. Whatever the .3ds format cannot hold as it is gets converted, and every conversion
// adds a line to the notes. Cost: the loader's own, then one pass over every vertex and face.
// Refused (std::runtime_error naming the file and the problem): a scene the loader cannot read,
// an image that cannot be decoded, a ghost whose "model" names no scene file beside this one. A
// ghost marker without a "model" property is left out with a note.

#include <filesystem>
#include <string>
#include <vector>

namespace qvtool {

// Writes the level into `levelDir` (created when missing); returns the notes, one per change.
std::vector<std::string> ImportScene(const std::filesystem::path& scene,
                                     const std::filesystem::path& levelDir);

}  // namespace qvtool
