#include "tools/UndrawnMeshes.h"

#include <filesystem>

#include "models/3DSFileAdapter.h"
#include "models/File3DS.h"

namespace qvtool {

std::vector<std::string> UndrawnMeshes(const std::string& file, const qv::T3DSFileAdapter& model) {
  std::vector<std::string> lines;
  qv::TFile3DS records{std::filesystem::path(file)};
  qv::TObjectList& meshes = records.ObjectList();
  for (int i = 0; i < meshes.MeshCount(); ++i) {
    const qv::TMesh3DS& record = *meshes.MeshItem(i);
    const std::string mesh = "mesh \"" + record.name + "\"";
    if (record.hidden) {
      lines.push_back(mesh + " is flagged hidden");
    } else if (record.faces.empty() || record.vertices.size() < 3) {
      lines.push_back(mesh + " has no faces");
    } else if (record.matGroups.empty()) {
      lines.push_back(mesh + " has no material assignment");
    } else {
      for (const qv::TObjMat3DS& group : record.matGroups) {
        if (model.FindMaterial(group.name)) continue;
        lines.push_back(mesh + ": " + std::to_string(group.faces.size()) +
                        " face(s) name material \"" + group.name +
                        "\", which the file does not hold");
      }
    }
    meshes.ReleaseMesh(i);
  }
  return lines;
}

}  // namespace qvtool
