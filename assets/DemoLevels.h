#pragma once
// The builders of the individual parts of the demo data set (used by DemoContent.cpp).

#include <string>
#include <vector>

#include "assets/DemoContent.h"
#include "assets/DemoModel.h"
#include "scene/TgaWriter.h"

namespace qv::assets {

// Collects files for the data set.
class TDemoFiles {
 public:
  void AddBytes(const std::string& path, std::vector<std::uint8_t> bytes);
  void AddModel(const std::string& path, const TDemoModel& model);
  void AddTexture(const std::string& path, const TTgaImage& image);
  void AddText(const std::string& path, const std::string& text);
  std::vector<TDemoFile> Take() { return std::move(Files); }

 private:
  std::vector<TDemoFile> Files;
};

// Writes ini text the way the game's files were written on Windows: CR LF line ends.
class TIniText {
 public:
  TIniText& Comment(const std::string& text);
  TIniText& Section(const std::string& name);
  TIniText& Key(const std::string& key, const std::string& value);
  TIniText& Key(const std::string& key, const char* value) { return Key(key, std::string(value)); }
  TIniText& Key(const std::string& key, float value);
  TIniText& Key(const std::string& key, int value);
  const std::string& Text() const { return Out; }

 private:
  std::string Out;
};

// Shortest text that reads back as the same float, "." as decimal separator.
std::string FloatText(float value);

void AddSettings(TDemoFiles& files);
void AddSharedObjects(TDemoFiles& files);
void AddMeadowLevel(TDemoFiles& files);
void AddTinyLevel(TDemoFiles& files);
void AddShowcaseLevel(TDemoFiles& files);
void AddStressLevel(TDemoFiles& files);

}  // namespace qv::assets
