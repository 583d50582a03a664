// Building the partition tree and answering its queries. The tree file is in BOPTreeFile.cpp.

#include "collision/BOPTree.h"

#include <algorithm>
#include <bit>
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
  int split = -1;     // last index of the first group; -1 when the axis has none
  float overlap = 0;  // reach of the first group minus start of the second
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
  bool Clean(int s) const { return s < static_cast<int>(reach.size()) - 1 && start[s] >= reach[s]; }
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
  tree->Flatten();
  tree->FillNames(objects);
  tree->elapsedMs_ = MsSince(start);
  GlobalLog().Log("create time:" + std::to_string(tree->elapsedMs_) + " tree");
  GlobalLog().Log("avg depth:" + FormatFloat(tree->AverageDepth()) +
                  " ideal:" + FormatFloat(std::log2(static_cast<double>(objects.Count()))));
  return tree;
}

namespace {

// Beyond this size a coordinate or plane value could overflow the sums of the fast box test below
// (and 0 * infinity is not a number); such values take the nodes' own walk.
constexpr float FastTestLimit = 1e18f;

// How many objects ahead the visibility query asks for an object's memory.
constexpr std::size_t KeptLookahead = 8;

bool SmallEnough(float value) { return std::fabs(value) <= FastTestLimit; }  // false for NaN

bool SmallEnough(const TBox& box) {
  return SmallEnough(box.minX) && SmallEnough(box.maxX) && SmallEnough(box.minY) &&
         SmallEnough(box.maxY) && SmallEnough(box.minZ) && SmallEnough(box.maxZ);
}

// BoxInFrustum's answer from two corners per plane instead of eight. Rounding is monotonic, so
// the corner farthest along a plane's normal gets the largest computed value of the eight and the
// one nearest the smallest: some corner is inside exactly when the farthest is, all are exactly
// when the nearest is. A box wholly inside a plane clears its bit in `planes`; the boxes below
// lie within it, so their nearest corners are inside too and that plane is not tried again.
// Needs finite values small enough not to overflow (SmallEnough).
bool BoxPasses(const TBox& b, const TFrustum& frustum, unsigned& planes) {
  for (unsigned left = planes; left != 0; left &= left - 1) {
    const int k = std::countr_zero(left);
    const TPlane& p = frustum[k];
    const bool ax = p.a >= 0, by = p.b >= 0, cz = p.c >= 0;
    const float farthest = p.a * (ax ? b.maxX : b.minX) + p.b * (by ? b.maxY : b.minY) +
                           p.c * (cz ? b.maxZ : b.minZ) + p.d;
    if (!(farthest > 0)) return false;
    const float nearest = p.a * (ax ? b.minX : b.maxX) + p.b * (by ? b.minY : b.maxY) +
                          p.c * (cz ? b.minZ : b.maxZ) + p.d;
    if (nearest > 0) planes &= ~(1u << k);
  }
  return true;
}

// SubtreeAllTooFar for the flat walk, set up once per query and in float: the near plane's least
// value over a box, from the corner nearest along its normal, against 180 times the subtree's
// largest radius. The margin is 1e-5 of the largest magnitude a key in the level can have (from
// the root's box, which holds every box below), where SubtreeAllTooFar takes it from each box:
// still a hundred times the float rounding of this value and of any leaf's key, so the cut never
// drops an object the leaf would keep, and it costs three products per node.
class TFarCut {
 public:
  TFarCut(const TPlane& near, float largestCoordinate) : near_(near) {
    const double reach =
        (std::fabs(double(near.a)) + std::fabs(double(near.b)) + std::fabs(double(near.c)) + 1) *
            largestCoordinate +
        std::fabs(double(near.d)) + 1;
    slack_ = static_cast<float>(1e-5 * reach);
  }
  bool AllTooFar(const TBox& b, float radius) const {
    const float least = near_.a * (near_.a >= 0 ? b.minX : b.maxX) +
                        near_.b * (near_.b >= 0 ? b.minY : b.maxY) +
                        near_.c * (near_.c >= 0 ? b.minZ : b.maxZ) + near_.d;
    return least - slack_ > radius * (180.0f * (1 + 1e-5f));
  }

 private:
  TPlane near_;
  float slack_;
};

}  // namespace

