#pragma once
// TBOPLeaf: the tree's only kind of leaf, one scene object (not owned: the model adapter owns it).
// It also keeps the position of its object in the list the tree was made from, which is what the
// tree file stores; looking the position up by name instead would send every leaf of a repeated
// name to the first object of that name. And it keeps a copy of the object's box, taken when the
// leaf is made (and its sphere's radius): static objects never move, and the walks then touch an
// object only once its box has passed, instead of calling into every object below a node that
// passed.

#include "collision/BOPNode.h"

namespace qv {

class TBOPLeaf : public TBOPNode {
 public:
  TBOPLeaf(T3dObject& object, int index);

  void GetBoundingBox(TBox& box) const override;
  void SaveTo(const std::vector<std::string>& names,
              std::vector<std::string>& lines) const override;
  void Describe(std::string& text) const override;
  std::int64_t SumDepth(std::int64_t depth) const override;
  void CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                      T3dObjectList& transparent) const override;
  void CollectTerrainAt(float x, float z, const TBOPKinds& kinds,
                        T3dObjectList& result) const override;
  void CollectCollideesIn(const TBox& box, const TBOPKinds& kinds,
                          T3dObjectList& result) const override;
  float LargestRadius() const override { return radius_; }

  T3dObject& Object() const { return *object_; }
  int Index() const { return index_; }  // position in the list the tree was made from

 private:
  T3dObject* object_;  // refers to; owned by the model adapter
  int index_;          // into the tree's input list and name list
  TBox box_;           // the object's box when the leaf was made
  float radius_;       // its bounding-sphere radius then
};

}  // namespace qv
