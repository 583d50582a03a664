#pragma once
// What the peer-engine programs share: the camera poses and ghost places of a game trace, the
// model files of a level folder, the .3ds texture names (the engines look for the names as
// stored; the level ships them as .tga), the timing and the one result line.
//
//   frames=<n> mean_ms=<f> p99_ms=<f> load_ms=<f>
//
// load_ms runs from the first file read to the end of the first frame drawn (the engines build
// their GL objects there); mean and p99 (nearest rank) are over the frames after it.
// Header-only and free of engine headers, so each program stays one file.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace peer {

struct Pose {
  float x = 0, y = 0, z = 0;  // world units, y up (the game's axes)
  float heading = 0;          // degrees about y, 0 looks along -z
  float tilt = 0;             // degrees about x
};

struct Frame {
  Pose eye;                  // the player's pose, eye height already added
  std::vector<Pose> ghosts;  // in level-file order
};

struct Options {
  std::filesystem::path gameDir;  // holds objects/ and the level folders
  std::filesystem::path level;    // level folder, relative to gameDir
  std::filesystem::path trace;    // the game's --trace output
  int levelNumber = 0;            // only trace frames of this level are drawn
  float eyeHeight = 0.75f;        // the game's standing eye height over the player's origin
  float zNear = 0.5f;
  int width = 800, height = 600;
  std::string shotFile;  // optional: the frame `shotFrame` (1-based, of the drawn ones) as PPM
  int shotFrame = 0;
};

[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "error: %s\n", what.c_str());
  std::exit(1);
}

inline Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i], value = argv[i + 1];
    if (key == "--game-dir")
      o.gameDir = value;
    else if (key == "--level")
      o.level = value;
    else if (key == "--trace")
      o.trace = value;
    else if (key == "--level-number")
      o.levelNumber = std::atoi(value.c_str());
    else if (key == "--eye-height")
      o.eyeHeight = std::strtof(value.c_str(), nullptr);
    else if (key == "--near")
      o.zNear = std::strtof(value.c_str(), nullptr);
    else if (key == "--shot")
      o.shotFile = value;
    else if (key == "--shot-frame")
      o.shotFrame = std::atoi(value.c_str());
    else
      Fail("unknown option " + key);
  }
  if (o.gameDir.empty() || o.level.empty() || o.trace.empty())
    Fail(
        "usage: --game-dir DIR --level DIR --trace FILE --level-number N [--eye-height H] "
        "[--near N] [--shot FILE --shot-frame N]");
  return o;
}

// The numbers following `key` in `text` from `from` on; `from` moves past them.
inline std::vector<float> NumbersAfter(const std::string& text, const std::string& key,
                                       std::size_t& from, int count) {
  const std::size_t at = text.find(key, from);
  if (at == std::string::npos) Fail("trace: no " + key);
  const char* p = text.c_str() + at + key.size();
  std::vector<float> out;
  for (int i = 0; i < count; ++i) {
    while (*p == '[' || *p == ',' || *p == ' ') ++p;
    char* end = nullptr;
    out.push_back(std::strtof(p, &end));
    if (end == p) Fail("trace: unreadable number after " + key);
    p = end;
  }
  from = static_cast<std::size_t>(p - text.c_str());
  return out;
}

inline std::vector<Frame> ReadTrace(const Options& o) {
  std::ifstream in(o.trace);
  if (!in) Fail(o.trace.string() + ": cannot be read");
  std::vector<Frame> frames;
  std::string line;
  while (std::getline(in, line)) {
    std::size_t at = 0;
    if (static_cast<int>(NumbersAfter(line, "\"level\":", at, 1)[0]) != o.levelNumber) continue;
    at = line.find("\"actors\":");
    Frame frame;
    for (bool player = true;; player = false) {
      if (line.find("\"pos\":", at) == std::string::npos) break;
      const auto pos = NumbersAfter(line, "\"pos\":", at, 3);
      const float heading = NumbersAfter(line, "\"heading\":", at, 1)[0];
      const float tilt = NumbersAfter(line, "\"tilt\":", at, 1)[0];
      const Pose pose{pos[0], pos[1], pos[2], heading, tilt};
      if (player) {
        frame.eye = pose;
        frame.eye.y += o.eyeHeight;
      } else {
        frame.ghosts.push_back(pose);
      }
    }
    frames.push_back(std::move(frame));
  }
  if (frames.empty())
    Fail(o.trace.string() + ": no frame of level " + std::to_string(o.levelNumber));
  return frames;
}

