#include "tests/support/ProgramFolder.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "assets/DemoContent.h"
#include "tests/support/ScopedLog.h"

namespace qv::test {

namespace fs = std::filesystem;

namespace {

const fs::path kProgram = fs::path(QV_BUILD_DIR) / "quorvantille";

// Made once per test program: building the data set costs more than writing it.
const std::vector<assets::TDemoFile>& DemoFiles() {
  static const std::vector<assets::TDemoFile> files = assets::BuildDemoFiles();
  return files;
}

}  // namespace

ProgramFolder::ProgramFolder(Data data) {
  if (!fs::exists(kProgram)) throw std::runtime_error("build the quorvantille target first");
  // A hard link where the file system allows one; /proc/self/exe then names the link.
  std::error_code error;
  fs::create_hard_link(kProgram, Path() / "quorvantille", error);
  if (error) fs::copy_file(kProgram, Path() / "quorvantille");
  for (const assets::TDemoFile& file : DemoFiles()) {
    if (data == Data::Demo && file.Path.starts_with("levels/Stress/")) continue;
    const fs::path target = Path() / file.Path;
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.Bytes.data()),
               static_cast<std::streamsize>(file.Bytes.size()));
  }
}

void ProgramFolder::Write(const fs::path& relative, const std::string& text) const {
  fs::create_directories((Path() / relative).parent_path());
  std::ofstream(Path() / relative, std::ios::binary) << text;
}

ProgramOutcome ProgramFolder::Run(const std::string& env, const std::string& shellAfter) const {
  const std::string command = "cd '" + Path().string() + "' || exit 99; env " + env +
                              " QV_NO_DIALOGS=1 ./quorvantille 2>stderr.txt & pid=$!; { " +
                              shellAfter + "; } >script.txt";
  const int status = std::system(command.c_str());
  ProgramOutcome outcome;
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.log = LogMessages(Path() / "log.txt");
  outcome.err = ReadText(Path() / "stderr.txt");
  return outcome;
}

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace qv::test
