// The passes against the plain order they stand for - sky, opaque objects far to near, transparent
// ones far to near, blending on throughout - with the game's projection: the same picture, pixel
// for pixel. Near 0.005 and far 20000 leave a depth step of about a hundred units 3000 units away,
// so a surface close to the sky box gets the sky's depth value there; drawn first, the sky keeps
// such a pixel (the object fails GL_LESS), so drawn last it must win it again. Opaque surfaces
// here never share a depth value with each other: where they do, the order of the two decides.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "scene/DrawPasses.h"
#include "scene/FixedGLState.h"
#include "scene/Frustum.h"
#include "scene/Material.h"
#include "scene/Simple3dObject.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/WorldMesh.h"

namespace qv {
namespace {

constexpr int kWidth = 200, kHeight = 150;

class DrawPassesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double top = 0.005 * std::tan(22.5 * 3.14159265358979 / 180);
    glFrustum(-top * 4 / 3, top * 4 / 3, -top, top, 0.005, 20000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ApplyFixedGLState(TFogSettings{});
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    TMatrix projection, modelView;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.data());
    frustum_ = ExtractFrustum(projection, modelView);
  }

  // A two-sided mesh of the given colour; `shape` adds its triangles.
  template <class TShape>
  T3dObject& Add(T3dObjectList& list, TColor colour, TShape shape) {
    auto material = std::make_unique<TMaterial>();
    material->TwoSided = true;
    material->Ambient = {colour.r / 2, colour.g / 2, colour.b / 2, 1};  // lit only from above
    material->Diffuse = colour;
    TMaterial* raw = material.get();
    materials_.push_back(std::move(material));
    test::TWorldMesh mesh("m");
    shape(mesh);
    std::vector<std::uint16_t> faces(mesh.mesh.faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) faces[i] = static_cast<std::uint16_t>(i);
    mesh.Group(faces);
    objects_.push_back(std::make_unique<TSimple3dObject>([raw](const std::string&) { return raw; },
                                                         rlRelease3, mesh.mesh));
    EXPECT_TRUE(objects_.back()->IsInFrustum(frustum_));  // sets the sort key
    list.Add(objects_.back().get());
    return *objects_.back();
  }
  T3dObject& AddBox(T3dObjectList& list, TColor colour, TVector lo, TVector hi) {
    return Add(list, colour, [&](test::TWorldMesh& m) { m.Box(lo, hi); });
  }

  static void Clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  static std::vector<GLuint> ReadDepth() {
    std::vector<GLuint> depth(kWidth * kHeight);
    glReadPixels(0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
    return depth;
  }

  test::GLTestContext ctx_{kWidth, kHeight};
  TFrustum frustum_{};
  std::vector<std::unique_ptr<TMaterial>> materials_;
  std::vector<std::unique_ptr<TSimple3dObject>> objects_;
};

TEST_F(DrawPassesTest, SamePictureAsThePlainOrderAlsoWhereTheSkyTiesAnObject) {
  T3dObjectList sky(TOwnership::Refers), opaque(TOwnership::Refers),
      transparent(TOwnership::Refers);
  AddBox(sky, {0.2f, 0.3f, 0.9f, 1}, {-3000, -3000, -3000}, {3000, 3000, 3000});
  AddBox(opaque, {0.9f, 0.1f, 0.1f, 1}, {-2, -1, -12}, {1, 2, -9});
  AddBox(opaque, {0.1f, 0.9f, 0.1f, 1}, {-0.5f, -2, -16}, {3, 1, -13});
  AddBox(opaque, {0.8f, 0.8f, 0.2f, 1}, {-40, -4, -200}, {40, -3, -4});  // a floor
  // A wall slanting through the sky's far side: near the crossing the two share depth values.
  Add(opaque, {0.8f, 0.2f, 0.8f, 1}, [](test::TWorldMesh& m) {
    const TVector a{-1500, -300, -2700}, b{-300, -300, -3300}, c{-300, 300, -3300},
        d{-1500, 300, -2700};
    m.Triangle(a, b, c);
    m.Triangle(a, c, d);
  });
  T3dObject& glass =
      AddBox(transparent, {0.2f, 0.9f, 0.9f, 0.5f}, {-1.5f, -1.5f, -7}, {1.5f, 0.5f, -6});
  ASSERT_TRUE(glass.Transparent);
  transparent.Sort();

  // The plain order: the opaque list sorted nearest first and drawn from its end.
  Clear();
  sky.Get(0)->Draw();
  opaque.Sort();
  for (int i = opaque.Count() - 1; i >= 0; --i) opaque.Get(i)->Draw();
  for (int i = transparent.Count() - 1; i >= 0; --i) transparent.Get(i)->Draw();
  const std::vector<std::uint8_t> plain = test::ReadPixels(ctx_);

  Clear();
  SortNearestFirst(opaque);
  DrawOpaquePass(opaque);
  DrawSkyPass(*sky.Get(0));
  DrawTransparentPass(transparent);
  const std::vector<std::uint8_t> passes = test::ReadPixels(ctx_);
  EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "the opaque pass restores blending";

  // Where the sky and the nearest opaque surface have the same depth value.
  Clear();
  sky.Get(0)->Draw();
  const std::vector<GLuint> skyDepth = ReadDepth();
  Clear();
  for (int i = 0; i < opaque.Count(); ++i) opaque.Get(i)->Draw();
  const std::vector<GLuint> opaqueDepth = ReadDepth();

  int ties = 0, differ = 0;
  std::set<std::uint32_t> colours;
  for (int p = 0; p < kWidth * kHeight; ++p) {
    ties += skyDepth[p] == opaqueDepth[p];
    differ += !std::equal(&plain[4 * p], &plain[4 * p + 4], &passes[4 * p]);
    colours.insert(plain[4 * p] << 16 | plain[4 * p + 1] << 8 | plain[4 * p + 2]);
  }
  EXPECT_EQ(differ, 0) << ties << " pixels where the sky and an object share a depth value";
  EXPECT_GT(ties, 0) << "the wall must cross the sky for the shared depths to be tried";
  EXPECT_GE(colours.size(), 6u) << "every object shows";
}

}  // namespace
}  // namespace qv
