#include "assets/DemoTextures.h"

#include <algorithm>
#include <cmath>

#include "assets/DemoRandom.h"

namespace qv::assets {

namespace {

float Smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// Value noise in [0, 1] that repeats every `period` cells; (u, v) in [0, 1) covers one period.
float TileNoise(float u, float v, int period, std::uint32_t seed) {
  const float x = u * static_cast<float>(period);
  const float y = v * static_cast<float>(period);
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  const float fx = Smooth(x - static_cast<float>(x0));
  const float fy = Smooth(y - static_cast<float>(y0));
  auto corner = [&](int cx, int cy) {
    const int wx = ((cx % period) + period) % period;
    const int wy = ((cy % period) + period) % period;
    return static_cast<float>(LatticeHash(wx, wy, seed) & 0xFFFF) / 65535.0f;
  };
  const float a = corner(x0, y0) + (corner(x0 + 1, y0) - corner(x0, y0)) * fx;
  const float b = corner(x0, y0 + 1) + (corner(x0 + 1, y0 + 1) - corner(x0, y0 + 1)) * fx;
  return a + (b - a) * fy;
}

// Four octaves, each twice the frequency and half the weight; still tileable.
float Fractal(float u, float v, int period, std::uint32_t seed) {
  float sum = 0, weight = 0, amp = 1;
  for (int octave = 0; octave < 4; ++octave) {
    sum += amp * TileNoise(u, v, period << octave, seed + static_cast<std::uint32_t>(octave) * 101);
    weight += amp;
    amp *= 0.5f;
  }
  return sum / weight;
}

std::uint8_t Channel(float value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
}

TRgb Mix(TRgb a, TRgb b, float t) {
  return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t),
          Channel(a.b + (b.b - a.b) * t)};
}

TRgb Shade(TRgb c, float f) { return {Channel(c.r * f), Channel(c.g * f), Channel(c.b * f)}; }

void Put(TTgaImage& image, int x, int y, TRgb c, std::uint8_t a = 255) {
  SetTgaPixel(image, x, y, c.r, c.g, c.b, a);
}

float Coord(int i, int size) { return static_cast<float>(i) / static_cast<float>(size); }

}  // namespace

TTgaImage NoiseTexture(int size, std::uint32_t seed, TRgb dark, TRgb light, int period) {
  TTgaImage image = MakeTgaImage(size, size, 24);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      Put(image, x, y, Mix(dark, light, Fractal(Coord(x, size), Coord(y, size), period, seed)));
  return image;
}

TTgaImage BrickTexture(int size, std::uint32_t seed, TRgb brick, TRgb mortar) {
  TTgaImage image = MakeTgaImage(size, size, 24);
  const int rows = 8, cols = 4;
  const int rowHeight = size / rows, brickWidth = size / cols;
  const int joint = std::max(1, size / 64);
  for (int y = 0; y < size; ++y) {
    const int row = y / rowHeight;
    const int offset = (row % 2) * brickWidth / 2;
    for (int x = 0; x < size; ++x) {
      const int sx = (x + offset) % size;
      const int col = sx / brickWidth;
      const bool isJoint = (y % rowHeight) < joint || (sx % brickWidth) < joint;
      const float grain = Fractal(Coord(x, size), Coord(y, size), 16, seed);
      if (isJoint) {
        Put(image, x, y, Shade(mortar, 0.85f + 0.3f * grain));
      } else {
        const float tone =
            0.8f + 0.35f * static_cast<float>(LatticeHash(col, row, seed) & 0xFF) / 255.0f;
        Put(image, x, y, Shade(brick, tone * (0.85f + 0.3f * grain)));
      }
    }
  }
  return image;
}

TTgaImage GrassTexture(int size, std::uint32_t seed) {
  TTgaImage image = MakeTgaImage(size, size, 24);
  const TRgb dark{38, 84, 24}, light{108, 160, 60};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float base = Fractal(Coord(x, size), Coord(y, size), 4, seed);
      const bool blade = (LatticeHash(x, y, seed + 7) & 0x1F) == 0;
      Put(image, x, y, blade ? Shade(dark, 0.8f) : Mix(dark, light, base));
    }
  return image;
}

