#pragma once
// Why a model's meshes show nothing: the game draws a face only through a material the file holds,
// and never draws a mesh flagged hidden. One line per mesh or face group that stays invisible.

#include <string>
#include <vector>

namespace qv {
class T3DSFileAdapter;
}

namespace qvtool {

// Reads the mesh records of `file` again (the adapter keeps no names of its groups) and compares
// them with the materials `model` made of it. Raises E3DSError as the reader does.
std::vector<std::string> UndrawnMeshes(const std::string& file, const qv::T3DSFileAdapter& model);

}  // namespace qvtool
