#pragma once
// The partition tree over a level's static objects. Every leaf holds one scene object; every inner
// node splits its objects into two groups along x, y or z and keeps the box around both, so the
// three per-frame questions - what is in view, which terrain lies under a ground point, which
// collidees overlap a box - each cost one walk that skips every subtree whose box misses.
//
// Ownership: the tree owns its nodes, its four result lists and its name list; it only refers to
// the scene objects (the model adapter owns them) and never changes after it is made. The objects
// must outlive the tree and must not move.
//
// Cost: Build sorts three copies of the objects per inner node (O(n log^2 n), once per level; the
// result is kept in the "bop" file beside the model, see SaveToFile/Load). Each query caches its
// last input and, when called again with exactly the same input (float by float), returns the
// previous result without walking; result lists keep their capacity between queries and stay
// valid until the next query of the same kind.
//
// Refused input: Build over no objects (EGL). Load refuses a file that does not describe a tree
// over the given objects - see Load - so the caller can rebuild.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "collision/BOPNode.h"
#include "scene/3dObjectList.h"
#include "scene/Geometry.h"

namespace qv {

// The terrain and collidee classes of the game (TTerrainObject, TCollideeObject).
TBOPKinds GameBOPKinds();

// How a tree came to be.
enum class TBOPOrigin { Built, Reloaded };

class TBOPTree {
 public:
  // Builds over the objects (at least one; EGL otherwise) and logs "create time:<ms> tree" and
  // "avg depth:<d> ideal:<log2 n>". The objects' SortKey fields are overwritten.
  static std::unique_ptr<TBOPTree> Build(const T3dObjectList& objects,
                                         TBOPKinds kinds = GameBOPKinds());

  // Reads the tree file made by SaveToFile for the same object list and logs
  // "reload time:<ms> tree". Raises, so the caller can rebuild, when the list is empty ("tree in
  // File is shit", EGL), the file cannot be read (EGL), it ends before the tree does
  // (std::out_of_range), a line is neither "X", "Y", "Z" nor a decimal integer (EGL), an index is
  // outside the list (std::out_of_range), the tree does not hold every object exactly once (EGL:
  // the file was written for another model), or it nests deeper than MaxFileDepth (EGL: no tree
  // this game builds comes near). Lines after the tree are ignored. Every message names the file.
  static std::unique_ptr<TBOPTree> Load(const T3dObjectList& objects,
                                        const std::filesystem::path& file,
                                        TBOPKinds kinds = GameBOPKinds());

  // Writes the tree: pre-order, one token per line, CR LF after every line. The text goes to a
  // temporary file in the same folder which then replaces `file`, so an interrupted write never
  // leaves a partial tree under the real name. Raises EGL naming the file when it cannot write.
  void SaveToFile(const std::filesystem::path& file) const;

  // Refreshes OpaqueResult and TransparentResult unless the frustum equals the last one exactly.
  // A leaf is box-tested whatever its tighter bound; an object is dropped when its ViewDistance
  // is 90 or more of its sphere diameters. Exactly the objects returned get that distance as
  // their SortKey; the others keep theirs. The opaque list is in tree order, the transparent one
  // sorted by SortKey ascending, with each object's Transparent flag read at the query.
  void QueryVisible(const TFrustum& frustum);
  const T3dObjectList& OpaqueResult() const { return opaque_; }
  const T3dObjectList& TransparentResult() const { return transparent_; }

  // Terrain objects whose box covers (x, z) on x and z, bounds inclusive.
  const T3dObjectList& QueryTerrainAt(float x, float z);
  // Collidee objects whose box overlaps `box` (touching counts).
  const T3dObjectList& QueryCollidees(const TBox& box);

  // The root's depth sum (root at depth 0) over the number of objects.
  double AverageDepth() const;
  std::string Describe() const;
  // Names of the input objects in input order; a leaf's index points into it.
  const std::vector<std::string>& Names() const { return names_; }
  const TBOPNode& Root() const { return *root_; }

  TBOPOrigin Origin() const { return origin_; }
  std::int64_t ElapsedMs() const { return elapsedMs_; }  // time Build or Load took

  static constexpr int MaxFileDepth = 1024;  // deepest nesting Load accepts

 private:
  // The node tree copied into one array in pre-order, for the visibility walk: it runs every
  // frame over thousands of nodes, and following child pointers through virtual calls made it
  // little faster than testing every object. The node tree stays the tree's reference form.
  struct alignas(32) TFlatNode {  // two to a cache line
    TBox box;      // the node's box (a leaf's: its object's box when the leaf was made)
    float radius;  // largest bounding-sphere radius below
    int next;      // inner node: index just past its subtree; leaf: -1 - its index in flatLeaves_
  };
  // What a leaf's walk needs once its box has passed, kept apart so the nodes stay small.
  struct TFlatLeaf {
    T3dObject* object;  // not owned
    float centerX;      // ViewDistance terms from the bound the object picks: that bound's centre
    float centerY;
    float centerZ;
    float extent;    // half the box's largest side, or the sphere's radius
    float diameter;  // twice the sphere's radius, for the distance cut
  };

  TBOPTree(TBOPKinds kinds, TBOPOrigin origin);
  void FillNames(const T3dObjectList& objects);
  // Fills flat_ from root_; called once root_ is set.
  void Flatten();
  void CollectVisibleFlat(const TFrustum& frustum);
  // The distance cut of every leaf of the subtree at flat_[node], its box already wholly inside
  // the frustum.
  void KeepLeavesBelow(int node, const TPlane& near);
  void KeepIfNearEnough(const TFlatLeaf& leaf, const TPlane& near);
  void AppendKept();

  std::unique_ptr<TBOPNode> root_;  // owned
  TFrustum frustum_{};              // of the last visibility query; all 0 at first
  T3dObjectList terrain_{TOwnership::Refers};
  TBox collideeBox_{};  // of the last collidee query; all 0 at first
  T3dObjectList collidees_{TOwnership::Refers};
  T3dObjectList transparent_{TOwnership::Refers};
  T3dObjectList opaque_{TOwnership::Refers};
  float groundX_ = -1e16f;  // of the last terrain query; far away at first
  float groundZ_ = -1e16f;
  std::vector<std::string> names_;     // input objects' names, in input order
  std::vector<TFlatNode> flat_;        // root_ in pre-order, see TFlatNode
  std::vector<TFlatLeaf> flatLeaves_;  // the leaves of flat_, in the same order
  bool flatUsable_ = false;            // every box in flat_ small enough for the fast test
  struct TOpenNode {
    int end;          // index just past the inner node's subtree in flat_
    unsigned planes;  // bit k: its box is not wholly inside frustum plane k
  };
  std::vector<TOpenNode> walkStack_;  // the flat walk's open nodes, kept between queries
  // A leaf the walk keeps, with its key: the objects are read only after the walk, in one pass
  // that knows which objects come next (see CollectVisibleFlat).
  struct TKeptLeaf {
    T3dObject* object;  // not owned
    float key;
  };
  std::vector<TKeptLeaf> kept_;  // one slot per leaf, made with the tree: no growing per query
  std::size_t keptCount_ = 0;    // slots of kept_ the last query filled
  float largestCoordinate_ = 0;  // of the root's box, for the rounding slack of the distance cut
  TBOPKinds kinds_;              // what counts as terrain and as collidee
  TBOPOrigin origin_;
  std::int64_t elapsedMs_ = 0;
};

}  // namespace qv
