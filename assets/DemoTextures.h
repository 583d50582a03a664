#pragma once
// Texture pictures for the demo levels, made by code. Every generator is a pure function of its
// arguments (fixed seeds, integer hashing), so the same call gives the same bytes on every run.
// Sizes are powers of two and the pictures tile seamlessly, since the levels repeat them across
// large surfaces and the sky scrolls its texture coordinates.

#include <cstdint>

#include "scene/TgaWriter.h"

namespace qv::assets {

struct TRgb {
  std::uint8_t r = 0, g = 0, b = 0;  // 0..255 each
};

// Fractal value noise blended between two colours; `period` lattice cells across the picture.
TTgaImage NoiseTexture(int size, std::uint32_t seed, TRgb dark, TRgb light, int period = 8);
// Running-bond bricks with mortar joints and per-brick shade variation.
TTgaImage BrickTexture(int size, std::uint32_t seed, TRgb brick, TRgb mortar);
// Grass: noisy green with darker blades.
TTgaImage GrassTexture(int size, std::uint32_t seed);
// Vertical sky gradient, mirrored so it repeats without a seam, with soft clouds.
TTgaImage SkyTexture(int size, std::uint32_t seed, TRgb zenith, TRgb horizon);
// Wooden planks along the horizontal axis.
TTgaImage WoodTexture(int size, std::uint32_t seed);
// Rows of roof tiles.
TTgaImage RoofTexture(int size, std::uint32_t seed);
// 32-bit: a ghostly swirl whose alpha varies between faint and half-opaque.
TTgaImage GhostSkinTexture(int size, std::uint32_t seed, TRgb tint);
// 32-bit: a diagonal lattice, fully transparent between the slats.
TTgaImage LatticeTexture(int size, TRgb slat);

}  // namespace qv::assets
