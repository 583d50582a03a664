#include "models/ChunkNode3DS.h"

#include <cstdio>
#include <new>

#include "models/3DSError.h"

namespace qv {

TChunkNode3DS::~TChunkNode3DS() {
  // Unlink everything below and beside this node into a work list, so destroying a long chain or
  // a deep tree never nests destructor calls.
  std::vector<std::unique_ptr<TChunkNode3DS>> pending;
  if (children) pending.push_back(std::move(children));
  if (next) pending.push_back(std::move(next));
  while (!pending.empty()) {
    std::unique_ptr<TChunkNode3DS> node = std::move(pending.back());
    pending.pop_back();
    if (node->children) pending.push_back(std::move(node->children));
    if (node->next) pending.push_back(std::move(node->next));
    // `node` now has neither children nor siblings; its destructor does no further work.
  }
}

void RaiseAtChunk(std::string_view message, const TChunkNode3DS& node) {
  char where[64];
  std::snprintf(where, sizeof where, " (chunk 0x%04X at offset %u)", node.id, node.position);
  Raise3DSError(std::string(message) + where);
}

std::unique_ptr<TChunkNode3DS> NewChunkNode() {
  try {
    return std::make_unique<TChunkNode3DS>();
  } catch (const std::bad_alloc&) {
    Raise3DSError(kMsg3DSNoMemory);
  }
}

void AppendChild(TChunkNode3DS& parent, std::unique_ptr<TChunkNode3DS> node) {
  std::unique_ptr<TChunkNode3DS>* slot = &parent.children;
  while (*slot) slot = &(*slot)->next;
  *slot = std::move(node);
}

TChunkNode3DS* FindChunkDeep(TChunkNode3DS* node, uint16_t id) {
  if (!node) return nullptr;
  if (node->id == id) return node;
  // Pre-order walk of the subtree below `node`; the stack holds the next sibling to visit at each
  // level, so the search never recurses.
  std::vector<TChunkNode3DS*> stack;
  if (node->children) stack.push_back(node->children.get());
  while (!stack.empty()) {
    TChunkNode3DS* current = stack.back();
    stack.pop_back();
    if (current->id == id) return current;
    if (current->next) stack.push_back(current->next.get());
    if (current->children) stack.push_back(current->children.get());
  }
  return nullptr;
}

TChunkNode3DS* FindChunkAlong(TChunkNode3DS* node, uint16_t id) {
  for (; node; node = node->next.get()) {
    if (node->id == id) return node;
  }
  return nullptr;
}

void ReleasePayload(TChunkNode3DS& node) { node.payload.reset(); }

void ReleaseChunkChain(std::unique_ptr<TChunkNode3DS>& node) { node.reset(); }

}  // namespace qv
