// Mesh drawing under a real (software) GL context: what reaches the frame buffer from the arrays
// and from the display list, the reflection's texture matrix, highlight and transparency.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <map>

#include "scene/CubeTexture.h"
#include "scene/Material.h"
#include "scene/Mesh3DS.h"
#include "scene/Simple3dObject.h"
#include "scene/TgaWriter.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

using test::GLTestContext;
using test::PixelAt;
using test::ReadPixels;

constexpr int kSize = 256;  // the cube faces are rendered at 256 x 256 into the back buffer

// A square in the file's x-z plane (world x-y after the axis change), facing the camera at the
// world origin along -z when placed at file y = `depth` (world z = -depth).
TMesh3DS Square(float half, float depth) {
  TMesh3DS mesh;
  mesh.name = "Square";
  mesh.vertices = {
      {-half, depth, -half}, {half, depth, -half}, {half, depth, half}, {-half, depth, half}};
  mesh.faces = {{0, 1, 2, 0}, {0, 2, 3, 0}};
  return mesh;
}

std::map<std::string, TMaterial*> Table(
    std::initializer_list<std::pair<std::string, TMaterial*>> l) {
  return std::map<std::string, TMaterial*>(l.begin(), l.end());
}

TMaterialLookup LookupIn(const std::map<std::string, TMaterial*>& table) {
  return [&table](const std::string& name) -> TMaterial* {
    const auto it = table.find(name);
    return it == table.end() ? nullptr : it->second;
  };
}

class MeshDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    Clear();
  }
  void Clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  std::array<std::uint8_t, 4> Centre() {
    return PixelAt(ReadPixels(ctx), kSize, kSize / 2, kSize / 2);
  }

  GLTestContext ctx{kSize, kSize};
};

std::unique_ptr<TMaterial> TexturedMaterial(const std::filesystem::path& tga, std::uint8_t r,
                                            std::uint8_t g, std::uint8_t b, int bits = 24) {
  WriteTga(tga, MakeTgaImage(4, 4, bits, r, g, b, 128));
  auto material = std::make_unique<TMaterial>();
  material->TwoSided = true;
  material->Texture = std::make_unique<TTexture>(tga.string());
  material->Texture->Upload();
  return material;
}

