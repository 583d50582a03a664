#pragma once
// The command line of the game and what it adds to a game: recording the input of a live game,
// replaying an input file (optionally as a timedemo), writing a trace. Without options none of this
// exists: main never makes a session and the game reads no command line.
//
//   --record FILE      writes the input file of this live game (InputFile.h)
//   --replay FILE      plays FILE instead of live input; ends after its last line (exit code 0)
//   --timedemo         with --replay: no pacing, frames as fast as they come, statistics printed
//   --frame-times FILE with --timedemo: one real frame time in milliseconds per line
//   --trace FILE       one JSON line per frame (TraceLine.h)
//
// Determinism: while recording or replaying, the application clock (TimeMs, which the alarms read
// too) stands still between frames and moves only at the start of a frame, by the frame's time -
// measured while recording, read while replaying - so every reading of the clock gives the same
// value in both. Recording leaves out the time spent handling a message (a level load, ...) and
// starts over after GLLoad, as the game's own frame time does. World seeds are written when
// recording and read back when replaying. A replay ignores the window system's input, except the
// close button.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/FramePhases.h"
#include "shell/GLWindow.h"
#include "shell/InputFile.h"

namespace qv {

class TGLApplication;
class TMyGLWindow;
struct TMessage;

struct TOptions {
  std::filesystem::path Record;      // empty: not recording
  std::filesystem::path Replay;      // empty: live input
  std::filesystem::path Trace;       // empty: no trace
  std::filesystem::path FrameTimes;  // empty: none written
  bool Timedemo = false;
  bool Help = false;     // --help: print the usage and end
  bool Version = false;  // --version: print the version and end
};

// Reads argv[1..]. False, with `error` saying why, for an unknown option, a missing value, an
// option given twice or a combination that means nothing (--timedemo without --replay, ...).
bool ParseOptions(int argc, const char* const* argv, TOptions& options, std::string& error);
// The usage text, several lines, ending with a line end.
const char* UsageText();

class TSession {
 public:
  // Reads the input file and creates the output files; TInputError names the file (and line)
  // that failed.
  explicit TSession(const TOptions& options);
  ~TSession();
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  // Connects the session to `app` (message queue and clock) and gives the class of the game
  // window to run: the game, made with this session's seeds and watched frame by frame.
  TGLWindowClass Attach(TGLApplication& app, const std::filesystem::path& settings);
  // After Run: flushes the files; for a timedemo writes the frame times and returns the
  // statistics line (empty otherwise).
  std::string Finish();

  // Called by the session's window.
  void MarkClock();
  void BeginFrame();
  void EndFrame(const TMyGLWindow& game);
  TFramePhases* PhaseClock() { return options_.Timedemo ? &phases_ : nullptr; }

 private:
  bool PeekRecording(TMessage& message);
  bool PeekReplay(TMessage& message);
  std::uint32_t NextSeed();
  void Write(const TInputItem& item);
  void SaveShots();
  void MarkEnd();

  TOptions options_;
  TGLApplication* app_ = nullptr;
  bool frameClock_ = false;   // recording or replaying: TimeMs is clockMs_
  std::int64_t clockMs_ = 0;  // the application clock, ms

  // Recording.
  std::ofstream record_;
  std::int64_t gameCounts_ = 0;                // real counts the game has lived through so far
  std::int64_t markCounts_ = 0;                // real counter at the last frame start or GLLoad
  std::int64_t excludedCounts_ = 0;            // real counts spent handling messages since then
  std::optional<std::int64_t> handlingSince_;  // a message was handed out at this count

  // Replaying.
  std::vector<TInputItem> items_;
  std::size_t cursor_ = 0;  // next item to hand out
  std::deque<std::uint32_t> seeds_;
  long replayFrames_ = 0;
  std::optional<std::int64_t> paceStartCounts_;
  std::int64_t paceStartMs_ = 0;

  // Timedemo: real counter at each frame start, and at the end of the replay.
  std::vector<std::int64_t> frameStarts_;
  TFramePhases phases_;       // a timedemo's frames cut into phases
  bool swapPending_ = false;  // a frame was drawn; the next peek ends its swap phase
  std::optional<std::int64_t> endCounts_;

  std::ofstream trace_;
  long frames_ = 0;  // frames drawn
};

}  // namespace qv
