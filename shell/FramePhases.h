#pragma once
// Where the time of a frame goes, for the timedemo: each frame is cut into phases in the order
// they run, and the report gives the mean and the 99th percentile (nearest rank) of each over all
// frames, in milliseconds, on one line after the statistics line:
//   phases_ms(mean/p99) time=<f>/<f> alarms=<f>/<f> step=... culling=... reflection=...
//   scene=... overlay=... swap=... events=...
// `scene` holds the camera, the clear and the drawing up to the last pixel of the scene (the
// drawing waits for the renderer there); `swap` the buffer swap with what the shell and the
// session do after the frame (GL error report, trace, shots); `events` the window messages
// handled before the next frame, key commands and level loads included. The phases of a frame
// add up to its frame time.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

enum class TFramePhase { Time, Alarms, Step, Culling, Reflection, Scene, Overlay, Swap, Events };
inline constexpr int kFramePhaseCount = 9;

class TFramePhases {
 public:
  using TTimes = std::array<double, kFramePhaseCount>;  // ms per phase of one frame

  // A frame starts now (the previous one, if any, is complete).
  void BeginFrame();
  // The time since the last mark belongs to `phase`; phases may be marked more than once.
  void Mark(TFramePhase phase);
  // Ends the last frame. Later marks are ignored until the next BeginFrame.
  void EndRun();

  const std::vector<TTimes>& Frames() const { return frames_; }
  static std::string Format(const std::vector<TTimes>& frames);

 private:
  void CloseFrame();

  std::int64_t lastMark_ = 0;  // counter of the last mark
  bool open_ = false;          // a frame is being measured
  TTimes current_{};
  std::vector<TTimes> frames_;
};

}  // namespace qv
