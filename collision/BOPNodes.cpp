// The partition tree's nodes: leaf, inner node and the three axis classes.

#include <algorithm>
#include <cmath>

#include "collision/BOPAxisNodes.h"
#include "collision/BOPLeaf.h"
#include "platform/EGL.h"
#include "scene/3dObject.h"
#include "scene/3dObjectList.h"
#include "scene/Frustum.h"

namespace qv {

// --- TBOPLeaf ---------------------------------------------------------------------------------

TBOPLeaf::TBOPLeaf(T3dObject& object, int index) : object_(&object), index_(index) {
  object.GetBoundingBox(box_);
  TSphere sphere;
  object.GetBoundingSphere(sphere);
  radius_ = sphere.r;
}

void TBOPLeaf::GetBoundingBox(TBox& box) const { box = box_; }

void TBOPLeaf::SaveTo(const std::vector<std::string>& names,
                      std::vector<std::string>& lines) const {
  // The index always comes from the tree's own input list; one outside the name list means the
  // tree and its names disagree, and such a file must never be written.
  if (index_ < 0 || static_cast<std::size_t>(index_) >= names.size())
    throw EGL("tree in file is shit");
  lines.push_back(std::to_string(index_));
}

void TBOPLeaf::Describe(std::string& text) const {
  std::string name;
  object_->GetName(name);
  text += name;
}

std::int64_t TBOPLeaf::SumDepth(std::int64_t depth) const { return depth; }

void TBOPLeaf::CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                              T3dObjectList& transparent) const {
  // Always the box here, whichever bound is tighter: the inner nodes above were box-tested too.
  if (!BoxInFrustum(box_, frustum)) return;
  const float key = ViewDistance(frustum, *object_);
  // Too small at this distance to be worth drawing: the key is 90 or more sphere diameters. A point
  // object (radius 0) is cut when it lies beyond the near plane, as the division would say. Such
  // an object keeps its old key, as one outside the view does: a key is only read in the frame
  // that found the object visible, and leaving it saves the query a visit to every cut object.
  const float diameter = 2.0f * radius_;
  const bool tooFar = diameter > 0 ? key / diameter >= 90.0f : key > 0;
  if (tooFar) return;
  object_->SortKey = key;
  if (object_->Transparent)
    transparent.Add(object_);
  else
    opaque.Add(object_);
}

void TBOPLeaf::CollectTerrainAt(float x, float z, const TBOPKinds& kinds,
                                T3dObjectList& result) const {
  if (BoxCoversXZ(box_, x, z) && kinds.IsTerrain(*object_)) result.Add(object_);
}

void TBOPLeaf::CollectCollideesIn(const TBox& query, const TBOPKinds& kinds,
                                  T3dObjectList& result) const {
  if (BoxesOverlap(box_, query) && kinds.IsCollidee(*object_)) result.Add(object_);
}

// --- TBOPBetween ------------------------------------------------------------------------------

TBOPBetween::TBOPBetween(std::unique_ptr<TBOPNode> first, std::unique_ptr<TBOPNode> second)
    : first_(std::move(first)), second_(std::move(second)) {
  TBox a, b;
  first_->GetBoundingBox(a);
  second_->GetBoundingBox(b);
  box_ = {std::min(a.minX, b.minX), std::max(a.maxX, b.maxX), std::min(a.minY, b.minY),
          std::max(a.maxY, b.maxY), std::min(a.minZ, b.minZ), std::max(a.maxZ, b.maxZ)};
  largestRadius_ = std::max(first_->LargestRadius(), second_->LargestRadius());
}

void TBOPBetween::GetBoundingBox(TBox& box) const { box = box_; }

void TBOPBetween::SaveTo(const std::vector<std::string>& names,
                         std::vector<std::string>& lines) const {
  first_->SaveTo(names, lines);
  second_->SaveTo(names, lines);
}

void TBOPBetween::Describe(std::string& text) const {
  text += "{s:";
  first_->Describe(text);
  text += ",b:";
  second_->Describe(text);
  text += "}\r\n";
}

std::int64_t TBOPBetween::SumDepth(std::int64_t depth) const {
  return first_->SumDepth(depth + 1) + second_->SumDepth(depth + 1);
}