TTgaImage SkyTexture(int size, std::uint32_t seed, TRgb zenith, TRgb horizon) {
  TTgaImage image = MakeTgaImage(size, size, 24);
  const TRgb cloud{250, 250, 255};
  for (int y = 0; y < size; ++y) {
    // 0 at both edges and 1 in the middle, so the top row meets the bottom row when tiled.
    const float height = 1.0f - std::fabs(2.0f * Coord(y, size) - 1.0f);
    const TRgb sky = Mix(horizon, zenith, height);
    for (int x = 0; x < size; ++x) {
      const float n = Fractal(Coord(x, size), Coord(y, size), 4, seed);
      const float cover = std::clamp((n - 0.52f) * 3.0f, 0.0f, 1.0f);
      Put(image, x, y, Mix(sky, cloud, cover * 0.85f));
    }
  }
  return image;
}

TTgaImage WoodTexture(int size, std::uint32_t seed) {
  TTgaImage image = MakeTgaImage(size, size, 24);
  const TRgb dark{96, 60, 30}, light{170, 120, 70};
  const int planks = 4, plankHeight = size / planks;
  for (int y = 0; y < size; ++y) {
    const int plank = y / plankHeight;
    const float tone =
        0.85f + 0.3f * static_cast<float>(LatticeHash(plank, 0, seed) & 0xFF) / 255.0f;
    for (int x = 0; x < size; ++x) {
      if (y % plankHeight == 0) {
        Put(image, x, y, Shade(dark, 0.6f));
        continue;
      }
      // Stretched noise draws long grain lines along x.
      const float grain = TileNoise(Coord(x, size), Coord(y, size), 2, seed + plank) * 0.5f +
                          TileNoise(Coord(x, size), Coord(y * 8 % size, size), 4, seed + 31) * 0.5f;
      Put(image, x, y, Shade(Mix(dark, light, grain), tone));
    }
  }
  return image;
}

TTgaImage RoofTexture(int size, std::uint32_t seed) {
  TTgaImage image = MakeTgaImage(size, size, 24);
  const TRgb tile{150, 58, 40};
  const int rows = 8, tileHeight = size / rows, tileWidth = size / 8;
  for (int y = 0; y < size; ++y) {
    const int row = y / tileHeight;
    const float inRow = static_cast<float>(y % tileHeight) / static_cast<float>(tileHeight);
    for (int x = 0; x < size; ++x) {
      const int sx = (x + (row % 2) * tileWidth / 2) % size;
      const int col = sx / tileWidth;
      const bool edge = sx % tileWidth == 0;
      const float tone = 0.75f + 0.35f * inRow +
                         0.15f * static_cast<float>(LatticeHash(col, row, seed) & 0xFF) / 255.0f;
      Put(image, x, y, edge ? Shade(tile, 0.45f) : Shade(tile, tone));
    }
  }
  return image;
}

TTgaImage GhostSkinTexture(int size, std::uint32_t seed, TRgb tint) {
  TTgaImage image = MakeTgaImage(size, size, 32);
  const TRgb glow{255, 255, 255};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float u = Coord(x, size), v = Coord(y, size);
      // Noise warped by noise gives swirls rather than blobs.
      const float warp = Fractal(u, v, 4, seed);
      const float swirl = Fractal(u + warp * 0.25f, v + warp * 0.25f, 4, seed + 17);
      const float t = std::clamp((swirl - 0.3f) * 2.0f, 0.0f, 1.0f);
      const TRgb colour = Mix(tint, glow, t * 0.7f);
      Put(image, x, y, colour, Channel(60.0f + 150.0f * t));
    }
  return image;
}

TTgaImage LatticeTexture(int size, TRgb slat) {
  TTgaImage image = MakeTgaImage(size, size, 32);
  const int cell = size / 4, width = std::max(2, size / 16);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const bool onSlat = ((x + y) % cell) < width || ((x - y + size) % cell) < width;
      if (onSlat)
        Put(image, x, y, Shade(slat, 0.8f + 0.2f * static_cast<float>((x * 7 + y * 3) % 5) / 4.0f),
            255);
      else
        Put(image, x, y, TRgb{0, 0, 0}, 0);
    }
  return image;
}

}  // namespace qv::assets
