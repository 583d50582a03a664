#include "platform/LogFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace qv {

namespace {

// The box the runtime shows for an input/output failure it cannot pass on: exception class,
// module and message. (There is no useful code address to show on this platform.)
void ReportFailure(const char* action, const std::filesystem::path& fileName, int error) {
  const std::string module = ExecutablePath().filename().string();
  ShowMessageBox("Application Error",
                 "Exception EInOutError in module " + (module.empty() ? "?" : module) + ". " +
                     "I/O error " + std::to_string(error) + " " + action + " " + fileName.string() +
                     ": " + std::strerror(error) + ".",
                 TMessageIcon::Error);
}

// One fopen-write-flush-close cycle; errno of the first failing step, 0 on success.
int WriteFile(const std::filesystem::path& fileName, const char* mode, std::string_view text) {
  errno = 0;
  std::FILE* file = std::fopen(fileName.c_str(), mode);
  if (!file) return errno ? errno : EIO;
  int error = 0;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size())
    error = errno ? errno : EIO;
  if (std::fflush(file) != 0 && !error) error = errno ? errno : EIO;
  if (std::fclose(file) != 0 && !error) error = errno ? errno : EIO;
  return error;
}

}  // namespace

std::string LogTimeStamp(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  char text[64];
  const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
  std::strftime(text, sizeof text, midnight ? "%x" : "%x %X", &local);
  return text;
}

TLogFile::TLogFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) { Start(); }

void TLogFile::Restart(std::filesystem::path fileName) {
  fileName_ = std::move(fileName);
  Start();
}

void TLogFile::Start() {
  if (fileName_.empty()) return;
  if (const int error = WriteFile(fileName_, "wb", {})) ReportFailure("creating", fileName_, error);
  Log(kLogHeader);
}

void TLogFile::Log(std::string_view message) {
  if (fileName_.empty()) return;
  std::string line = LogTimeStamp(std::time(nullptr));
  line += "   ";
  line += message;
  line += "\r\n";
  if (const int error = WriteFile(fileName_, "ab", line))
    ReportFailure("writing", fileName_, error);
}

namespace {

// Both are used during module start-up, so neither may wait for this file's dynamic initialisation.
std::filesystem::path& GlobalLogName() {
  static std::filesystem::path name = "log.txt";  // the global log's file at its first use
  return name;
}
bool globalLogMade = false;  // constant-initialised

}  // namespace

TLogFile& GlobalLog() {
  static TLogFile log(GlobalLogName());
  globalLogMade = true;
  return log;
}

void SetGlobalLogFile(std::filesystem::path fileName) {
  if (globalLogMade)
    GlobalLog().Restart(std::move(fileName));
  else
    GlobalLogName() = std::move(fileName);
}

}  // namespace qv
