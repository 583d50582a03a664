// `qv-tool info` as a process: listing, JSON form, exit codes and error text. Runs the built
// qv-tool binary from the build folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "models/Writer3DS.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

struct TRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TRun QvTool(const std::string& args, const test::TempDir& dir) {
  const std::filesystem::path tool = std::filesystem::path(QV_BUILD_DIR) / "qv-tool";
  TRun run;
  if (!std::filesystem::exists(tool)) {
    ADD_FAILURE() << "qv-tool is not built in " << QV_BUILD_DIR;
    return run;
  }
  const std::string command = tool.string() + " " + args + " >" + (dir.Path() / "out").string() +
                              " 2>" + (dir.Path() / "err").string();
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = Slurp(dir.Path() / "out");
  run.err = Slurp(dir.Path() / "err");
  return run;
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

TEST(InfoCommand, ListsMeshesThenMaterials) {
  test::TempDir dir;
  TMesh3DS mesh;
  mesh.name = "col \"Wall\"";
  mesh.hidden = true;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  mesh.texVerts = {{0, 0}};
  mesh.faces = {{0, 1, 2, 0}};
  mesh.matGroups = {{"Brick", {0}}, {"Brick", {}}};
  TMaterial3DS brick;
  brick.name = "Brick";
  brick.texture.map.name = "BRICK.TGA";
  TWriter3DS writer;
  writer.AddMesh(mesh);
  writer.AddMaterial(brick);
  const auto file = dir.Path() / "wall.3ds";
  writer.Save(file);

  const TRun text = QvTool("info " + Quoted(file), dir);
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out,
            "mesh col \"Wall\" vertices=3 faces=1 texcoords=1 groups=2 hidden=1\n"
            "material Brick texture=BRICK.TGA\n");
  EXPECT_EQ(text.err, "");

  const TRun json = QvTool("info --json " + Quoted(file), dir);
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"meshes\":[\n"
            "{\"name\":\"col \\\"Wall\\\"\",\"vertices\":3,\"faces\":1,\"texcoords\":1,"
            "\"groups\":2,\"hidden\":true}],\"materials\":[\n"
            "{\"name\":\"Brick\",\"texture\":\"BRICK.TGA\"}]}\n");
}

TEST(InfoCommand, BadInputEndsWithAnErrorLineAndExitCode) {
  test::TempDir dir;
  const auto empty = std::filesystem::path(QV_CORPUS_DIR) / "3ds" / "empty.3ds";
  const TRun e = QvTool("info " + Quoted(empty), dir);
  EXPECT_EQ(e.exitCode, 1);
  EXPECT_EQ(e.out, "");
  EXPECT_EQ(e.err, "error: " + empty.string() + ": the file is empty\n");

  // A truncated real file: the root claims more bytes than there are.
  const std::string whole = Slurp(std::filesystem::path(QV_CORPUS_DIR) / "3ds" / "test1.3ds");
  const auto cut = dir.Path() / "cut.3ds";
  std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() / 2);
  const TRun t = QvTool("info --json " + Quoted(cut), dir);
  EXPECT_EQ(t.exitCode, 1);
  EXPECT_EQ(t.out, "");
  EXPECT_EQ(t.err.rfind("error: " + cut.string() + ": Chunk 0x4D4D at offset 0:", 0), 0u) << t.err;

  // Files of other kinds a level folder holds: refused, not listed as an empty model.
  for (const std::string& other : {std::string("[Player]\r\nHeading=0\r\n"),
                                   std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\30\0", 18)}) {
    const auto path = dir.Path() / "other.3ds";
    std::ofstream(path, std::ios::binary) << other;
    const TRun o = QvTool("info " + Quoted(path), dir);
    EXPECT_EQ(o.exitCode, 1) << o.out;
    EXPECT_EQ(o.err.rfind("error: " + path.string() + ": not a .3ds model file", 0), 0u) << o.err;
  }

  const TRun missing = QvTool("info " + Quoted(dir.Path() / "none.3ds"), dir);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("cannot open the file"), std::string::npos) << missing.err;

  EXPECT_EQ(QvTool("info", dir).exitCode, 2);
  EXPECT_EQ(QvTool("info a.3ds b.3ds", dir).exitCode, 2);
}

}  // namespace
}  // namespace qv
