// `qv-tool import` as a process: the Blender arena in each format becomes a level that `check`
// passes, the formats agree on what they all carry, and a scene written here with every awkward
// case comes out in the format's limits with a line for each change.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <assimp/scene.h>
#include <assimp/Exporter.hpp>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "models/File3DS.h"
#include "platform/IniFile.h"
#include "platform/PngFile.h"
#include "scene/Texture.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

const fs::path kArena = fs::path(QV_CORPUS_DIR) / "gltf" / "arena";

struct TRun {
  int exitCode = -1;
  std::string out;  // standard output and error
};

TRun QvTool(const std::string& args, const fs::path& dir) {
  const std::string command = "cd '" + dir.string() + "' && '" + QV_BUILD_DIR + "/qv-tool' " +
                              args + " >'" + (dir / "out.txt").string() + "' 2>&1";
  const int status = std::system(command.c_str());
  TRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::ifstream in(dir / "out.txt");
  std::ostringstream text;
  text << in.rdbuf();
  run.out = text.str();
  return run;
}

// Imports `scene` into `dir`/level and checks it against the demo game folder's player model.
void ImportAndCheck(const fs::path& scene, const fs::path& dir) {
  const TRun import = QvTool("import '" + scene.string() + "' level", dir);
  ASSERT_EQ(import.exitCode, 0) << import.out;
  const TRun check = QvTool("check level --game-dir '" + std::string(QV_BUILD_DIR) + "'", dir);
  EXPECT_EQ(check.exitCode, 0) << check.out;
  EXPECT_NE(check.out.find("0 error(s)"), std::string::npos) << check.out;
}

// Mesh name -> face count, as the game's reader sees the file.
std::map<std::string, size_t> Faces(const fs::path& file) {
  std::map<std::string, size_t> faces;
  TFile3DS model(file);
  for (int i = 0; i < model.ObjectList().MeshCount(); ++i) {
    const TMesh3DS& mesh = *model.ObjectList().MeshItem(i);
    faces[mesh.name] += mesh.faces.size();
  }
  return faces;
}

// The arena as FBX, written by the loader's own exporter from the OBJ (its FBX writer keeps no
// custom properties, and this version reads neither its binary FBX nor embedded images back).
fs::path ArenaFbx(const fs::path& dir) {
  for (const char* image : {"crate.png", "sky.png"}) fs::copy_file(kArena / image, dir / image);
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile((kArena / "arena.obj").string(), 0);
  EXPECT_NE(scene, nullptr) << importer.GetErrorString();
  Assimp::Exporter exporter;
  EXPECT_EQ(exporter.Export(scene, "fbxa", (dir / "arena.fbx").string()), AI_SUCCESS)
      << exporter.GetErrorString();
  return dir / "arena.fbx";
}

TEST(ImportCommand, TheArenaBecomesTheSameLevelInEveryFormat) {
  test::TempDir glb, obj, fbx;
  ImportAndCheck(kArena / "arena.glb", glb.Path());
  ImportAndCheck(kArena / "arena.obj", obj.Path());
  ImportAndCheck(ArenaFbx(fbx.Path()), fbx.Path());

  // The same meshes with the same triangles; the sky in its own file; the textures alike.
  const auto level = Faces(glb.Path() / "level/Objects.3DS");
  EXPECT_EQ(level.size(), 12u);
  EXPECT_EQ(level.at("terFloor"), 2048u);
  EXPECT_EQ(level.count("colGardenF"), 1u);  // 10 characters, "col" kept
  for (const fs::path& other : {obj.Path(), fbx.Path()}) {
    EXPECT_EQ(Faces(other / "level/Objects.3DS"), level) << other;
    EXPECT_EQ(Faces(other / "level/SkyBox.3DS"), Faces(glb.Path() / "level/SkyBox.3DS"));
    for (const char* tga : {"crate.tga", "sky.tga"}) {
      TTgaData ours, theirs;
      ASSERT_EQ(LoadTGA((glb.Path() / "level" / tga).string(), ours), tgaOk) << tga;
      ASSERT_EQ(LoadTGA((other / "level" / tga).string(), theirs), tgaOk) << other / tga;
      EXPECT_EQ(ours.Pixels, theirs.Pixels) << tga;
    }
  }

  // Only the glTF carries the markers: the player's start and three ghosts, as the scene's
  // README places them (the ghosts float their model's hover height above the marked ground).
  TIniFile ini(glb.Path() / "level/Level.ini");
  EXPECT_FLOAT_EQ(ini.ReadFloat("Player", "Startingzpos", 0), -22);
  EXPECT_FLOAT_EQ(ini.ReadFloat("Player", "Heading", 0), 180);
  struct Ghost {
    const char* section;
    const char* className;
    float x, z, heading;
  };
  for (const Ghost& g : {Ghost{"Casper", "TSearchGhostObject", -18, 8, 45},
                         Ghost{"Boo", "TSearchGhostObject", 20, -2, 90},
                         Ghost{"Hunter", "TDirectGhostObject", -4, 20, -120}}) {
    EXPECT_EQ(ini.ReadString(g.section, "classname", ""), g.className);
    EXPECT_EQ(ini.ReadString(g.section, "filename", ""), "spook.3ds");
    EXPECT_NEAR(ini.ReadFloat(g.section, "Initialxpos", 0), g.x, 1e-3);
    EXPECT_NEAR(ini.ReadFloat(g.section, "Initialzpos", 0), g.z, 1e-3);
    EXPECT_NEAR(ini.ReadFloat(g.section, "InitialHeading", 0), g.heading, 1e-3);
  }
  EXPECT_EQ(TIniFile(obj.Path() / "level/Level.ini").SectionNames().size(), 1u);
}

