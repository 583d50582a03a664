#include "scene/3dObjectList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

#include "scene/Frustum.h"

namespace qv {
namespace {

// A scene object with given bounds; counts its destruction so ownership can be checked.
class TTestObject : public T3dObject {
 public:
  explicit TTestObject(float key = 0, int tag = 0, int* destroyed = nullptr)
      : tag_(tag), destroyed_(destroyed) {
    SortKey = key;
  }
  ~TTestObject() override {
    if (destroyed_) ++*destroyed_;
  }
  void GetName(std::string& name) const override { name = "test" + std::to_string(tag_); }
  void CalcBoundingBox() override {
    BoundingBox = box;
    BoxVolume = (box.maxX - box.minX) * (box.maxY - box.minY) * (box.maxZ - box.minZ);
  }
  // Built from the box, as the meshes do: the box must be there first.
  void CalcBoundingSphere() override {
    const float hx = (BoundingBox.maxX - BoundingBox.minX) / 2;
    const float hy = (BoundingBox.maxY - BoundingBox.minY) / 2;
    const float hz = (BoundingBox.maxZ - BoundingBox.minZ) / 2;
    BoundingSphere = {BoundingBox.minX + hx, BoundingBox.minY + hy, BoundingBox.minZ + hz,
                      std::sqrt(hx * hx + hy * hy + hz * hz) * sphereScale};
    SphereVolume = 4.0f / 3.0f * 3.14159265f * std::pow(BoundingSphere.r, 3.0f);
  }
  void CalcTransparent() override {}
  void Draw() override {}
  void Highlight() override {}
  void Unhighlight() override {}
  int Tag() const { return tag_; }

  TBox box{};             // what CalcBoundingBox reports
  float sphereScale = 1;  // shrinks the sphere below the box's circumsphere

 private:
  int tag_;
  int* destroyed_;
};

// An actor that reports its bounds moved by `offset` along x, as moving objects do.
class TMovedObject : public TTestObject {
 public:
  float offset = 0;
  void GetBoundingBox(TBox& b) const override {
    b = BoundingBox;
    b.minX += offset;
    b.maxX += offset;
  }
  void GetBoundingSphere(TSphere& s) const override {
    s = BoundingSphere;
    s.x += offset;
  }
};

TTestObject& Tagged(const T3dObjectList& list, int i) {
  return static_cast<TTestObject&>(*list.Get(i));
}

// A frustum that keeps x >= 0 and is open everywhere else, near plane = x.
TFrustum HalfSpaceX() {
  TFrustum f;
  for (TPlane& p : f) p = {0, 0, 0, 1000};
  f[fpNear] = {1, 0, 0, 0};
  return f;
}

TEST(T3dObject, UpdateBoundsChoosesTheSphereOnEqualVolumes) {
  TTestObject cube;
  cube.box = {0, 2, 0, 2, 0, 2};
  cube.UpdateBounds();
  EXPECT_EQ(cube.BoundingSphere.x, 1);  // the sphere was computed from a finished box
  EXPECT_TRUE(cube.BoxTighter);         // a cube is tighter than its circumsphere

  cube.BoxVolume = cube.SphereVolume = 5;
  cube.ChooseBound();
  EXPECT_FALSE(cube.BoxTighter);

  TTestObject ball;
  ball.box = {0, 2, 0, 2, 0, 2};
  ball.sphereScale = 0.5f;  // radius 0.87: a sphere smaller than the box
  ball.UpdateBounds();
  EXPECT_FALSE(ball.BoxTighter);
}

TEST(T3dObject, IsInFrustumTestsTheChosenBoundAndSetsTheKeyOnlyWhenVisible) {
  const TFrustum f = HalfSpaceX();
  TTestObject o;
  o.box = {-3, -1, 0, 2, 0, 2};  // wholly at x < 0
  o.UpdateBounds();
  o.SortKey = 42;
  EXPECT_FALSE(o.IsInFrustum(f));
  EXPECT_EQ(o.SortKey, 42);

  o.box = {-1, 1, 0, 2, 0, 4};  // straddles x = 0; box chosen (tighter)
  o.UpdateBounds();
  ASSERT_TRUE(o.BoxTighter);
  EXPECT_TRUE(o.IsInFrustum(f));
  // Centre x 0, extent = largest half side (2): the key measures the far side.
  EXPECT_FLOAT_EQ(o.SortKey, 0 + 2);

  o.BoxTighter = false;  // now the sphere: centre x 0, radius sqrt(1 + 1 + 4)
  EXPECT_TRUE(o.IsInFrustum(f));
  EXPECT_FLOAT_EQ(o.SortKey, std::sqrt(6.0f));
}

TEST(T3dObject, IsInFrustumUsesTheReportedBoundsOfAMovingObject) {
  const TFrustum f = HalfSpaceX();
  TMovedObject actor;
  actor.box = {-3, -1, 0, 2, 0, 2};
  actor.UpdateBounds();
  EXPECT_FALSE(actor.IsInFrustum(f));
  actor.offset = 10;
  EXPECT_TRUE(actor.IsInFrustum(f));
  EXPECT_FLOAT_EQ(actor.SortKey, 8 + 1);
  EXPECT_FLOAT_EQ(ViewDistance(f, actor), 9);
}

TEST(T3dObjectList, GrowsOneSlotPerAddAndRangeChecksSlots) {
  T3dObjectList list(TOwnership::Refers);
  TTestObject a, b, c;
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Capacity(), 3);
  list.SetCapacity(6);
  EXPECT_EQ(list.Get(2), &c);
  EXPECT_EQ(list.Get(3), nullptr);
  EXPECT_EQ(list.Get(5), nullptr);
  EXPECT_THROW(list.Get(6), std::out_of_range);
  EXPECT_THROW(list.Get(-1), std::out_of_range);
  EXPECT_THROW(list.Exchange(0, 6), std::out_of_range);
  list.Exchange(0, 2);
  EXPECT_EQ(list.Get(0), &c);
  EXPECT_EQ(list.Get(2), &a);
  list.Add(&a);  // room left: no growth
  EXPECT_EQ(list.Capacity(), 6);

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 6);  // kept for the next frame
}

