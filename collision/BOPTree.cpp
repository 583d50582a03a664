// Building the partition tree and answering its queries. The tree file is in BOPTreeFile.cpp.

#include "collision/BOPTree.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include "collision/BOPAxisNodes.h"
#include "collision/BOPLeaf.h"
#include "platform/EGL.h"
#include "platform/LogFile.h"
#include "scene/Frustum.h"

namespace qv {

namespace {

using TIndexOf = std::unordered_map<const T3dObject*, int>;

// One axis's best split of a sorted copy.
struct TAxisSplit {
  int split = -1;       // last index of the first group; -1 when the axis has none
  float overlap = 0;    // reach of the first group minus start of the second
};

// For every split s of the sorted copy: the first group's reach (largest MaxKey over 0..s) and
// the second group's start (smallest MinKey over s+1..n-1).
struct TSplitKeys {
  std::vector<float> reach;
  std::vector<float> start;

  TSplitKeys(const T3dObjectList& sorted, const TBOPAxisClass& axis) {
    const int n = sorted.Count();
    reach.resize(n);
    start.resize(n);
    for (int i = 0; i < n; ++i) {
      const float key = axis.MaxKey(*sorted.Get(i));
      reach[i] = i == 0 || key > reach[i - 1] ? key : reach[i - 1];
    }
    // start[n-1] has an empty second group; it is never a candidate.
    start[n - 1] = 0;
    for (int i = n - 2; i >= 0; --i) {
      const float key = axis.MinKey(*sorted.Get(i + 1));
      start[i] = i == n - 2 || key < start[i + 1] ? key : start[i + 1];
    }
  }
  // The last index is never a split: it would leave the second group empty.
  bool Clean(int s) const {
    return s < static_cast<int>(reach.size()) - 1 && start[s] >= reach[s];
  }
  float Overlap(int s) const { return reach[s] - start[s]; }
};

// The clean split closest to the middle m, the lower one of two at equal distance; -1 if none.
int FindCleanSplit(const TSplitKeys& keys, int n) {
  const int m = n / 2, q = n / 4;
  int found = -1;
  for (int s = m; s >= q; --s) {
    if (s == n - 1) break;  // only a list of two starts here; its search ends at once
    if (keys.Clean(s)) {
      found = s;
      break;
    }
  }
  if (found >= 0) {
    // Something strictly closer above the middle replaces it.
    for (int s = m + 1; s <= m + (m - found) - 1; ++s)
      if (keys.Clean(s)) return s;
    return found;
  }
  for (int s = m + 1; s <= m + q - 2; ++s)
    if (keys.Clean(s)) return s;
  return -1;
}

// The least-overlap split among q..3q-2 (just q when that range is empty); a later candidate
// replaces the current one only when strictly smaller.
TAxisSplit FindLeastOverlap(const TSplitKeys& keys, int n) {
  const int q = n / 4;
  TAxisSplit best{q, keys.Overlap(q)};
  for (int s = q + 1; s <= 3 * q - 2; ++s) {
    const float overlap = keys.Overlap(s);
    if (overlap < best.overlap) best = {s, overlap};
  }
  return best;
}

// A copy of the list ordered by SortKey ascending. Different keys come out exactly as the list's
// own Sort orders them; equal keys keep their order, and the time stays O(n log n). The list's
// Sort takes its first object as the pivot, which is quadratic on a list that is already in order
// but for a few equal keys - and a child's list always arrives in order on its parent's axis,
// where equal centres are common (rows of identical meshes). A list of two keeps its order, as
// the list's Sort leaves it. A key that is not a number sorts last, as there.
T3dObjectList SortedCopy(const T3dObjectList& source) {
  const int n = source.Count();
  std::vector<T3dObject*> items(n);
  for (int i = 0; i < n; ++i) items[i] = source.Get(i);
  auto key = [](const T3dObject* object) {
    return std::isnan(object->SortKey) ? std::numeric_limits<float>::infinity() : object->SortKey;
  };
  if (n > 2)
    std::stable_sort(items.begin(), items.end(),
                     [&](const T3dObject* a, const T3dObject* b) { return key(a) < key(b); });
  T3dObjectList copy(TOwnership::Refers);
  copy.SetCapacity(n);
  for (T3dObject* object : items) copy.Add(object);
  return copy;
}

std::unique_ptr<TBOPNode> BuildNode(const T3dObjectList& objects, const TIndexOf& indexOf) {
  const int n = objects.Count();
  if (n == 1) {
    T3dObject* object = objects.Get(0);
    return std::make_unique<TBOPLeaf>(*object, indexOf.at(object));
  }

  const auto& axes = BOPAxes();
  // One sorted copy per axis. The keys share the objects' SortKey field, so each axis writes its
  // keys just before its own sort.
  std::array<T3dObjectList, 3> sorted{T3dObjectList(TOwnership::Refers),
                                      T3dObjectList(TOwnership::Refers),
                                      T3dObjectList(TOwnership::Refers)};
  for (int a = 0; a < 3; ++a) {
    for (int i = 0; i < n; ++i) objects.Get(i)->SortKey = axes[a].CenterKey(*objects.Get(i));
    sorted[a] = SortedCopy(objects);
  }
  const std::array<TSplitKeys, 3> keys{TSplitKeys(sorted[0], axes[0]),
                                       TSplitKeys(sorted[1], axes[1]),
                                       TSplitKeys(sorted[2], axes[2])};

  const int m = n / 2;
  int winner = -1, split = -1;
  int bestDistance = m + 1;  // what an axis without a clean split counts as
  for (int a = 0; a < 3; ++a) {
    const int s = FindCleanSplit(keys[a], n);
    const int distance = s < 0 ? m + 1 : std::abs(s - m);
    if (s >= 0 && distance < bestDistance) {  // strict: x beats y beats z on a tie
      winner = a;
      split = s;
      bestDistance = distance;
    }
  }
  if (winner < 0) {
    float bestOverlap = 0;
    for (int a = 0; a < 3; ++a) {
      const TAxisSplit least = FindLeastOverlap(keys[a], n);
      if (winner < 0 || std::fabs(least.overlap) < bestOverlap) {
        winner = a;
        split = least.split;
        bestOverlap = std::fabs(least.overlap);
      }
    }
  }

  T3dObjectList first = T3dObjectList::CreateRange(TOwnership::Refers, sorted[winner], 0, split);
  T3dObjectList second =
      T3dObjectList::CreateRange(TOwnership::Refers, sorted[winner], split + 1, n - 1);
  for (T3dObjectList& copy : sorted) copy = T3dObjectList(TOwnership::Refers);  // free early
  std::unique_ptr<TBOPNode> firstNode = BuildNode(first, indexOf);
  std::unique_ptr<TBOPNode> secondNode = BuildNode(second, indexOf);
  return axes[winner].Create(std::move(firstNode), std::move(secondNode));
}

std::int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Shortest general decimal form, up to 15 significant digits.
std::string FormatFloat(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace

TBOPTree::TBOPTree(TBOPKinds kinds, TBOPOrigin origin) : kinds_(kinds), origin_(origin) {}

void TBOPTree::FillNames(const T3dObjectList& objects) {
  names_.clear();
  names_.reserve(objects.Count());
  for (int i = 0; i < objects.Count(); ++i) {
    std::string name;
    objects.Get(i)->GetName(name);
    names_.push_back(std::move(name));
  }
}

std::unique_ptr<TBOPTree> TBOPTree::Build(const T3dObjectList& objects, TBOPKinds kinds) {
  const auto start = std::chrono::steady_clock::now();
  if (objects.Count() == 0) throw EGL("cannot build a partition tree over no objects");
  TIndexOf indexOf;
  indexOf.reserve(objects.Count());
  for (int i = 0; i < objects.Count(); ++i) {
    if (!objects.Get(i)) throw EGL("cannot build a partition tree over a missing object");
    indexOf.emplace(objects.Get(i), i);  // the same object listed twice keeps its first place
  }
  std::unique_ptr<TBOPTree> tree(new TBOPTree(kinds, TBOPOrigin::Built));
  tree->root_ = BuildNode(objects, indexOf);
  tree->FillNames(objects);
  tree->elapsedMs_ = MsSince(start);
  GlobalLog().Log("create time:" + std::to_string(tree->elapsedMs_) + " tree");
  GlobalLog().Log("avg depth:" + FormatFloat(tree->AverageDepth()) +
                  " ideal:" + FormatFloat(std::log2(static_cast<double>(objects.Count()))));
  return tree;
}

void TBOPTree::QueryVisible(const TFrustum& frustum) {
  if (FrustumEquals(frustum, frustum_)) return;
  frustum_ = frustum;
  opaque_.Clear();
  transparent_.Clear();
  root_->CollectVisible(frustum, opaque_, transparent_);
  transparent_.Sort();
}

const T3dObjectList& TBOPTree::QueryTerrainAt(float x, float z) {
  if (x == groundX_ && z == groundZ_) return terrain_;
  groundX_ = x;
  groundZ_ = z;
  terrain_.Clear();
  root_->CollectTerrainAt(x, z, kinds_, terrain_);
  return terrain_;
}

const T3dObjectList& TBOPTree::QueryCollidees(const TBox& box) {
  if (box == collideeBox_) return collidees_;
  collideeBox_ = box;
  collidees_.Clear();
  root_->CollectCollideesIn(box, kinds_, collidees_);
  return collidees_;
}

double TBOPTree::AverageDepth() const {
  return static_cast<double>(root_->SumDepth(0)) / static_cast<double>(names_.size());
}

std::string TBOPTree::Describe() const {
  std::string text;
  root_->Describe(text);
  return text;
}

}  // namespace qv
