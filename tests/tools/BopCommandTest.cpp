// `qv-tool bop` as a process: build on the first run, reload on the second, rebuild after the
// model changes, --describe, and the error and usage exits.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "models/Writer3DS.h"
#include "tests/support/TempDir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs `qv-tool ARGS` in `dir`.
TRun Tool(const std::string& args, const test::TempDir& dir) {
  const fs::path tool = fs::path(QV_BUILD_DIR) / "qv-tool";
  TRun run;
  if (!fs::exists(tool)) {
    ADD_FAILURE() << "qv-tool is not built in " << QV_BUILD_DIR;
    return run;
  }
  const std::string command =
      "cd '" + dir.Path().string() + "' && '" + tool.string() + "' " + args + " >out 2>err";
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = Slurp(dir.Path() / "out");
  run.err = Slurp(dir.Path() / "err");
  return run;
}

TRun Bop(const std::string& args, const test::TempDir& dir) { return Tool("bop " + args, dir); }

// Three triangles along x, apart from each other.
void WriteModel(const fs::path& file) {
  TWriter3DS writer;
  for (int i = 0; i < 3; ++i) {
    TMesh3DS mesh;
    mesh.name = std::string(1, static_cast<char>('a' + i));
    const float x = 10.0f * i;
    mesh.vertices = {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 1}};
    mesh.faces = {{0, 1, 2, 0}};
    writer.AddMesh(mesh);
  }
  writer.Save(file);
}

TEST(BopCommand, BuildsThenReloadsThenRebuildsAfterTheModelChanges) {
  test::TempDir dir;
  WriteModel(dir.Path() / "Objects.3DS");
  // The file system's clock is coarse: a tree file written right after the model could carry the
  // model's own time, and an equal time is not newer.
  fs::last_write_time(dir.Path() / "Objects.3DS",
                      fs::file_time_type::clock::now() - std::chrono::hours(1));
  const std::regex line(
      R"(objects=3 tree=(built|reloaded) ms=[0-9]+\.[0-9]{3} avg_depth=1\.66667 ideal=1\.58496\n)");

  const TRun first = Bop("Objects.3DS", dir);
  EXPECT_EQ(first.exitCode, 0) << first.err;
  std::smatch match;
  ASSERT_TRUE(std::regex_match(first.out, match, line)) << first.out;
  EXPECT_EQ(match[1], "built");
  const std::string saved = Slurp(dir.Path() / "bop");
  // {a, b} | {c} on x (the middle split is clean), then a | b on y, where they are closest.
  EXPECT_EQ(saved, "X\r\nY\r\n0\r\n1\r\n2\r\n");

  const TRun second = Bop("Objects.3DS --describe", dir);
  EXPECT_EQ(second.exitCode, 0) << second.err;
  const std::string head = second.out.substr(0, second.out.find('\n') + 1);
  ASSERT_TRUE(std::regex_match(head, match, line)) << second.out;
  EXPECT_EQ(match[1], "reloaded");
  EXPECT_EQ(second.out.substr(head.size()), "X{s:Y{s:a,b:b}\r\n,b:c}\r\n");

  // A model written after the tree file: the file is not trusted any more.
  fs::last_write_time(dir.Path() / "Objects.3DS",
                      fs::last_write_time(dir.Path() / "bop") + std::chrono::seconds(2));
  const TRun third = Bop("Objects.3DS", dir);
  ASSERT_TRUE(std::regex_match(third.out, match, line)) << third.out;
  EXPECT_EQ(match[1], "built");
}

TEST(BopCommand, BadFileAndBadArgumentsExitWithAnError) {
  test::TempDir dir;
  std::ofstream(dir.Path() / "empty.3ds").close();
  const TRun empty = Bop("empty.3ds", dir);
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(empty.err.rfind("error: empty.3ds: ", 0), 0u) << empty.err;
  EXPECT_FALSE(fs::exists(dir.Path() / "bop"));

  // A model without meshes has nothing to build a tree over.
  TWriter3DS nothing;
  nothing.Save(dir.Path() / "none.3ds");
  const TRun none = Bop("none.3ds", dir);
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("none.3ds: holds no meshes"), std::string::npos) << none.err;

  EXPECT_EQ(Bop("", dir).exitCode, 2);
  EXPECT_EQ(Bop("a.3ds b.3ds", dir).exitCode, 2);
  EXPECT_EQ(Bop("a.3ds --tree", dir).exitCode, 2);
}

// Level authors run the tool in the game's folder: the game's log stays as it was, and a log is
// written only where --log says.
TEST(BopCommand, WritesNoLogUnlessAskedAndSurvivesAnUnwritableTreeFile) {
  test::TempDir dir;
  WriteModel(dir.Path() / "Objects.3DS");
  // As above: older than any tree file written below.
  fs::last_write_time(dir.Path() / "Objects.3DS",
                      fs::file_time_type::clock::now() - std::chrono::hours(1));
  std::ofstream(dir.Path() / "log.txt", std::ios::binary) << "the game's log\r\n";
  EXPECT_EQ(Bop("Objects.3DS", dir).exitCode, 0);
  EXPECT_EQ(Tool("--log tool.txt bop Objects.3DS", dir).exitCode, 0);
  EXPECT_EQ(Slurp(dir.Path() / "log.txt"), "the game's log\r\n");
  const std::string log = Slurp(dir.Path() / "tool.txt");
  EXPECT_NE(log.find("reload time:"), std::string::npos) << log;
  EXPECT_EQ(Tool("--log", dir).exitCode, 2);

  // The game goes on without a tree file; the tool that exists to write it fails.
  fs::remove(dir.Path() / "bop");
  fs::create_directories(dir.Path() / "bop" / "in the way");
  const TRun blocked = Bop("Objects.3DS", dir);
  EXPECT_EQ(blocked.exitCode, 1);
  EXPECT_EQ(blocked.out.rfind("objects=3 tree=built", 0), 0u) << blocked.out;
  EXPECT_EQ(blocked.err.rfind("error: Objects.3DS: cannot replace tree file", 0), 0u)
      << blocked.err;
  EXPECT_EQ(Slurp(dir.Path() / "log.txt"), "the game's log\r\n");
}

}  // namespace
}  // namespace qv
