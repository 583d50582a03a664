#include "tests/support/ScopedLog.h"

#include <fstream>

#include "platform/LogFile.h"

namespace qv::test {

ScopedLog::ScopedLog() { GlobalLog().Restart(dir_.Path() / "log.txt"); }

ScopedLog::~ScopedLog() { GlobalLog().Restart("log.txt"); }

std::vector<std::string> ScopedLog::Messages() const {
  return LogMessages(dir_.Path() / "log.txt");
}

std::vector<std::string> LogMessages(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> messages;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t at = line.find("   ");
    messages.push_back(at == std::string::npos ? line : line.substr(at + 3));
  }
  return messages;
}

BoxRecorder::BoxRecorder(TAnswer answer) {
  SetMessageBoxHook([this, answer](std::string_view caption, std::string_view text) {
    texts.push_back(std::string(caption) + "|" + std::string(text));
    return answer;
  });
}

BoxRecorder::~BoxRecorder() { SetMessageBoxHook({}); }

}  // namespace qv::test