TEST(T3dObjectList, OwningListFreesOnClearAndNotAgainOnDestruction) {
  int destroyed = 0;
  TTestObject kept(0, 0, &destroyed);
  {
    T3dObjectList refers(TOwnership::Refers);
    refers.Add(&kept);
    refers.Clear();
  }
  EXPECT_EQ(destroyed, 0);
  {
    T3dObjectList owns(TOwnership::Owns);
    owns.Add(std::make_unique<TTestObject>(0, 1, &destroyed));
    owns.Add(std::make_unique<TTestObject>(0, 2, &destroyed));
    owns.Clear();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(owns.Get(0), nullptr);
    owns.Add(std::make_unique<TTestObject>(0, 3, &destroyed));
  }
  EXPECT_EQ(destroyed, 3);  // the third only; the cleared ones not twice

  T3dObjectList refers(TOwnership::Refers);
  EXPECT_THROW(refers.Add(std::make_unique<TTestObject>()), std::logic_error);
}

TEST(T3dObjectList, RangesCopiesAndAppendedLists) {
  std::vector<std::unique_ptr<TTestObject>> objects;
  T3dObjectList source(TOwnership::Refers);
  for (int i = 0; i < 5; ++i) {
    objects.push_back(std::make_unique<TTestObject>(0, i));
    source.Add(objects.back().get());
  }
  source.SetCapacity(8);

  const T3dObjectList range = T3dObjectList::CreateRange(TOwnership::Refers, source, 1, 3);
  EXPECT_EQ(range.Count(), 3);
  EXPECT_EQ(range.Capacity(), 3);
  EXPECT_EQ(Tagged(range, 0).Tag(), 1);
  EXPECT_EQ(Tagged(range, 2).Tag(), 3);

  T3dObjectList copy = T3dObjectList::CreateCopy(source);
  EXPECT_FALSE(copy.OwnsObjects());
  EXPECT_EQ(copy.Count(), 5);
  EXPECT_EQ(copy.Capacity(), 5);  // the empty slots of the source are not copied

  copy.AddList(range);
  EXPECT_EQ(copy.Count(), 8);
  EXPECT_EQ(copy.Capacity(), 8);
  EXPECT_EQ(Tagged(copy, 5).Tag(), 1);
  copy.AddList(copy);  // doubling onto itself reads only what was there
  ASSERT_EQ(copy.Count(), 16);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(copy.Get(i), copy.Get(i + 8));
}

