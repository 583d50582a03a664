#pragma once
// The three axis classes of the partition tree's inner nodes, TBOPXNode, TBOPYNode and TBOPZNode
// (kept together: each is a letter and three one-line keys). The build picks an axis before any
// node exists, so each class also has a class reference, TBOPAxisClass, holding its class-level
// keys and its constructor; BOPAxes() lists them in the order x, y, z, which is also the order that
// wins ties.

#include <array>

#include "collision/BOPBetween.h"

namespace qv {

struct TBOPAxisClass {
  char Letter;                                  // 'X', 'Y' or 'Z': the node's line in the file
  float (*CenterKey)(const T3dObject& object);  // bounding-sphere centre on the axis
  float (*MinKey)(const T3dObject& object);     // bounding-box minimum on the axis
  float (*MaxKey)(const T3dObject& object);     // bounding-box maximum on the axis
  std::unique_ptr<TBOPBetween> (*Create)(std::unique_ptr<TBOPNode> first,
                                         std::unique_ptr<TBOPNode> second);
};

const std::array<TBOPAxisClass, 3>& BOPAxes();
// The class for an axis letter, or nullptr for anything else (lower case included).
const TBOPAxisClass* BOPAxisForLetter(char letter);

class TBOPXNode : public TBOPBetween {
 public:
  using TBOPBetween::TBOPBetween;
  void SaveTo(const std::vector<std::string>& names,
              std::vector<std::string>& lines) const override;
  void Describe(std::string& text) const override;
  static float CenterKey(const T3dObject& object);
  static float MinKey(const T3dObject& object);
  static float MaxKey(const T3dObject& object);
};

class TBOPYNode : public TBOPBetween {
 public:
  using TBOPBetween::TBOPBetween;
  void SaveTo(const std::vector<std::string>& names,
              std::vector<std::string>& lines) const override;
  void Describe(std::string& text) const override;
  static float CenterKey(const T3dObject& object);
  static float MinKey(const T3dObject& object);
  static float MaxKey(const T3dObject& object);
};

class TBOPZNode : public TBOPBetween {
 public:
  using TBOPBetween::TBOPBetween;
  void SaveTo(const std::vector<std::string>& names,
              std::vector<std::string>& lines) const override;
  void Describe(std::string& text) const override;
  static float CenterKey(const T3dObject& object);
  static float MinKey(const T3dObject& object);
  static float MaxKey(const T3dObject& object);
};

}  // namespace qv