void TBOPBetween::CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                                 T3dObjectList& transparent) const {
  if (!BoxInFrustum(box_, frustum) || SubtreeAllTooFar(box_, largestRadius_, frustum)) return;
  first_->CollectVisible(frustum, opaque, transparent);
  second_->CollectVisible(frustum, opaque, transparent);
}

void TBOPBetween::CollectTerrainAt(float x, float z, const TBOPKinds& kinds,
                                   T3dObjectList& result) const {
  if (!BoxCoversXZ(box_, x, z)) return;
  first_->CollectTerrainAt(x, z, kinds, result);
  second_->CollectTerrainAt(x, z, kinds, result);
}

void TBOPBetween::CollectCollideesIn(const TBox& box, const TBOPKinds& kinds,
                                     T3dObjectList& result) const {
  if (!BoxesOverlap(box_, box)) return;
  first_->CollectCollideesIn(box, kinds, result);
  second_->CollectCollideesIn(box, kinds, result);
}

// --- axis classes -----------------------------------------------------------------------------

namespace {

TSphere SphereOf(const T3dObject& object) {
  TSphere sphere;
  object.GetBoundingSphere(sphere);
  return sphere;
}

TBox BoxOf(const T3dObject& object) {
  TBox box;
  object.GetBoundingBox(box);
  return box;
}

template <class Node>
std::unique_ptr<TBOPBetween> MakeNode(std::unique_ptr<TBOPNode> first,
                                      std::unique_ptr<TBOPNode> second) {
  return std::make_unique<Node>(std::move(first), std::move(second));
}

}  // namespace

float TBOPXNode::CenterKey(const T3dObject& object) { return SphereOf(object).x; }
float TBOPXNode::MinKey(const T3dObject& object) { return BoxOf(object).minX; }
float TBOPXNode::MaxKey(const T3dObject& object) { return BoxOf(object).maxX; }
float TBOPYNode::CenterKey(const T3dObject& object) { return SphereOf(object).y; }
float TBOPYNode::MinKey(const T3dObject& object) { return BoxOf(object).minY; }
float TBOPYNode::MaxKey(const T3dObject& object) { return BoxOf(object).maxY; }
float TBOPZNode::CenterKey(const T3dObject& object) { return SphereOf(object).z; }
float TBOPZNode::MinKey(const T3dObject& object) { return BoxOf(object).minZ; }
float TBOPZNode::MaxKey(const T3dObject& object) { return BoxOf(object).maxZ; }

void TBOPXNode::SaveTo(const std::vector<std::string>& names,
                       std::vector<std::string>& lines) const {
  lines.emplace_back("X");
  TBOPBetween::SaveTo(names, lines);
}
void TBOPYNode::SaveTo(const std::vector<std::string>& names,
                       std::vector<std::string>& lines) const {
  lines.emplace_back("Y");
  TBOPBetween::SaveTo(names, lines);
}
void TBOPZNode::SaveTo(const std::vector<std::string>& names,
                       std::vector<std::string>& lines) const {
  lines.emplace_back("Z");
  TBOPBetween::SaveTo(names, lines);
}

void TBOPXNode::Describe(std::string& text) const {
  text += 'X';
  TBOPBetween::Describe(text);
}
void TBOPYNode::Describe(std::string& text) const {
  text += 'Y';
  TBOPBetween::Describe(text);
}
void TBOPZNode::Describe(std::string& text) const {
  text += 'Z';
  TBOPBetween::Describe(text);
}

const std::array<TBOPAxisClass, 3>& BOPAxes() {
  static const std::array<TBOPAxisClass, 3> axes{{
      {'X', &TBOPXNode::CenterKey, &TBOPXNode::MinKey, &TBOPXNode::MaxKey, &MakeNode<TBOPXNode>},
      {'Y', &TBOPYNode::CenterKey, &TBOPYNode::MinKey, &TBOPYNode::MaxKey, &MakeNode<TBOPYNode>},
      {'Z', &TBOPZNode::CenterKey, &TBOPZNode::MinKey, &TBOPZNode::MaxKey, &MakeNode<TBOPZNode>},
  }};
  return axes;
}

const TBOPAxisClass* BOPAxisForLetter(char letter) {
  for (const TBOPAxisClass& axis : BOPAxes())
    if (axis.Letter == letter) return &axis;
  return nullptr;
}

}  // namespace qv