// Keys of the list in slot order.
std::vector<float> Keys(const T3dObjectList& list) {
  std::vector<float> keys;
  for (int i = 0; i < list.Count(); ++i) keys.push_back(list.Get(i)->SortKey);
  return keys;
}

struct TSortFixture {
  std::vector<std::unique_ptr<TTestObject>> objects;
  T3dObjectList list{TOwnership::Refers};
  void Add(float key) {
    objects.push_back(std::make_unique<TTestObject>(key, static_cast<int>(objects.size())));
    list.Add(objects.back().get());
  }
};

TEST(T3dObjectListSort, TwoObjectsKeepTheirOrderThreeAreSorted) {
  TSortFixture two;
  two.Add(5);
  two.Add(1);
  two.list.Sort();
  EXPECT_EQ(Keys(two.list), (std::vector<float>{5, 1}));

  for (auto keys : {std::vector<float>{3, 2, 1}, {2, 3, 1}, {1, 3, 2}, {3, 1, 2}}) {
    TSortFixture three;
    for (float k : keys) three.Add(k);
    three.list.Sort();
    EXPECT_EQ(Keys(three.list), (std::vector<float>{1, 2, 3}));
  }
}

TEST(T3dObjectListSort, ShortListsKeepEqualKeysInOrder) {
  // The largest key already stands last, so the sentinel exchange moves nothing.
  TSortFixture f;
  for (float k : {3.0f, 1.0f, 3.0f, 1.0f, 2.0f, 1.0f, 2.0f, 3.0f, 9.0f}) f.Add(k);
  f.list.Sort();
  std::vector<int> tags;
  for (int i = 0; i < f.list.Count(); ++i) tags.push_back(Tagged(f.list, i).Tag());
  EXPECT_EQ(tags, (std::vector<int>{1, 3, 5, 4, 6, 0, 2, 7, 8}));
}

TEST(T3dObjectListSort, LongListsAgreeWithStdSort) {
  std::mt19937 random(1234);
  for (int n : {3, 14, 15, 16, 17, 40, 100, 1000, 5000}) {
    for (int round = 0; round < 5; ++round) {
      TSortFixture f;
      // Few distinct values in some rounds, to exercise equal keys in the partition.
      std::uniform_int_distribution<int> value(0, round % 2 ? 5 : 100000);
      for (int i = 0; i < n; ++i) f.Add(static_cast<float>(value(random)) - 50.0f);
      std::vector<float> expected = Keys(f.list);
      std::sort(expected.begin(), expected.end());
      f.list.Sort();
      EXPECT_EQ(Keys(f.list), expected) << n << " objects, round " << round;
    }
  }
  // Already sorted, reversed and all equal: the pivot choice's worst cases.
  for (int shape = 0; shape < 3; ++shape) {
    TSortFixture f;
    for (int i = 0; i < 3000; ++i) f.Add(shape == 0 ? float(i) : shape == 1 ? float(-i) : 7.0f);
    f.list.Sort();
    const std::vector<float> keys = Keys(f.list);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << "shape " << shape;
  }
}

TEST(T3dObjectListSort, KeysThatAreNotNumbersSortLastWithoutRunningOffTheList) {
  std::mt19937 random(99);
  for (int n : {5, 30, 200}) {
    TSortFixture f;
    std::uniform_real_distribution<float> value(-100, 100);
    for (int i = 0; i < n; ++i) f.Add(i % 3 == 0 ? NAN : value(random));
    f.Add(NAN);  // and one at the end, where the sentinel would go
    f.list.Sort();
    const std::vector<float> keys = Keys(f.list);
    const auto firstNaN =
        std::find_if(keys.begin(), keys.end(), [](float k) { return std::isnan(k); });
    EXPECT_TRUE(std::is_sorted(keys.begin(), firstNaN)) << n;
    EXPECT_TRUE(std::all_of(firstNaN, keys.end(), [](float k) { return std::isnan(k); })) << n;
    EXPECT_EQ(keys.end() - firstNaN, (n + 2) / 3 + 1);
  }
}

}  // namespace
}  // namespace qv
