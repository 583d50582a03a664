#include "models/Listing3DS.h"

#include <cstdio>

#include "models/File3DS.h"

namespace qv {

std::string JsonQuote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string ListModel3DS(TFile3DS& file, TListingFormat format) {
  const bool json = format == TListingFormat::Json;
  std::string out = json ? "{\"meshes\":[" : "";
  TObjectList& objects = file.ObjectList();
  const int meshes = objects.MeshCount();
  for (int i = 0; i < meshes; ++i) {
    const TMesh3DS& m = *objects.MeshItem(i);
    if (json) {
      out += i ? ",\n" : "\n";
      out += "{\"name\":" + JsonQuote(m.name) +
             ",\"vertices\":" + std::to_string(m.vertices.size()) +
             ",\"faces\":" + std::to_string(m.faces.size()) +
             ",\"texcoords\":" + std::to_string(m.texVertexCount) +
             ",\"groups\":" + std::to_string(m.matGroups.size()) +
             ",\"hidden\":" + (m.hidden ? "true" : "false") + "}";
    } else {
      out += "mesh " + m.name + " vertices=" + std::to_string(m.vertices.size()) +
             " faces=" + std::to_string(m.faces.size()) +
             " texcoords=" + std::to_string(m.texVertexCount) +
             " groups=" + std::to_string(m.matGroups.size()) + " hidden=" + (m.hidden ? "1" : "0") +
             "\n";
    }
    objects.ReleaseMesh(i);
  }
  if (json) out += "],\"materials\":[";
  TMaterialList& materials = file.MaterialList();
  const int count = materials.Count();
  for (int i = 0; i < count; ++i) {
    const TMaterial3DS& m = *materials.Item(i);
    if (json) {
      out += i ? ",\n" : "\n";
      out +=
          "{\"name\":" + JsonQuote(m.name) + ",\"texture\":" + JsonQuote(m.texture.map.name) + "}";
    } else {
      out += "material " + m.name + " texture=" + m.texture.map.name + "\n";
    }
  }
  if (json) out += "]}\n";
  return out;
}

}  // namespace qv
