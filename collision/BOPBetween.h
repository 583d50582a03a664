#pragma once
// TBOPBetween: an inner node of the partition tree. It owns its two children (the group of smaller
// keys first) and keeps the union of their boxes, so a walk can skip the whole subtree with one box
// test. The visibility walk also skips a subtree when every object in it would be dropped for its
// distance (see CollectVisible); that leaves the result exactly as the leaf tests would. The axis
// classes (collision/BOPAxisNodes.h) add the split axis: its letter in the file and the three
// per-object keys the build sorts and splits by.

#include <memory>

#include "collision/BOPNode.h"

namespace qv {

class TBOPBetween : public TBOPNode {
 public:
  TBOPBetween(std::unique_ptr<TBOPNode> first, std::unique_ptr<TBOPNode> second);

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
  float LargestRadius() const override { return largestRadius_; }

  const TBOPNode& First() const { return *first_; }
  const TBOPNode& Second() const { return *second_; }

 private:
  TBox box_;                          // union of the children's boxes
  float largestRadius_;               // largest bounding-sphere radius below
  std::unique_ptr<TBOPNode> first_;   // smaller keys
  std::unique_ptr<TBOPNode> second_;  // larger keys
};

}  // namespace qv
