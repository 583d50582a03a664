#pragma once
// TMaterialList: the materials of one .3ds file, one slot per material entry, each read from its
// chunks the first time it is asked for and cached until the file object dies.

#include <memory>
#include <vector>

#include "models/Material3DS.h"

namespace qv {

class TFile3DS;

class TMaterialList {
 public:
  explicit TMaterialList(TFile3DS& owner) : owner_(owner) {}

  // Number of material entries. Counted once, while the list is still empty.
  int Count();
  // Material `index`, read on first use; null when Count() is 0. std::out_of_range outside
  // 0..Count()-1. The record belongs to the list.
  const TMaterial3DS* Item(int index);

 private:
  TFile3DS& owner_;
  std::vector<std::unique_ptr<TMaterial3DS>> items_;
};

}  // namespace qv
