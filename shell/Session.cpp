#include "shell/Session.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/Clock.h"
#include "platform/EGL.h"
#include "platform/Events.h"
#include "platform/LogFile.h"
#include "platform/Window.h"
#include "shell/FrameStats.h"
#include "shell/GLApplication.h"
#include "shell/MyGLWindow.h"
#include "shell/Screenshot.h"
#include "shell/TraceLine.h"

namespace qv {

namespace {

// Counts of a counter running at `frequency` as whole milliseconds, truncated, without overflow.
std::int64_t CountsToMs(std::int64_t counts, std::int64_t frequency) {
  return counts / frequency * 1000 + counts % frequency * 1000 / frequency;
}

double CountsToMsExact(std::int64_t counts) {
  return static_cast<double>(counts) * 1000.0 / static_cast<double>(SystemFrequency());
}

// The game window as the session sees it: the clock moves before a frame, the trace and the
// screenshots follow it.
class TSessionWindow : public TGLWindow {
 public:
  TSessionWindow(TGLApplication& app, std::unique_ptr<TMyGLWindow> game, TSession& session,
                 bool timedemo)
      : TGLWindow(app), game_(std::move(game)), session_(session), timedemo_(timedemo) {
    game_->SetPhaseClock(session_.PhaseClock());
  }

  bool GLLoad() override {
    const bool loaded = game_->GLLoad();
    if (timedemo_) SetSwapInterval(0);  // as fast as the machine draws, not as the screen shows
    session_.MarkClock();
    return loaded;
  }
  bool GLStore() override { return game_->GLStore(); }
  void GLResize() override { game_->GLResize(); }
  bool GLDraw() override {
    session_.BeginFrame();
    const bool goOn = game_->GLDraw();
    session_.EndFrame(*game_);
    return goOn;
  }

 private:
  std::unique_ptr<TMyGLWindow> game_;
  TSession& session_;
  bool timedemo_;
};

bool TakeValue(int argc, const char* const* argv, int& i, std::filesystem::path& value,
               std::string& error) {
  const std::string option = argv[i];
  if (!value.empty()) {
    error = option + " is given twice";
    return false;
  }
  if (i + 1 >= argc || argv[i + 1][0] == '\0') {
    error = option + " needs a file name";
    return false;
  }
  value = argv[++i];
  return true;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, TOptions& options, std::string& error) {
  options = TOptions{};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--record") {
      if (!TakeValue(argc, argv, i, options.Record, error)) return false;
    } else if (arg == "--replay") {
      if (!TakeValue(argc, argv, i, options.Replay, error)) return false;
    } else if (arg == "--trace") {
      if (!TakeValue(argc, argv, i, options.Trace, error)) return false;
    } else if (arg == "--frame-times") {
      if (!TakeValue(argc, argv, i, options.FrameTimes, error)) return false;
    } else if (arg == "--timedemo") {
      if (options.Timedemo) {
        error = "--timedemo is given twice";
        return false;
      }
      options.Timedemo = true;
    } else if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--version") {
      options.Version = true;
    } else {
      error = "unknown option \"" + arg + "\"";
      return false;
    }
  }
  if (!options.Record.empty() && !options.Replay.empty()) {
    error = "--record and --replay cannot be combined: a replay takes no live input";
  } else if (options.Timedemo && options.Replay.empty()) {
    error = "--timedemo needs --replay FILE";
  } else if (!options.FrameTimes.empty() && !options.Timedemo) {
    error = "--frame-times needs --timedemo";
  }
  return error.empty();
}

const char* UsageText() {
  return "usage: quorvantille [--record FILE | --replay FILE [--timedemo [--frame-times FILE]]]\n"
         "                    [--trace FILE] | --help | --version\n"
         "  --record FILE       write the input of this game to FILE\n"
         "  --replay FILE       play the input file FILE, then end\n"
         "  --timedemo          with --replay: draw as fast as possible and print frame "
         "statistics\n"
         "  --frame-times FILE  with --timedemo: write each real frame time (ms), one per line\n"
         "  --trace FILE        write one JSON line per frame: the game state and every actor\n"
         "  --version           print the version and end\n"
         "Without options the game starts as always.\n";
}

