// The plain container: bounds from its members, transparency, name, member access, the member
// operations in order, and culling member by member.

#include "scene/3dObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "scene/ModelSource.h"

namespace qv {
namespace {

// A member with a chosen box and sphere that writes its calls into a shared trace.
class TMember : public T3dObject {
 public:
  TMember(char id, const TBox& box, const TSphere& sphere, std::string* trace)
      : id_(id), trace_(trace) {
    BoundingBox = box;
    BoundingSphere = sphere;
  }
  void GetName(std::string& name) const override { name = std::string(1, id_); }
  void CalcBoundingBox() override {}
  void CalcBoundingSphere() override {}
  void CalcTransparent() override {}
  void Compile() override { Note("c"); }
  void Uncompile() override { Note("u"); }
  void Draw() override { Note("d"); }
  void Highlight() override { Note("h"); }
  void Unhighlight() override { Note("n"); }

 private:
  void Note(const char* call) { *trace_ += std::string(call) + id_ + ' '; }
  char id_;
  std::string* trace_;
};

class TSource : public TModelSource {
 public:
  TMember& Add(const TBox& box, const TSphere& sphere) {
    members.push_back(
        std::make_unique<TMember>(static_cast<char>('a' + members.size()), box, sphere, &trace));
    return *members.back();
  }
  int ObjectCount() const override { return static_cast<int>(members.size()); }
  T3dObject* GetObject(int index) const override { return members[index].get(); }
  std::filesystem::path Folder() const override { return "/"; }
  bool IsNewerThanModel(const std::filesystem::path&) const override { return false; }

  std::vector<std::unique_ptr<TMember>> members;
  std::string trace;
};

TEST(T3dObjects, EmptyContainerKeepsZeroBoundsAndNamesItsCount) {
  T3dObjects none;
  TSource empty;
  none.LoadFromAdapter(empty);
  EXPECT_EQ(none.BoundingBox, TBox{});
  EXPECT_EQ(none.BoundingSphere.r, 0);
  EXPECT_FALSE(none.Transparent);
  std::string name;
  none.GetName(name);
  EXPECT_EQ(name, "T3dObjects:0Items");

  TSource three;
  for (int i = 0; i < 3; ++i) three.Add({}, {});
  T3dObjects some;
  some.LoadFromAdapter(three);
  some.GetName(name);
  EXPECT_EQ(name, "T3dObjects:3Items");
  EXPECT_EQ(some.GetMember(2), three.members[2].get());
  EXPECT_THROW(some.GetMember(3), std::out_of_range);
}

TEST(T3dObjects, RadiusIsHalfTheLargestSideUnlessTheMembersReachLess) {
  // One unit sphere at the origin in the box -1..1: half the side and the reach are both 1.
  TSource one;
  one.Add({-1, 1, -1, 1, -1, 1}, {0, 0, 0, 1});
  T3dObjects single;
  single.LoadFromAdapter(one);
  EXPECT_EQ(single.BoundingSphere, (TSphere{0, 0, 0, 1}));
  EXPECT_FLOAT_EQ(single.SphereVolume, 4.188790204786391f);
  EXPECT_FLOAT_EQ(single.BoxVolume, 8);
  EXPECT_FALSE(single.BoxTighter);  // 8 is not less than 4.19

  // Spheres reaching beyond the box: half the largest side (x: -11..11) stays.
  TSource spread;
  spread.Add({-11, -9, -1, 1, -1, 1}, {-10, 0, 0, 3});
  spread.Add({9, 11, 0, 2, -1, 3}, {10, 1, 1, 3});
  T3dObjects wide;
  wide.LoadFromAdapter(spread);
  EXPECT_EQ(wide.BoundingBox, (TBox{-11, 11, -1, 2, -1, 3}));
  EXPECT_EQ(wide.BoundingSphere, (TSphere{0, 0.5f, 1, 11}));
  EXPECT_FLOAT_EQ(wide.BoxVolume, 22 * 3 * 4);

  // A member sphere well inside the box: the reach from the box centre is the radius.
  TSource inner;
  inner.Add({-10, 10, -10, 10, -10, 10}, {1, 0, 0, 4});
  T3dObjects tight;
  tight.LoadFromAdapter(inner);
  EXPECT_FLOAT_EQ(tight.BoundingSphere.r, 5);
}

TEST(T3dObjects, TransparencyAndMemberOperationsFollowTheMembersInOrder) {
  TSource source;
  source.Add({}, {});
  source.Add({}, {}).Transparent = true;
  source.Add({}, {});
  T3dObjects container;
  container.LoadFromAdapter(source);
  EXPECT_TRUE(container.Transparent);
  source.members[1]->Transparent = false;
  container.CalcTransparent();
  EXPECT_FALSE(container.Transparent);

  container.Compile();
  EXPECT_TRUE(container.Compiled);
  container.Draw();
  container.Highlight();
  container.Unhighlight();
  container.Uncompile();
  EXPECT_FALSE(container.Compiled);
  EXPECT_EQ(source.trace, "ca cb cc da db dc ha hb hc na nb nc ua ub uc ");
}

TEST(T3dObjects, CollectVisibleTestsEachMemberByItsTighterBoundAndAppends) {
  // A view looking along -z: |x|, |y| < 10, depth 0..100, near plane z = 0.
  const TFrustum view{TPlane{-1, 0, 0, 10}, TPlane{1, 0, 0, 10},  TPlane{0, 1, 0, 10},
                      TPlane{0, -1, 0, 10}, TPlane{0, 0, 1, 100}, TPlane{0, 0, -1, 0}};
  TSource source;
  TMember& boxed = source.Add({-1, 1, -1, 1, -6, -4}, {0, 0, -5, 2});
  boxed.BoxTighter = true;
  // The box is out of view but the member trusts its sphere, which reaches in.
  TMember& round = source.Add({20, 22, -1, 1, -6, -4}, {15, 0, -5, 6});
  round.BoxTighter = false;
  round.Transparent = true;
  TMember& behind = source.Add({-1, 1, -1, 1, 4, 6}, {0, 0, 5, 2});
  behind.BoxTighter = true;
  T3dObjects container;
  container.LoadFromAdapter(source);

  T3dObjectList opaque(TOwnership::Refers), transparent(TOwnership::Refers);
  opaque.Add(&behind);  // the caller's lists are appended to, never cleared
  container.CollectVisible(view, opaque, transparent);
  ASSERT_EQ(opaque.Count(), 2);
  EXPECT_EQ(opaque.Get(1), &boxed);
  ASSERT_EQ(transparent.Count(), 1);
  EXPECT_EQ(transparent.Get(0), &round);
  EXPECT_FLOAT_EQ(boxed.SortKey, 6);   // depth 5 plus the largest half side
  EXPECT_FLOAT_EQ(round.SortKey, 11);  // depth 5 plus the radius
}

}  // namespace
}  // namespace qv