TEST_F(MeshDrawTest, DrawsGroupsWithMaterialsAndNothingWithout) {
  test::TempDir dir;
  auto green = TexturedMaterial(dir.Path() / "green.tga", 0, 255, 0);
  const auto table = Table({{"Green", green.get()}});

  TMesh3DS square = Square(1, 3);
  square.texVerts = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  TSimple3dObject bare(LookupIn(table), rlRelease3, square);
  bare.Draw();
  EXPECT_EQ(Centre()[1], 0) << "a mesh without material assignments draws nothing";

  square.matGroups = {{"Green", {0, 1}}};
  TSimple3dObject mesh(LookupIn(table), rlRelease3, square);
  mesh.Draw();
  EXPECT_EQ(Centre(), (std::array<std::uint8_t, 4>{0, 255, 0, 255}));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "the group restores the enable flags";

  Clear();
  mesh.Visible = false;
  mesh.Draw();
  EXPECT_EQ(Centre()[1], 0) << "an invisible mesh draws nothing";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MeshDrawTest, WireframeMaterialKeepsItsLinesToItself) {
  test::TempDir dir;
  auto green = TexturedMaterial(dir.Path() / "green.tga", 0, 255, 0);
  TMaterial wire;
  wire.PolygonMode = GL_LINE;
  wire.TwoSided = true;
  const auto table = Table({{"Green", green.get()}, {"Wire", &wire}});
  TMesh3DS lines = Square(1, 3);
  lines.matGroups = {{"Wire", {0, 1}}};
  TMesh3DS filled = Square(1, 3);
  filled.texVerts = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  filled.matGroups = {{"Green", {0, 1}}};
  TSimple3dObject wireMesh(LookupIn(table), rlRelease3, lines);
  TSimple3dObject greenMesh(LookupIn(table), rlRelease3, filled);

  wireMesh.Draw();
  GLint mode[2] = {};
  glGetIntegerv(GL_POLYGON_MODE, mode);
  EXPECT_EQ(mode[0], GL_FILL);
  greenMesh.Draw();
  EXPECT_EQ(Centre()[1], 255) << "a mesh drawn after a wireframe one is filled";

  // The global wireframe switch still reaches a filled material.
  Clear();
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  greenMesh.Draw();
  // Off the shared diagonal, inside the square.
  EXPECT_EQ(PixelAt(ReadPixels(ctx), kSize, kSize / 2 + 20, kSize / 2 - 20)[1], 0)
      << "only the outlines drawn";
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

TEST_F(MeshDrawTest, CompiledListReplaysTheDrawingUntilUncompiled) {
  test::TempDir dir;
  auto green = TexturedMaterial(dir.Path() / "green.tga", 0, 255, 0);
  const auto table = Table({{"Green", green.get()}});
  TMesh3DS square = Square(1, 3);
  square.texVerts = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  square.matGroups = {{"Green", {0, 1}}};
  TSimple3dObject mesh(LookupIn(table), rlRelease3, square);

  mesh.Compile();
  ASSERT_TRUE(mesh.Compiled);
  const GLuint first = mesh.GetDisplayList();
  EXPECT_TRUE(glIsList(first));
  // The list, not the arrays, is drawn: pointing the arrays elsewhere changes nothing.
  glVertexPointer(3, GL_FLOAT, 0, nullptr);
  glDisableClientState(GL_VERTEX_ARRAY);
  mesh.Draw();
  EXPECT_EQ(Centre(), (std::array<std::uint8_t, 4>{0, 255, 0, 255}));

  mesh.Compile();  // again: the old list goes
  EXPECT_FALSE(glIsList(first) && first != mesh.GetDisplayList());
  mesh.Uncompile();
  EXPECT_FALSE(mesh.Compiled);
  EXPECT_FALSE(glIsList(mesh.GetDisplayList()));
  Clear();
  mesh.Draw();
  EXPECT_EQ(Centre()[1], 255) << "drawn from the arrays again";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Highlights run on alarms, where no GL call belongs: the list is recorded at the next draw.
TEST_F(MeshDrawTest, HighlightBrightensEverySharedMaterialAndCompilesAtTheNextDraw) {
  TMaterial a, b;
  a.Specular = {0.2f, 0.3f, 0.4f, 0.5f};
  a.SavedSpecular = a.Specular;
  a.Shininess = a.SavedShininess = 10;
  const auto table = Table({{"A", &a}, {"B", &b}});
  TMesh3DS square = Square(1, 3);
  square.matGroups = {{"A", {0}}, {"Missing", {}}, {"B", {1}}};
  TSimple3dObject mesh(LookupIn(table), rlRelease3, square);

  mesh.Highlight();
  EXPECT_EQ(a.Specular, (TColor{1, 1, 1, 0.5f}));
  EXPECT_EQ(a.Shininess, 126);
  EXPECT_EQ(b.Shininess, 126);
  EXPECT_FALSE(mesh.Compiled);
  EXPECT_EQ(mesh.GetDisplayList(), 0u);
  mesh.Draw();
  EXPECT_TRUE(mesh.Compiled);
  mesh.Unhighlight();
  EXPECT_EQ(a.Specular, (TColor{0.2f, 0.3f, 0.4f, 0.5f}));
  EXPECT_EQ(a.Shininess, 10);
  mesh.Draw();
  EXPECT_TRUE(mesh.Compiled);
  mesh.Uncompile();
}

TEST_F(MeshDrawTest, TransparencyComesFromDiffuseAlphaOrAnAlphaTexture) {
  test::TempDir dir;
  TMaterial opaque;
  TMaterial seeThrough;
  seeThrough.Diffuse.a = 0.5f;
  auto alphaTexture = TexturedMaterial(dir.Path() / "ghost.tga", 200, 200, 255, 32);
  auto plainTexture = TexturedMaterial(dir.Path() / "wall.tga", 200, 200, 255, 24);
  const auto table = Table({{"Opaque", &opaque},
                            {"Glass", &seeThrough},
                            {"Ghost", alphaTexture.get()},
                            {"Wall", plainTexture.get()}});
  auto transparent = [&](std::vector<std::string> names) {
    TMesh3DS square = Square(1, 3);
    for (const auto& name : names) square.matGroups.push_back({name, {0}});
    return TSimple3dObject(LookupIn(table), rlRelease3, square).Transparent;
  };
  EXPECT_FALSE(transparent({"Opaque", "Wall", "Missing"}));
  EXPECT_TRUE(transparent({"Missing", "Opaque", "Glass"}));
  EXPECT_TRUE(transparent({"Ghost"}));
}

TEST_F(MeshDrawTest, OnlyTheFirstCubeMapGroupMakesTheOneReflectionAtTheSphereCentre) {
  TMaterial plain, mirror, mirror2;
  mirror.IsCubeMap = mirror2.IsCubeMap = true;
  const auto table = Table({{"Plain", &plain}, {"Mirror", &mirror}, {"Mirror2", &mirror2}});
  TMesh3DS mesh;
  mesh.name = "Ball";
  mesh.vertices = {{0, 0, 0}, {4, 0, 0}, {0, 6, 0}, {0, 0, 2}};
  mesh.faces = {{0, 1, 2, 0}, {0, 1, 3, 0}, {0, 2, 3, 0}, {1, 2, 3, 0}};
  mesh.matGroups = {{"Plain", {0}}, {"Missing", {1}}, {"Mirror", {2}}, {"Mirror2", {3}}};
  TSimple3dObject object(LookupIn(table), rlRelease3, mesh);
  ASSERT_TRUE(object.HasCubeTexture());
  const TVector centre = object.GetCubeTexture()->Centre;
  EXPECT_EQ(centre, (TVector{2, 1, -3}));
  EXPECT_EQ(centre,
            (TVector{object.BoundingSphere.x, object.BoundingSphere.y, object.BoundingSphere.z}));
  EXPECT_EQ(object.GetCubeTexture()->Width, 256);

  object.Compile();
  EXPECT_FALSE(object.Compiled) << "a reflective mesh is never compiled";
  EXPECT_EQ(object.GetDisplayList(), 0u);
}

TEST_F(MeshDrawTest, ReflectionLooksUpTheWorldDirectionWhateverTheView) {
  TMaterial mirror;
  mirror.IsCubeMap = true;
  mirror.TwoSided = true;
  const auto table = Table({{"Mirror", &mirror}});
  // Turn the view 90 degrees about y: the square straight ahead of the camera lies at world
  // (3, 0, 0) and faces -x. Its reflection of the view direction is eye +z, world -x.
  TMesh3DS wall;
  wall.name = "Wall";
  wall.vertices = {{3, -1, -1}, {3, 1, -1}, {3, 1, 1}, {3, -1, 1}};
  wall.faces = {{0, 1, 2, 0}, {0, 2, 3, 0}};
  wall.matGroups = {{"Mirror", {0, 1}}};
  TSimple3dObject object(LookupIn(table), rlRelease3, wall);
  ASSERT_TRUE(object.HasCubeTexture());

  // Every face of the reflection a colour of its own.
  const std::uint8_t colours[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                      {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
  TCubeTexture& cube = *object.GetCubeTexture();
  object.SetCubeMapRenderer([&](const TFrustum&) {
    const auto* c = colours[cube.CurrentFace];
    glClearColor(c[0] / 255.f, c[1] / 255.f, c[2] / 255.f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  });
  for (int face = 0; face < 6; ++face) object.UpdateCubeMap();
  EXPECT_TRUE(object.Visible) << "visible again after rendering its own reflection";
  SetUp();

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(90, 0, 1, 0);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  object.Draw();
  const auto pixel = Centre();
  EXPECT_EQ((std::array<std::uint8_t, 3>{pixel[0], pixel[1], pixel[2]}),
            (std::array<std::uint8_t, 3>{0, 255, 0}))
      << "the negative-x face (1) should show";

  // Everything the reflection switched is back.
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  TMatrix texture;
  glGetFloatv(GL_TEXTURE_MATRIX, texture.data());
  EXPECT_EQ(texture, IdentityMatrix());
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  // A hidden reflective mesh stays hidden after refreshing its reflection.
  object.Visible = false;
  object.UpdateCubeMap();
  EXPECT_FALSE(object.Visible);
}

}  // namespace
}  // namespace qv
