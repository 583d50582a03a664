// qv-make-icon OUT.png SIZE: draws the game's icon - a white ghost with dark eyes on a night-blue
// rounded square - so no image needs to be kept in the repository. The build runs it; it is not
// installed. Edges are smoothed by testing 4 x 4 samples per pixel.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/PngFile.h"

namespace {

struct TColor {
  float r, g, b, a;
};

bool InRoundedSquare(float x, float y) {
  const float corner = 0.2f;  // radius, in icon widths
  const float dx = std::max(std::abs(x - 0.5f) - (0.5f - corner), 0.0f);
  const float dy = std::max(std::abs(y - 0.5f) - (0.5f - corner), 0.0f);
  return dx * dx + dy * dy <= corner * corner;
}

// A ghost: a round head over a body whose hem waves three times. y grows downwards.
bool InGhost(float x, float y) {
  const float cx = 0.5f, top = 0.18f, radius = 0.27f;
  const float headY = top + radius;
  if (y < headY) return std::hypot(x - cx, y - headY) <= radius;
  const float hem = 0.8f + 0.05f * std::cos((x - cx + radius) / (2 * radius) * 6 * 3.14159265f);
  return std::abs(x - cx) <= radius && y <= hem;
}

bool InEye(float x, float y) {
  return std::hypot(x - 0.41f, y - 0.42f) <= 0.045f || std::hypot(x - 0.59f, y - 0.42f) <= 0.045f;
}

TColor Sample(float x, float y) {
  if (!InRoundedSquare(x, y)) return {0, 0, 0, 0};
  if (InGhost(x, y)) return InEye(x, y) ? TColor{0.08f, 0.1f, 0.2f, 1} : TColor{0.97f, 0.97f, 1, 1};
  const float shade = 0.35f + 0.4f * (1 - y);  // lighter towards the top
  return {0.1f * shade, 0.25f * shade, 0.6f * shade, 1};
}

}  // namespace

int main(int argc, char** argv) {
  const int size = argc == 3 ? std::atoi(argv[2]) : 0;
  if (size < 16 || size > 1024) {
    std::fprintf(stderr, "usage: qv-make-icon OUT.png SIZE (16..1024)\n");
    return 2;
  }
  constexpr int kSamples = 4;
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4);
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      TColor sum{0, 0, 0, 0};
      for (int s = 0; s < kSamples * kSamples; ++s) {
        const float x = (px + (s % kSamples + 0.5f) / kSamples) / size;
        const float y = (py + (s / kSamples + 0.5f) / kSamples) / size;
        const TColor c = Sample(x, y);
        sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
      }
      std::uint8_t* out = &rgba[(static_cast<std::size_t>(py) * size + px) * 4];
      const float alpha = sum.a / (kSamples * kSamples);
      const float unpremultiply = sum.a > 0 ? 1 / sum.a : 0;
      const float channels[4] = {sum.r * unpremultiply, sum.g * unpremultiply,
                                 sum.b * unpremultiply, alpha};
      for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(std::lround(std::clamp(channels[i], 0.0f, 1.0f) * 255));
    }
  if (!qv::WritePngFile(argv[1], size, size, rgba, qv::TRowOrder::TopDown)) {
    std::fprintf(stderr, "qv-make-icon: %s: cannot be written\n", argv[1]);
    return 1;
  }
  return 0;
}
