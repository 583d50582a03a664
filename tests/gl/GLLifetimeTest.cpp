// GL names die with their owners, and only in the context that made them: a texture, a cube
// texture and a compiled mesh free their names when destroyed with that context current, and
// leave alone the names of a later context that happens to hand out the same numbers.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

#include "scene/CubeTexture.h"
#include "scene/Mesh3DS.h"
#include "scene/Simple3dObject.h"
#include "scene/Texture.h"
#include "scene/TgaWriter.h"
#include "shell/GLResourceCount.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

// One texture, one cube texture and one compiled mesh, all made in the context current now.
struct TOwners {
  explicit TOwners(const test::TempDir& dir) {
    WriteTga(dir.Path() / "red.tga", MakeTgaImage(4, 4, 24, 0, 0, 255));
    texture = std::make_unique<TTexture>((dir.Path() / "red.tga").string());
    texture->Upload();
    cube = std::make_unique<TCubeTexture>(8, 8);
    cube->SetUp([](const TFrustum&) {});
    TMesh3DS record;
    record.name = "tri";
    record.vertices = {{-1, 0, -1}, {1, 0, -1}, {0, 0, 1}};
    record.faces = {{0, 1, 2, 0}};
    mesh = std::make_unique<TSimple3dObject>([](const std::string&) { return nullptr; }, rlRelease3,
                                             record);
    mesh->Compile();
  }
  std::unique_ptr<TTexture> texture;
  std::unique_ptr<TCubeTexture> cube;
  std::unique_ptr<TSimple3dObject> mesh;
};

TEST(GLLifetime, OwnersFreeTheirNamesInTheirOwnContext) {
  test::TempDir dir;
  test::GLTestContext ctx(16, 16);
  const TGLResourceCount before = CountGLObjects();
  TOwners owners(dir);
  const GLuint texture = owners.texture->TextureName, cube = owners.cube->TextureName;
  const GLuint list = owners.mesh->GetDisplayList();
  ASSERT_TRUE(glIsTexture(texture) && glIsTexture(cube) && glIsList(list));
  EXPECT_EQ(CountGLObjects().Textures, before.Textures + 2);
  EXPECT_EQ(CountGLObjects().DisplayLists, before.DisplayLists + 1);
  owners.texture.reset();
  owners.cube.reset();
  owners.mesh.reset();
  EXPECT_FALSE(glIsTexture(texture));
  EXPECT_FALSE(glIsTexture(cube));
  EXPECT_FALSE(glIsList(list));
  EXPECT_EQ(CountGLObjects().Textures + CountGLObjects().DisplayLists,
            before.Textures + before.DisplayLists);
}

TEST(GLLifetime, AMeshCompiledWithoutAContextRecordsNothing) {
  TMesh3DS record;
  record.vertices = {{-1, 0, -1}, {1, 0, -1}, {0, 0, 1}};
  record.faces = {{0, 1, 2, 0}};
  TSimple3dObject mesh([](const std::string&) { return nullptr; }, rlRelease3, record);
  mesh.Compile();
  EXPECT_EQ(mesh.GetDisplayList(), 0u);
  EXPECT_FALSE(mesh.Compiled);
}

TEST(GLLifetime, NamesOfAContextThatIsGoneAreForgottenNotFreed) {
  test::TempDir dir;
  std::unique_ptr<TOwners> old;
  {
    test::GLTestContext first(16, 16);
    old = std::make_unique<TOwners>(dir);
  }
  // A new context numbers its names from the start again: its own objects get the same numbers.
  test::GLTestContext second(16, 16);
  TOwners fresh(dir);
  ASSERT_TRUE(glIsTexture(fresh.texture->TextureName) && glIsList(fresh.mesh->GetDisplayList()));

  // The old texture uploads again under a name of this context; the old mesh draws from its arrays.
  old->texture->Upload();
  EXPECT_NE(old->texture->TextureName, fresh.texture->TextureName);
  EXPECT_TRUE(glIsTexture(old->texture->TextureName));
  old->mesh->Draw();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  const GLuint reuploaded = old->texture->TextureName;
  old.reset();
  EXPECT_FALSE(glIsTexture(reuploaded));
  EXPECT_TRUE(glIsTexture(fresh.texture->TextureName));
  EXPECT_TRUE(glIsTexture(fresh.cube->TextureName));
  EXPECT_TRUE(glIsList(fresh.mesh->GetDisplayList()));
}

}  // namespace
}  // namespace qv