// Level.ini, as far as the benchmark needs it: fog, and the ghosts' model files in file order.
struct Level {
  float fogStart = 50, fogEnd = 1000;
  float fogColor[3] = {0.6f, 0.6f, 0.6f};
  std::filesystem::path objects, sky;  // sky empty: none
  std::vector<std::filesystem::path> ghostModels;
};

inline std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

inline std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

inline Level ReadLevel(const Options& o) {
  const std::filesystem::path dir = o.gameDir / o.level;
  std::ifstream in(dir / "Level.ini");
  if (!in) Fail((dir / "Level.ini").string() + ": cannot be read");
  Level level;
  std::string line, section;
  std::map<std::string, bool> seen;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Lower(Trim(line.substr(0, eq))), value = Trim(line.substr(eq + 1));
    if (Lower(section) == "player") {
      const float f = std::strtof(value.c_str(), nullptr);
      if (key == "fogstart") level.fogStart = f;
      if (key == "fogend") level.fogEnd = f;
      if (key == "fogcolorr") level.fogColor[0] = f;
      if (key == "fogcolorg") level.fogColor[1] = f;
      if (key == "fogcolorb") level.fogColor[2] = f;
    } else if (key == "filename" && !value.empty() && !seen[section]) {
      seen[section] = true;
      std::string file = value;
      std::replace(file.begin(), file.end(), '\\', '/');
      level.ghostModels.push_back(dir / file);
    }
  }
  level.objects = dir / "Objects.3DS";
  if (std::filesystem::exists(dir / "SkyBox.3DS"))
    level.sky = dir / "SkyBox.3DS";
  else if (std::filesystem::exists(o.gameDir / "objects/SkyBox.3DS"))
    level.sky = o.gameDir / "objects/SkyBox.3DS";
  return level;
}

// The texture map names a .3ds file stores (chunk 0xA300 inside a material's map).
inline std::vector<std::string> TextureNames(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> names;
  const auto walk = [&](auto& self, std::size_t from, std::size_t to) -> void {
    while (from + 6 <= to) {
      std::uint16_t id;
      std::uint32_t length;
      std::memcpy(&id, bytes.data() + from, 2);
      std::memcpy(&length, bytes.data() + from + 2, 4);
      if (length < 6 || from + length > to) return;
      if (id == 0x4D4D || id == 0x3D3D || id == 0xAFFF || (id >= 0xA200 && id <= 0xA220))
        self(self, from + 6, from + length);
      else if (id == 0xA300)
        names.emplace_back(bytes.c_str() + from + 6);
      from += length;
    }
  };
  walk(walk, 0, bytes.size());
  return names;
}

// The level ships every texture as <stem>.tga beside the model.
inline std::filesystem::path ShippedTexture(const std::filesystem::path& model,
                                            const std::string& storedName) {
  std::string name = storedName;
  std::replace(name.begin(), name.end(), '\\', '/');
  return model.parent_path() / std::filesystem::path(name).filename().replace_extension(".tga");
}

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline void PrintResult(double loadMs, std::vector<double> frameMs) {
  if (frameMs.empty()) Fail("no frame after the first");
  double sum = 0;
  for (double ms : frameMs) sum += ms;
  std::sort(frameMs.begin(), frameMs.end());
  const auto rank = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(frameMs.size())));
  std::printf("frames=%zu mean_ms=%.3f p99_ms=%.3f load_ms=%.1f\n", frameMs.size() + 1,
              sum / static_cast<double>(frameMs.size()),
              frameMs[std::max<std::size_t>(rank, 1) - 1], loadMs);
}

// 8-bit RGB rows, bottom row first (as glReadPixels gives them), written as a binary PPM.
inline void WritePpm(const std::string& file, int width, int height, const unsigned char* rgb) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  for (int row = height - 1; row >= 0; --row)
    out.write(reinterpret_cast<const char*>(rgb + static_cast<std::size_t>(row) * width * 3),
              width * 3);
}

}  // namespace peer
