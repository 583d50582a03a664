#pragma once
// The log file: a plain-text trace of start-up, level loading, shut-down and every failure.
// Each Log call opens the file, appends one line, flushes and closes it, so the file on disk is
// complete after every line, also when the process is killed. Failures never escape: a line that
// cannot be written is lost, the failure is shown at once in an error box captioned
// "Application Error" (standard error when dialogs are off, see platform/MessageBox.h) and the
// program goes on. A log that cannot be created thus shows one box at start and one per line.
//
// Line format: "<short date> <long time>   <message>" and CR LF, in the C locale's formats
// ("12/31/26 23:59:59"); the time part is left out at exactly midnight.

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

class TLogFile {
 public:
  // Creates or truncates the file, then writes the header line. An empty name logs nowhere.
  explicit TLogFile(std::filesystem::path fileName);

  // Appends one line.
  void Log(std::string_view message);

  // Points the log at another file and starts it as the constructor does. The program never
  // calls it; tests use it to give the global log a file of their own.
  void Restart(std::filesystem::path fileName);

  const std::filesystem::path& FileName() const { return fileName_; }

 private:
  void Start();
  std::filesystem::path fileName_;
};

// The header line every log starts with.
inline constexpr std::string_view kLogHeader =
    "*************new logfile start logging****************";

// The time stamp that starts a line, for the local time `time`.
std::string LogTimeStamp(std::time_t time);

// The one global log, on "log.txt" in the current directory. The game's entry point touches it
// before anything else runs, so it is created first and truncated at every start.
TLogFile& GlobalLog();

// Chooses the global log's file before anything has logged (an empty name: no file at all), so a
// program other than the game - the tools, run in a game folder - leaves that folder's log.txt
// alone. After the first use it restarts the log as Restart does.
void SetGlobalLogFile(std::filesystem::path fileName);

}  // namespace qv
