// The real quorvantille program driven by real X input events (xdotool through XTEST), seen from
// outside: its window's pixels are read back from the X server between the inputs, so a turn and
// a walk show as changed pictures while an idle pause does not.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ProgramFolder.h"
#include "tests/support/ScopedLog.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

namespace fs = std::filesystem;
using qv::test::ProgramFolder;

// The program, started from its folder, stopped by the test or killed when the test gives up.
class Running {
 public:
  explicit Running(const ProgramFolder& folder) {
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(folder.Path().c_str()) != 0) _exit(99);
      const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (err >= 0) dup2(err, 2);
      setenv("QV_NO_DIALOGS", "1", 1);
      unsetenv("QV_QUIT_AFTER_MS");
      execl("./quorvantille", "quorvantille", static_cast<char*>(nullptr));
      _exit(98);
    }
  }
  ~Running() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  int Pid() const { return pid_; }
  // The exit code, or -1 when the program has not ended within `seconds`.
  int Wait(double seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
};

// Standard output of a shell command, trailing newline removed.
std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

void Xdo(const std::string& args) {
  ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << "xdotool " << args;
}

// Waits until log.txt holds `count` lines that start with `prefix`; false after ten seconds.
bool AwaitLog(const fs::path& log, const std::string& prefix, int count = 1) {
  for (int i = 0; i < 200; ++i) {
    const auto lines = qv::test::LogMessages(log);
    if (std::count_if(lines.begin(), lines.end(),
                      [&](const std::string& line) { return line.starts_with(prefix); }) >= count)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The window's pixels as the X server holds them, 0x00RRGGBB per pixel.
std::vector<unsigned long> Grab(Display* display, Window window, int width, int height) {
  XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
  std::vector<unsigned long> pixels;
  if (!image) return pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
  XDestroyImage(image);
  return pixels;
}

// Share of the pixels whose colour moved by more than 16 in some channel, ignoring the bottom 30
// rows (the frame line changes with every frame).
double Changed(const std::vector<unsigned long>& a, const std::vector<unsigned long>& b, int width,
               int height) {
  if (a.size() != b.size() || a.empty()) return -1;
  int changed = 0;
  const int rows = height - 30;
  for (int i = 0; i < width * rows; ++i) {
    bool moved = false;
    for (int shift : {0, 8, 16}) {
      const long ca = (a[i] >> shift) & 0xFF, cb = (b[i] >> shift) & 0xFF;
      moved = moved || std::abs(ca - cb) > 16;
    }
    changed += moved;
  }
  return static_cast<double>(changed) / (width * rows);
}

TEST(ProgramInputTest, TheMouseTurnsTheArrowsWalkADigitSwitchesTheLevelAndEscapeEnds) {
  if (std::system("command -v xdotool >/dev/null") != 0)
    GTEST_FAIL() << "xdotool is missing (scripts/install-deps.sh installs it)";
  const std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr),
                                                               XCloseDisplay);
  Display* display = connection.get();
  ASSERT_NE(display, nullptr) << "no X display";
  const ProgramFolder folder;
  const fs::path log = folder.Path() / "log.txt";
  Running program(folder);
  ASSERT_TRUE(AwaitLog(log, "Font Nr")) << "the start level did not load";  // frames follow
  const std::string id = Shell("xdotool search --sync --onlyvisible --pid " +
                               std::to_string(program.Pid()) + " 2>/dev/null | head -n 1");
  ASSERT_FALSE(id.empty()) << "no window of the program";
  const Window window = std::stoul(id);
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
  const int w = attributes.width, h = attributes.height;
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);

  // Without a window manager the keyboard follows the pointer: bring the pointer in at the
  // centre, where the game put it, so entering the window turns nothing.
  Xdo("windowraise " + id);
  Xdo("mousemove --window " + id + " 400 300");
  Xdo("key 1");
  ASSERT_TRUE(AwaitLog(log, "Font Nr", 3)) << "the digit switched no level";
  Pause(1000);  // the player drops onto the floor and stands
  const auto settled = Grab(display, window, w, h);
  Pause(500);
  const auto idle = Grab(display, window, w, h);
  Xdo("keydown Up");
  Pause(1000);
  Xdo("keyup Up");
  Pause(500);
  const auto walked = Grab(display, window, w, h);
  Xdo("mousemove_relative -- 100 0");
  Pause(500);
  const auto turned = Grab(display, window, w, h);
  // Escape is polled while drawing: it must be held across a frame, as a hand would.
  Xdo("keydown Escape");
  Pause(300);
  Xdo("keyup Escape");
  const int exitCode = program.Wait(10);

  // A pause changes next to nothing; walking and turning change much of the picture.
  EXPECT_LT(Changed(settled, idle, w, h), 0.02);
  EXPECT_GT(Changed(idle, walked, w, h), 0.15);
  EXPECT_GT(Changed(walked, turned, w, h), 0.15);
  EXPECT_EQ(exitCode, 0) << qv::test::ReadText(folder.Path() / "stderr.txt");
  // The level and font lines in their order, font numbers left out.
  std::vector<std::string> story;
  for (const std::string& line : qv::test::LogMessages(log))
    if (line.starts_with("trying") || line.starts_with("  world") || line.starts_with("Font") ||
        line == "world.freed" || line == "end program")
      story.push_back(std::regex_replace(line, std::regex("Font Nr [0-9]+"), "Font Nr"));
  const std::vector<std::string> expected = {"trying to load level:2",
                                             "  world.created anew, loading level:2",
                                             "Font Nr",
                                             "trying to load level:1",
                                             "  world.created anew, loading level:1",
                                             "Font Nr deleted",
                                             "Font Nr",
                                             "Font Nr deleted",
                                             "world.freed",
                                             "end program"};
  EXPECT_EQ(story, expected);
}

}  // namespace