// A grid of quads, (n + 1)^2 vertices, in the OBJ's own words.
void WriteGrid(std::ostream& out, int n, float size, int firstVertex, float height = 0) {
  for (int z = 0; z <= n; ++z) {
    for (int x = 0; x <= n; ++x) {
      out << "v " << x * size / n - size / 2 << " " << height << " " << z * size / n - size / 2
          << "\n";
    }
  }
  for (int z = 0; z < n; ++z) {
    for (int x = 0; x < n; ++x) {
      const int a = firstVertex + z * (n + 1) + x;
      out << "f " << a << " " << a + n + 1 << " " << a + n + 2 << " " << a + 1 << "\n";
    }
  }
}

TEST(ImportCommand, AwkwardSceneComesOutWithinTheFormatsLimits) {
  test::TempDir dir;
  // 2 x 2 pixels: red, green / blue, white (top row first, as PNG stores it).
  const std::vector<std::uint8_t> rgba{255, 0, 0,   255, 0,   255, 0,   255,
                                       0,   0, 255, 255, 255, 255, 255, 255};
  ASSERT_TRUE(WritePngFile(dir.Path() / "CheckerBoard.png", 2, 2, rgba, TRowOrder::TopDown));
  std::ofstream(dir.Path() / "awkward.mtl")
      << "newmtl AVeryLongMaterialNameIndeed\nKd 0.5 0.5 0.5\nmap_Kd CheckerBoard.png\n"
         "newmtl AVeryLongMaterialNameToo\nKd 0.2 0.2 0.2\n"
         "newmtl ShinyCUBEMAPwithAVeryLongName\nKd 1 1 1\n";
  {
    std::ofstream obj(dir.Path() / "awkward.obj");
    obj << "mtllib awkward.mtl\n";
    obj << "o terRollingHillsFarAway\nusemtl AVeryLongMaterialNameIndeed\n";
    WriteGrid(obj, 260, 100, 1);  // 67,081 vertices, 135,200 triangles: split in three
    const int next = 1 + 261 * 261;
    obj << "o colTheLongestWallEver\nusemtl AVeryLongMaterialNameToo\n";
    WriteGrid(obj, 1, 2, next, 10);
    obj << "o colTheLongestWallEverAgain\nusemtl ShinyCUBEMAPwithAVeryLongName\n";
    WriteGrid(obj, 1, 2, next + 4, 10);
  }
  const TRun import = QvTool("import awkward.obj level", dir.Path());
  ASSERT_EQ(import.exitCode, 0) << import.out;
  for (const char* change :
       {"polygon(s) of more than three corners triangulated", "split into 3 meshes",
        "named \"colTheLo~2\"", "renamed", "z-up", "ambient colour", "written as CheckerB.tga"}) {
    EXPECT_NE(import.out.find(change), std::string::npos) << change << "\n" << import.out;
  }

  TFile3DS model(dir.Path() / "level/Objects.3DS");
  std::map<std::string, size_t> faces;
  for (int i = 0; i < model.ObjectList().MeshCount(); ++i) {
    const TMesh3DS& mesh = *model.ObjectList().MeshItem(i);
    EXPECT_LE(mesh.name.size(), 10u) << mesh.name;
    EXPECT_LE(mesh.vertices.size(), 65535u) << mesh.name;
    EXPECT_TRUE(faces.emplace(mesh.name, mesh.faces.size()).second) << mesh.name << " twice";
    EXPECT_FALSE(mesh.matGroups.empty()) << mesh.name;
  }
  EXPECT_EQ(faces, (std::map<std::string, size_t>{{"terRolling", 65535},
                                                  {"terRolli~2", 65535},
                                                  {"terRolli~3", 2 * 67600 - 2 * 65535},
                                                  {"colTheLong", 2},
                                                  {"colTheLo~2", 2}}));
  std::vector<std::string> materials;
  for (int i = 0; i < model.MaterialList().Count(); ++i) {
    const TMaterial3DS& m = *model.MaterialList().Item(i);
    EXPECT_LE(m.name.size(), 16u) << m.name;
    EXPECT_GT(m.ambient.r, 0) << m.name;
    materials.push_back(m.name);
  }
  EXPECT_NE(std::find(materials.begin(), materials.end(), "ShinywithCUBEMAP"), materials.end());

  // The PNG's pixels, bottom row first as the game reads them.
  TTgaData tga;
  ASSERT_EQ(LoadTGA((dir.Path() / "level/CheckerB.tga").string(), tga), tgaOk);
  EXPECT_EQ(tga.BitsPerPixel, 32);
  EXPECT_EQ(tga.Pixels, (std::vector<std::uint8_t>{255, 0, 0, 255, 255, 255, 255, 255,  // B G R A
                                                   0, 0, 255, 255, 0, 255, 0, 255}));
  const TRun check =
      QvTool("check level --game-dir '" + std::string(QV_BUILD_DIR) + "'", dir.Path());
  EXPECT_EQ(check.exitCode, 0) << check.out;

  // A mesh without material gets one the game draws. (The loader gives every OBJ object a
  // material once a .mtl is read, so this scene has none.)
  {
    std::ofstream bare(dir.Path() / "bare.obj");
    bare << "o Bare\n";
    WriteGrid(bare, 1, 2, 1);
  }
  const TRun bare = QvTool("import bare.obj plain", dir.Path());
  ASSERT_EQ(bare.exitCode, 0) << bare.out;
  EXPECT_NE(bare.out.find("mesh \"Bare\" has no material"), std::string::npos) << bare.out;
  TFile3DS plain(dir.Path() / "plain/Objects.3DS");
  ASSERT_EQ(plain.MaterialList().Count(), 1);
  EXPECT_EQ(plain.MaterialList().Item(0)->name, "Default");
  EXPECT_EQ(plain.ObjectList().MeshItem(0)->matGroups.at(0).name, "Default");
}

