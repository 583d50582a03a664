#include "platform/LogFile.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>

namespace qv {

namespace {

// "<short date> <long time>", the time part left out at exactly midnight.
std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
  std::strftime(text, sizeof text, midnight ? "%x" : "%x %X", &local);
  return text;
}

void ReportWriteFailure(const std::filesystem::path& fileName) {
  std::cerr << "Error: cannot write the log file " << fileName << "\n";
}

}  // namespace

TLogFile::TLogFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {
  {
    std::ofstream file(fileName_, std::ios::binary | std::ios::trunc);
    if (!file) ReportWriteFailure(fileName_);
  }
  Log("*************new logfile start logging****************");
}

void TLogFile::Log(std::string_view message) {
  std::ofstream file(fileName_, std::ios::binary | std::ios::app);
  if (file) file << TimeStamp() << "   " << message << "\r\n" << std::flush;
  if (!file) ReportWriteFailure(fileName_);
}

TLogFile& GlobalLog() {
  static TLogFile log("log.txt");
  return log;
}

}  // namespace qv