void TBOPTree::Flatten() {
  flat_.clear();
  flatLeaves_.clear();
  flatUsable_ = true;
  // Pre-order with an explicit stack: a lopsided tree may be deeper than the call stack allows.
  struct TPending {
    const TBOPNode* node;  // still to copy
    int parent;            // index of its parent in flat_, -1 for the root
  };
  std::vector<TPending> pending{{root_.get(), -1}};
  std::vector<int> parents;  // per flat_ entry: its parent's index
  while (!pending.empty()) {
    const TPending next = pending.back();
    pending.pop_back();
    TFlatNode flat{};
    next.node->GetBoundingBox(flat.box);
    flat.radius = next.node->LargestRadius();
    if (!SmallEnough(flat.box)) flatUsable_ = false;
    const int index = static_cast<int>(flat_.size());
    if (const auto* leaf = dynamic_cast<const TBOPLeaf*>(next.node)) {
      flat.next = -1 - static_cast<int>(flatLeaves_.size());
      TFlatLeaf terms{};
      terms.object = &leaf->Object();
      // The same float steps as ViewDistance, so the key comes out bit for bit the same.
      if (terms.object->IsBoxTighter()) {
        TBox b;
        terms.object->GetBoundingBox(b);
        const float hx = (b.maxX - b.minX) / 2, hy = (b.maxY - b.minY) / 2,
                    hz = (b.maxZ - b.minZ) / 2;
        terms.centerX = b.minX + hx;
        terms.centerY = b.minY + hy;
        terms.centerZ = b.minZ + hz;
        terms.extent = MaxFloat(MaxFloat(hx, hy), hz);
      } else {
        TSphere sphere;
        terms.object->GetBoundingSphere(sphere);
        terms.centerX = sphere.x;
        terms.centerY = sphere.y;
        terms.centerZ = sphere.z;
        terms.extent = sphere.r;
      }
      terms.diameter = 2.0f * flat.radius;
      flatLeaves_.push_back(terms);
    } else {
      const auto& between = dynamic_cast<const TBOPBetween&>(*next.node);
      pending.push_back({&between.Second(), index});
      pending.push_back({&between.First(), index});
    }
    flat_.push_back(flat);
    parents.push_back(next.parent);
  }
  // A subtree ends where the next node outside it starts; filled from the back, every child's end
  // is known before its parent's is needed.
  for (int i = static_cast<int>(flat_.size()) - 1; i >= 0; --i) {
    const int end = flat_[i].next < 0 ? i + 1 : flat_[i].next;
    const int parent = parents[i];
    if (parent >= 0 && flat_[parent].next < end) flat_[parent].next = end;
  }
  kept_.assign(flatLeaves_.size(), {});
  const TBox& all = flat_.front().box;
  largestCoordinate_ = 0;
  for (float v : {all.minX, all.maxX, all.minY, all.maxY, all.minZ, all.maxZ})
    largestCoordinate_ = std::max(largestCoordinate_, std::fabs(v));
}

inline void TBOPTree::KeepIfNearEnough(const TFlatLeaf& leaf, const TPlane& near) {
  // An object too far to be drawn is not touched at all: its key means nothing this frame. The
  // slot is written either way and only counted when kept, as whether it is kept is hard to
  // foresee.
  const float key =
      near.a * leaf.centerX + near.b * leaf.centerY + near.c * leaf.centerZ + near.d + leaf.extent;
  const bool tooFar = leaf.diameter > 0 ? key / leaf.diameter >= 90.0f : key > 0;
  kept_[keptCount_] = {leaf.object, key};
  keptCount_ += tooFar ? 0 : 1;
}

void TBOPTree::CollectVisibleFlat(const TFrustum& frustum) {
  std::vector<TOpenNode>& open = walkStack_;
  open.clear();
  open.push_back({static_cast<int>(flat_.size()), 0x3fu});
  keptCount_ = 0;
  const int count = static_cast<int>(flat_.size());
  const TPlane& near = frustum[fpNear];
  const TFarCut farCut(near, largestCoordinate_);
  int i = 0;
  while (i < count) {
    while (i >= open.back().end) open.pop_back();
    unsigned planes = open.back().planes;
    const TFlatNode& node = flat_[i];
    const bool passes = BoxPasses(node.box, frustum, planes);
    if (node.next < 0) {
      ++i;
      // What TBOPLeaf::CollectVisible does, the key from the terms kept when the tree was made
      // (static objects never change their bounds, as the leaf's own box copy assumes).
      if (passes) KeepIfNearEnough(flatLeaves_[-1 - node.next], near);
      continue;
    }
    if (!passes || farCut.AllTooFar(node.box, node.radius)) {
      i = node.next;
      continue;
    }
    if (planes == 0) {
      // Wholly inside: every box below passes, so only the distance cut is left to make, leaf by
      // leaf, without the nodes in between.
      KeepLeavesBelow(i, near);
      i = node.next;
      continue;
    }
    open.push_back({node.next, planes});
    ++i;
  }
  AppendKept();
}

void TBOPTree::KeepLeavesBelow(int node, const TPlane& near) {
  // Every node has two children, so a subtree of k leaves spans 2k - 1 entries, and pre-order
  // puts its leaves next to each other in flatLeaves_; the first is at the end of the first
  // children from the node down.
  const int leaves = (flat_[node].next - node + 1) / 2;
  while (flat_[node].next >= 0) ++node;
  const int first = -1 - flat_[node].next;
  for (int k = first; k < first + leaves; ++k) KeepIfNearEnough(flatLeaves_[k], near);
}

void TBOPTree::AppendKept() {
  // The objects lie all over the heap, and the two fields used here are usually on two cache
  // lines; the walk above has already said which objects come next, so ask for both lines a few
  // objects ahead instead of waiting for each in turn. Transparency is read now, not kept in the
  // leaf: an object may turn transparent after the tree is made.
  const std::size_t count = keptCount_;
  for (std::size_t k = 0; k < count; ++k) {
    if (k + KeptLookahead < count) {
      T3dObject* ahead = kept_[k + KeptLookahead].object;
      __builtin_prefetch(&ahead->Transparent);
      __builtin_prefetch(&ahead->SortKey, 1);
    }
    T3dObject* object = kept_[k].object;
    object->SortKey = kept_[k].key;
    (object->Transparent ? transparent_ : opaque_).Add(object);
  }
}

void TBOPTree::QueryVisible(const TFrustum& frustum) {
  if (FrustumEquals(frustum, frustum_)) return;
  frustum_ = frustum;
  opaque_.Clear();
  transparent_.Clear();
  bool fast = flatUsable_;
  for (const TPlane& p : frustum)
    fast = fast && SmallEnough(p.a) && SmallEnough(p.b) && SmallEnough(p.c) && SmallEnough(p.d);
  if (fast)
    CollectVisibleFlat(frustum);
  else
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
