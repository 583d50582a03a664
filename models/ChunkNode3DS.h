#pragma once
// TChunkNode3DS: one chunk of a .3ds file in the reader's chunk tree, and the free functions that
// search and release the tree.
//
// A node owns its decoded payload, its sub-chunk chain (`children`) and its later siblings
// (`next`). Destroying or releasing a chain is iterative, so a file with a million sibling chunks
// does not recurse a million frames deep. The searches are iterative too.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "models/Types3DS.h"
#include "scene/Geometry.h"
#include "scene/Mesh3DS.h"

namespace qv {

struct TColor24_3DS {
  uint8_t r = 0, g = 0, b = 0;  // 0..255 each
};

// 0xA310: automatic reflection map settings.
struct TAutoReflect3DS {
  uint8_t antiAlias = 0;  // first byte
  uint8_t filter = 0;     // second byte
  uint16_t flags = 0;     // bit 0 first frame only, bit 1 flat mirror
  int32_t size = 0;       // map size, pixels
  int32_t frameStep = 0;  // render every n-th frame
};

// 0xB010: keyframer node header.
struct TNodeHeader3DS {
  std::string name;     // the node's object name
  uint16_t flags1 = 0;  // first flag word
  uint16_t flags2 = 0;  // second flag word
  uint16_t parent = 0;  // parent node id, 0xFFFF for none
};

// The decoded own data of a chunk. Which alternative a chunk id decodes to:
//   uint32_t: 0x0002, 0x3D3E      int16_t: 0x0030, 0xA100, 0xA252      uint16_t: 0xA351, 0xB030
//   float: 0x0031, 0xA087, 0xA353..0xA35C      TColor24_3DS: 0x0011, 0x0012, 0xA360..0xA368
//   std::string: 0x4000, 0x4181, 0xA000, 0xA300, 0xB011      std::vector<TVector>: 0x4110
//   std::vector<uint16_t>: 0x4111      std::vector<TFace3DS>: 0x4120      TObjMat3DS: 0x4130
//   std::vector<TTexCoord>: 0x4140      std::vector<uint32_t>: 0x4150
//   std::array<float, 12>: 0x4160      uint8_t: 0x4165      TMapInfo3DS: 0x4170
//   std::array<std::string, 6>: 0x4190      TAutoReflect3DS: 0xA310      TNodeHeader3DS: 0xB010
//   std::vector<uint8_t>: procedure data (0x4182, 0xA320..0xA338) and the raw body of any other
//   chunk longer than its header that is not a pure container.
using TPayload3DS =
    std::variant<std::monostate, uint32_t, int16_t, uint16_t, float, TColor24_3DS, std::string,
                 std::vector<TVector>, std::vector<uint16_t>, std::vector<TFace3DS>, TObjMat3DS,
                 std::vector<TTexCoord>, std::vector<uint32_t>, std::array<float, 12>, uint8_t,
                 TMapInfo3DS, std::vector<uint8_t>, std::array<std::string, 6>, TAutoReflect3DS,
                 TNodeHeader3DS>;

struct TChunkNode3DS {
  uint16_t id = 0;                          // chunk id from the header
  uint32_t length = 0;                      // header + own data + sub-chunks, bytes
  uint32_t position = 0;                    // file offset of the header
  std::unique_ptr<TPayload3DS> payload;     // decoded own data; null until loaded or when none
  std::unique_ptr<TChunkNode3DS> next;      // next sibling
  std::unique_ptr<TChunkNode3DS> children;  // first sub-chunk

  TChunkNode3DS() = default;
  TChunkNode3DS(const TChunkNode3DS&) = delete;
  TChunkNode3DS& operator=(const TChunkNode3DS&) = delete;
  ~TChunkNode3DS();  // releases the sub-chunks and the siblings along `next` without recursion
};

// A zeroed node; "Not enough memory to complete operation." when none can be had.
std::unique_ptr<TChunkNode3DS> NewChunkNode();
// Appends `node` at the end of the parent's sub-chunk chain (walks the chain).
void AppendChild(TChunkNode3DS& parent, std::unique_ptr<TChunkNode3DS> node);
// Depth-first: the node itself, then each sub-chunk with its whole subtree in chain order.
// Siblings of `node` are not searched. Null `node` or no match gives null.
TChunkNode3DS* FindChunkDeep(TChunkNode3DS* node, uint16_t id);
// The node, then each node along `next`; never descends.
TChunkNode3DS* FindChunkAlong(TChunkNode3DS* node, uint16_t id);
// Drops the node's payload and everything it holds.
void ReleasePayload(TChunkNode3DS& node);
// Releases the node, its `next` chain and all their sub-chunks; `node` becomes null.
void ReleaseChunkChain(std::unique_ptr<TChunkNode3DS>& node);
// Raise3DSError with " (chunk 0xID at offset N)" after the message, so an author can find the
// chunk that was refused.
[[noreturn]] void RaiseAtChunk(std::string_view message, const TChunkNode3DS& node);

}  // namespace qv
