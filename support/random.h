// The process's one random generator: single-precision values uniform in
// [0, 1), shared by the effect chooser and the picture chooser.
#pragma once

#include <cstdint>
#include <random>

namespace ruzir {

// What the choosers draw from; tests substitute fixed sequences.
class UniformSource {
 public:
  virtual ~UniformSource() = default;
  // A value in [0, 1), never 1.
  virtual float NextUniform() = 0;
};

class Random final : public UniformSource {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}

  float NextUniform() override {
    // 24 random bits are exactly what a float's significand holds, so the
    // result is exact and strictly below 1 (std::generate_canonical<float>
    // can round up to 1 in some library versions).
    constexpr float kScale = 1.0f / 16777216.0f;  // 2^-24
    return static_cast<float>(engine_() >> 8) * kScale;
  }

 private:
  std::mt19937 engine_;
};

// A seed for a generator of its own (a worker's, another window's), drawn
// from `random`, so that its draws are as random as the show's.
inline std::uint32_t DrawSeed(UniformSource& random) {
  return static_cast<std::uint32_t>(random.NextUniform() * 4294967296.0);  // 2^32
}

}  // namespace ruzir