TSession::TSession(const TOptions& options) : options_(options) {
  if (!options_.Replay.empty()) {
    items_ = ReadInputFile(options_.Replay);
    for (const TInputItem& item : items_)
      if (item.kind == TInputKind::Seed) seeds_.push_back(static_cast<std::uint32_t>(item.a));
  }
  const auto create = [](std::ofstream& out, const std::filesystem::path& path) {
    out.open(path, std::ios::binary | std::ios::trunc);
    if (!out) throw TInputError(path.string() + ": cannot be created");
  };
  if (!options_.Record.empty()) create(record_, options_.Record);
  if (!options_.Trace.empty()) create(trace_, options_.Trace);
}

TSession::~TSession() {
  if (frameClock_) SetClockSource({});
  if (app_) app_->Queue = TMessageQueue{};
}

TGLWindowClass TSession::Attach(TGLApplication& app, const std::filesystem::path& settings) {
  app_ = &app;
  if (!options_.Record.empty() || !options_.Replay.empty()) {
    frameClock_ = true;
    SetClockSource({[this] { return clockMs_; }, [] { return std::int64_t{1000}; }});
    app.StartCounter = 0;
  }
  if (!options_.Record.empty()) {
    record_ << kInputHeader << "\n# recorded by quorvantille --record\n";
    app.Queue.Peek = [this](TMessage& message) { return PeekRecording(message); };
  }
  if (!options_.Replay.empty()) {
    app.Queue.Peek = [this](TMessage& message) { return PeekReplay(message); };
    // A replay always has its next item at hand; there is nothing to wait for.
    app.Queue.Wait = [] {};
  }
  const bool timedemo = options_.Timedemo;
  return {"TMyGLWindow",
          [this, settings, timedemo](TGLApplication& a) -> std::unique_ptr<TGLWindow> {
            auto game = std::make_unique<TMyGLWindow>(a, settings, [this] { return NextSeed(); });
            return std::make_unique<TSessionWindow>(a, std::move(game), *this, timedemo);
          }};
}

std::uint32_t TSession::NextSeed() {
  if (!options_.Replay.empty()) {
    if (seeds_.empty()) return 0;
    const std::uint32_t seed = seeds_.front();
    seeds_.pop_front();
    return seed;
  }
  const std::int64_t count = SystemCounter();
  const auto seed = static_cast<std::uint32_t>(count ^ (count >> 32));
  if (record_.is_open()) Write({TInputKind::Seed, seed, 0, {}, 0});
  return seed;
}

void TSession::Write(const TInputItem& item) {
  record_ << FormatInputItem(item) << '\n';
  // A game that ends in a crash keeps its input up to the last frame.
  if (item.kind == TInputKind::Frame) record_.flush();
}

bool TSession::PeekRecording(TMessage& message) {
  if (handlingSince_) {
    excludedCounts_ += SystemCounter() - *handlingSince_;
    handlingSince_.reset();
  }
  if (!PeekMessage(message)) return false;
  TInputItem item;
  if (InputItemOf(message, item)) {
    // Codes the file cannot hold would make the recording unreadable; the window procedure
    // folds them into 0..255 anyway.
    const bool keyLike = item.kind != TInputKind::Mouse && item.kind != TInputKind::Size;
    if (!keyLike || (item.a >= 1 && item.a <= 254)) Write(item);
  }
  handlingSince_ = SystemCounter();
  return true;
}

bool TSession::PeekReplay(TMessage& message) {
  if (swapPending_) {
    phases_.Mark(TFramePhase::Swap);
    swapPending_ = false;
  }
  TMessage live;
  while (PeekWindowMessage(live)) {
    if (live.kind == TMessageKind::Close) {
      MarkEnd();
      message = live;
      return true;
    }
  }
  // Seeds went to the worlds and shots were taken after their frame; both are skipped here.
  while (cursor_ < items_.size()) {
    const TInputItem& item = items_[cursor_];
    if (item.kind == TInputKind::Seed || item.kind == TInputKind::Shot) {
      ++cursor_;
      continue;
    }
    if (!MessageOf(item, message)) break;  // a frame
    ++cursor_;
    return true;
  }
  if (TakeQuitMessage(message)) {
    MarkEnd();
    return true;
  }
  if (cursor_ < items_.size()) return false;  // the frame comes next
  MarkEnd();
  message = {TMessageKind::Quit, 0, 0};
  return true;
}

