// The game as the player meets it: a level switch (the old world freed, the new one loaded, every
// GL resource rebuilt) cold, with the partition tree built and saved, and warm, with the tree read
// back from its file; and one frame (GLDraw and the buffer swap) at 800 x 600. Both for the
// showcase and the stress level of the demo data, each named as level 2 by a settings file of its
// own. Needs a display: scripts/bench.sh runs it under scripts/with-xvfb.sh.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "assets/DemoContent.h"
#include "shell/GLApplication.h"
#include "shell/MyGLWindow.h"
#include "shell/StartUp.h"

namespace {

namespace fs = std::filesystem;

// The demo data in a folder of the benchmark's own, which is the current directory from then on
// (level folders and the player's model are found relative to it).
const fs::path& DemoFolder() {
  static const fs::path folder = [] {
    const fs::path dir = fs::temp_directory_path() / "qv-bench-gameframe";
    qv::assets::WriteDemoContent(dir);
    fs::current_path(dir);
    qv::StartUp();
    return dir;
  }();
  return folder;
}

// The settings file that makes `levelFolder` level 2.
fs::path SettingsFor(const std::string& levelFolder) {
  const fs::path file = DemoFolder() / (levelFolder + ".ini");
  // Every other setting keeps its default: fog, lighting, textures, blending and the frame line
  // on, vertex arrays rather than display lists. A visible cursor, since nobody steers.
  std::ofstream(file) << "[Window]\nMouseCapture=0\n[Levels]\nA=levels\\Tiny\\\n"
                         "B=levels\\Tiny\\\nC=levels\\"
                      << levelFolder << "\\\n";
  return file;
}

// A window, its context and the game window on level 2, ready to draw, torn down in order.
class Game {
 public:
  explicit Game(const std::string& levelFolder) : level_(DemoFolder() / "levels" / levelFolder) {
    app_.CreateGLWindow();
    window_ = std::make_unique<qv::TMyGLWindow>(app_, SettingsFor(levelFolder));
    window_->GLLoad();
    app_.SetViewport(app_.Width, app_.Height);
    window_->GLResize();
  }
  ~Game() {
    window_->GLStore();
    window_.reset();
    app_.KillGLWindow();
  }
  qv::TMyGLWindow& Window() { return *window_; }
  void Swap() { app_.DC->SwapBuffers(); }
  void ForgetTree() const { fs::remove(level_ / "bop"); }

 private:
  fs::path level_;
  qv::TGLApplication app_;
  std::unique_ptr<qv::TMyGLWindow> window_;
};

void LevelSwitch(benchmark::State& state, const char* levelFolder, bool cold) {
  Game game(levelFolder);
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      game.ForgetTree();
      state.ResumeTiming();
    }
    game.Window().LoadLevel(2, true);
  }
  state.SetLabel(cold ? "tree built" : "tree reloaded");
}

void Frame(benchmark::State& state, const char* levelFolder) {
  Game game(levelFolder);
  for (int i = 0; i < 30; ++i) game.Window().GLDraw();  // reflections and visible lists settle
  for (auto _ : state) {
    game.Window().GLDraw();
    game.Swap();
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Wall-clock time: Mesa's software renderer draws on threads of its own, which the process's CPU
// time of the benchmark thread would miss.
BENCHMARK_CAPTURE(LevelSwitch, Showcase_cold, "Showcase", true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(LevelSwitch, Showcase_warm, "Showcase", false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(LevelSwitch, Stress_cold, "Stress", true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(LevelSwitch, Stress_warm, "Stress", false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Frame, Showcase, "Showcase")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Frame, Stress, "Stress")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
