// Deterministic pseudo-random numbers and value noise for the drawings (no global state).
#pragma once

#include <cmath>
#include <cstdint>

namespace vardel::content {

// A 32-bit integer hash (finaliser of MurmurHash3); the root of every random value here,
// so the pictures come out the same on every build.
constexpr std::uint32_t hash32(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x85EBCA6BU;
  x ^= x >> 13;
  x *= 0xC2B2AE35U;
  x ^= x >> 16;
  return x;
}

constexpr std::uint32_t hash2(int x, int y, std::uint32_t seed) {
  return hash32(static_cast<std::uint32_t>(x) * 0x9E3779B1U ^ hash32(static_cast<std::uint32_t>(y) + seed));
}

// Uniform value in [0, 1) for a lattice point.
inline double unit2(int x, int y, std::uint32_t seed) { return hash2(x, y, seed) / 4294967296.0; }

// Smooth value noise in [0, 1) at a real point; the lattice spacing is 1.
inline double valueNoise(double x, double y, std::uint32_t seed) {
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double a = unit2(x0, y0, seed), b = unit2(x0 + 1, y0, seed);
  const double c = unit2(x0, y0 + 1, seed), d = unit2(x0 + 1, y0 + 1, seed);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// Fractal sum of `octaves` layers of value noise, centred on 0, roughly within [-0.5, 0.5].
inline double fractalNoise(double x, double y, int octaves, std::uint32_t seed) {
  double sum = 0, amplitude = 0.5, frequency = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * (valueNoise(x * frequency, y * frequency, seed + 977U * i) - 0.5);
    norm += amplitude;
    amplitude *= 0.5;
    frequency *= 2;
  }
  return sum / norm;
}

// A small sequential generator for scattering things (trees, waves, stars).
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed) {}
  std::uint32_t next() { return state_ = hash32(state_ + 0x6D2B79F5U); }
  // Uniform in [lo, hi).
  double uniform(double lo, double hi) { return lo + (hi - lo) * (next() / 4294967296.0); }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

 private:
  std::uint32_t state_;
};

}  // namespace vardel::content
