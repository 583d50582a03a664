#pragma once
// The model listing behind `qv-tool info`: one line per mesh and per material of a .3ds file, in
// database order, or the same as one JSON document. Counts are the raw counts the file stores.
//
//   mesh <name> vertices=<n> faces=<m> texcoords=<k> groups=<g> hidden=<0|1>
//   material <name> texture=<texture map file name>
//
// Each mesh record is released as soon as it is listed, so listing a large file holds one mesh in
// memory at a time. Errors of the reader propagate; nothing is returned for a file that fails.

#include <string>

namespace qv {

class TFile3DS;

enum class TListingFormat { Text, Json };

std::string ListModel3DS(TFile3DS& file, TListingFormat format);

// `text` as a JSON string literal, quotes included. Bytes of 0x80 and above are taken as Latin-1.
std::string JsonQuote(const std::string& text);

}  // namespace qv
