#pragma once
// The log file: a plain-text trace of start-up, level loading, shut-down and every failure.
// Each Log call opens the file, appends one line, flushes and closes it, so the file on disk is
// complete after every line. Failures never escape: a line that cannot be written is lost and the
// failure is shown in an error box (standard error when dialogs are off), and the program goes on.

#include <filesystem>
#include <string_view>

namespace qv {

class TLogFile {
 public:
  // Creates or truncates the file, then writes the header line.
  explicit TLogFile(std::filesystem::path fileName);

  // Appends "<short date> <long time>   <message>" and CR LF.
  void Log(std::string_view message);

  const std::filesystem::path& FileName() const { return fileName_; }

 private:
  std::filesystem::path fileName_;
};

// The one global log, on "log.txt" in the current directory, created before main runs its code.
TLogFile& GlobalLog();

}  // namespace qv