void TSession::MarkEnd() {
  if (endCounts_) return;
  endCounts_ = SystemCounter();
  phases_.Mark(TFramePhase::Events);
  phases_.EndRun();
}

void TSession::MarkClock() {
  markCounts_ = SystemCounter();
  excludedCounts_ = 0;
}

void TSession::BeginFrame() {
  ++frames_;
  if (!options_.Record.empty()) {
    const std::int64_t now = SystemCounter();
    gameCounts_ += std::max<std::int64_t>(0, now - markCounts_ - excludedCounts_);
    markCounts_ = now;
    excludedCounts_ = 0;
    const std::int64_t ms = CountsToMs(gameCounts_, SystemFrequency());
    Write({TInputKind::Frame, ms - clockMs_, 0, {}, 0});
    clockMs_ = ms;
  }
  if (options_.Replay.empty()) return;

  if (cursor_ < items_.size() && items_[cursor_].kind == TInputKind::Frame)
    clockMs_ += items_[cursor_++].a;
  if (options_.Timedemo) {
    phases_.Mark(TFramePhase::Events);
    phases_.BeginFrame();
    frameStarts_.push_back(SystemCounter());
    return;
  }
  // Shown at the speed it was played.
  if (!paceStartCounts_) {
    paceStartCounts_ = SystemCounter();
    paceStartMs_ = clockMs_;
  }
  const double dueMs = static_cast<double>(clockMs_ - paceStartMs_);
  const double nowMs = CountsToMsExact(SystemCounter() - *paceStartCounts_);
  if (dueMs > nowMs) SleepMs(static_cast<int>(std::min(dueMs - nowMs, 3.6e6)));
}

void TSession::EndFrame(const TMyGLWindow& game) {
  if (!options_.Replay.empty()) SaveShots();
  if (trace_.is_open()) trace_ << TraceLine(game, frames_) << '\n';
  swapPending_ = options_.Timedemo;
}

void TSession::SaveShots() {
  for (std::size_t i = cursor_; i < items_.size() && items_[i].kind != TInputKind::Frame; ++i) {
    const TInputItem& item = items_[i];
    if (item.kind != TInputKind::Shot) continue;
    if (!SaveFrame(*app_, item.file))
      throw EGL(options_.Replay.string() + ":" + std::to_string(item.line) +
                ": cannot write the screenshot \"" + item.file + "\"");
    GlobalLog().Log("screenshot saved to " + item.file);
  }
}

std::string TSession::Finish() {
  const auto close = [](std::ofstream& out, const std::filesystem::path& path) {
    if (!out.is_open()) return;
    out.close();
    if (!out) throw TInputError(path.string() + ": cannot be written");
  };
  close(record_, options_.Record);
  close(trace_, options_.Trace);
  if (!options_.Timedemo) return {};

  std::vector<double> frameMs;
  const std::int64_t end = endCounts_ ? *endCounts_ : SystemCounter();
  for (std::size_t i = 0; i < frameStarts_.size(); ++i) {
    const std::int64_t next = i + 1 < frameStarts_.size() ? frameStarts_[i + 1] : end;
    frameMs.push_back(CountsToMsExact(next - frameStarts_[i]));
  }
  if (!options_.FrameTimes.empty()) {
    std::ofstream out(options_.FrameTimes, std::ios::binary | std::ios::trunc);
    for (const double ms : frameMs) {
      char line[32];
      std::snprintf(line, sizeof line, "%.3f\n", ms);
      out << line;
    }
    out.close();
    if (!out) throw TInputError(options_.FrameTimes.string() + ": cannot be written");
  }
  return FormatFrameStats(ComputeFrameStats(std::move(frameMs))) + "\n" +
         TFramePhases::Format(phases_.Frames());
}

}  // namespace qv
