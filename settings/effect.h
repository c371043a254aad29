// The picture-change effects, defined once for the settings, the dialog and
// the transitions.
//
// The stored pattern "Break" stays a raw 16-bit number: a value written by
// another copy of the program (or by hand) must survive loading and saving
// unchanged, so only this header turns it into an effect.
#pragma once

#include <cstdint>
#include <optional>

namespace ruzir {

enum class Effect : std::int16_t {
  None = 0,             // the picture changes at once
  Diffuse = 1,          // a grid of pieces flying away from the centre
  VerticalSlide = 2,    // strips, even ones up and odd ones down
  HorizontalSlide = 3,  // strips, even ones left and odd ones right
  Random = 4,           // a pattern only: one of the three above, drawn anew each change
};

// The pattern a stored "Break" names; nullopt for any other number.
constexpr std::optional<Effect> PatternFromStored(std::int16_t stored) {
  if (stored < static_cast<std::int16_t>(Effect::None) ||
      stored > static_cast<std::int16_t>(Effect::Random)) {
    return std::nullopt;
  }
  return static_cast<Effect>(stored);
}

constexpr std::int16_t StoredPattern(Effect pattern) { return static_cast<std::int16_t>(pattern); }

// Diffuse and the two slides move pieces; the others change at once.
constexpr bool HasPieces(Effect effect) {
  return effect == Effect::Diffuse || effect == Effect::VerticalSlide ||
         effect == Effect::HorizontalSlide;
}

}  // namespace ruzir
