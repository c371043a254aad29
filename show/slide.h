// The slide: how large a picture is shown, how it drifts and bounces, and
// when the next one comes.
//
// A picture's longer side is 0.6 of the window's height, whatever its
// orientation, so every picture leaves room to wander. Each 50 ms tick moves
// it by a fixed fraction of the window's size on both axes; at an edge it is
// laid flush and turns. On an axis where it is larger than the window (a wide
// picture on a portrait screen) it stays centred and drifts on the other
// only. Geometry is in single-precision twips, computed as the sums the show
// has always used and rounded to single precision where they are compared;
// the platform then places the picture on whole pixels, and the next tick
// starts from where it really is.
#pragma once

#include <cstdint>
#include <optional>

#include "support/surface.h"
#include "support/units.h"

namespace ruzir {

// A picture at the size it is shown at in one window.
struct Slide {
  std::optional<MemorySurface> picture;  // none when it is too small to see
  PixelSize size;
  std::int16_t file = 0;  // its index in the image list, 0 for none
};

// What a window's slides are made for: its height in pixels and its scale.
struct SlideFit {
  int windowHeight = 0;
  TwipsScale scale;
};

// The size a picture is shown at, from the probe's inner (natural) and outer
// size: an upright or square picture gets 0.6 x the window's height as its
// height, a wide one as its width; the other side keeps the proportions.
TwipsSize TargetSize(TwipsSize inner, TwipsSize outer, float windowHeight);

// The same for a picture of natural pixel size in a window of `windowHeight`
// pixels, placed on whole pixels; the probe has no border. A zero natural size
// gives a zero target; any other at least one pixel each way.
PixelSize SlidePixelSize(PixelSize natural, int windowHeight, TwipsScale scale);

// The fraction of the window's size the picture moves per tick: larger with
// after-images, so that the trail spreads out.
inline float DriftStep(std::int16_t gost) { return gost == 1 ? 0.01f : 0.0015f; }

// One axis of a drift step: the picture of `size` at `position` in a window
// of `extent` moves forwards (down, right) or, with movingBack, backwards by
// extent x step, turning flush at the edge it would cross. A picture that
// already reaches beyond the far edge while moving back is pulled flush with
// it without turning. A picture larger than the window on this axis stays
// centred on it, its direction unchanged.
float NextDriftPosition(float extent, float size, float position, float step, bool& movingBack);

// Where the picture is in a window of windowWidth x windowHeight pixels after
// one drift step, on whole pixels; its size does not change.
PixelRect DriftPlacement(const PixelRect& picture, PixelSize window, TwipsScale scale, float step,
                         bool& movingUp, bool& movingLeft);

// The picture's place when it first appears: centred, on whole pixels.
PixelRect CentredPlacement(PixelSize picture, PixelSize window, TwipsScale scale);

// What the slide timer keeps between ticks; zero when the window is made.
struct SlideTimerState {
  bool TimerStarted = false;
  double SlideStart = 0;  // display clock, seconds, when the current picture arrived
  bool MovingUp = false;
  bool MovingLeft = false;
};

enum class TickKind {
  First,   // the first tick: starts the clock, moves nothing
  Drift,   // moves the picture
  Change,  // the display time has run out: a new picture, then the move
};

// Starts a tick at display-clock time `now` (seconds, monotonic): the first
// tick only starts the clock; later ones change the picture once more than
// `interval` seconds have passed since it arrived.
TickKind BeginTick(SlideTimerState& state, double now, std::int16_t interval);

}  // namespace ruzir