TEST(ImportCommand, BadScenesEndWithAnErrorNamingTheFile) {
  test::TempDir dir;
  std::ofstream(dir.Path() / "empty.glb").close();
  std::ofstream(dir.Path() / "bad.png") << "no image";
  const std::string obj = "o A\nusemtl M\nv 0 0 0\nv 1 0 0\nv 0 0 1\nf 1 2 3\n";
  std::ofstream(dir.Path() / "gone.obj") << "mtllib gone.mtl\n" << obj;
  std::ofstream(dir.Path() / "gone.mtl") << "newmtl M\nmap_Kd nothere.png\n";
  std::ofstream(dir.Path() / "bad.obj") << "mtllib bad.mtl\n" << obj;
  std::ofstream(dir.Path() / "bad.mtl") << "newmtl M\nmap_Kd bad.png\n";
  struct Case {
    const char* scene;
    const char* error;
  };
  for (const Case& c :
       {Case{"empty.glb", "error: empty.glb: cannot read the scene"},
        Case{"none.gltf", "error: none.gltf: no such file"},
        Case{"gone.obj", "error: gone.obj: material \"M\": nothere.png: cannot open"},
        Case{"bad.obj", "error: bad.obj: material \"M\": bad.png: cannot decode"}}) {
    const TRun run = QvTool(std::string("import ") + c.scene + " level", dir.Path());
    EXPECT_EQ(run.exitCode, 1) << c.scene;
    EXPECT_EQ(run.out.rfind(c.error, 0), 0u) << run.out;
  }
}

}  // namespace
}  // namespace qv
