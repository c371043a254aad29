#include "show/slide.h"

#include <algorithm>

namespace ruzir {

TwipsSize TargetSize(TwipsSize inner, TwipsSize outer, float windowHeight) {
  const auto longSide = static_cast<float>(0.6 * windowHeight);
  if (inner.height >= inner.width) {
    return {static_cast<float>(static_cast<double>(longSide) / inner.height * outer.width),
            longSide};
  }
  return {longSide, static_cast<float>(static_cast<double>(longSide) / inner.width * outer.height)};
}

PixelSize SlidePixelSize(PixelSize natural, int windowHeight, TwipsScale scale) {
  if (natural.width <= 0 || natural.height <= 0) return {};
  const TwipsSize probe{TwipsFromPixels(natural.width, scale.x),
                        TwipsFromPixels(natural.height, scale.y)};
  const TwipsSize target = TargetSize(probe, probe, TwipsFromPixels(windowHeight, scale.y));
  // A picture of extreme proportions still shows, at least a pixel across.
  return {std::max(1, PixelsFromTwips(target.width, scale.x)),
          std::max(1, PixelsFromTwips(target.height, scale.y))};
}

float NextDriftPosition(float extent, float size, float position, float step, bool& movingBack) {
  // Larger than the window: both edges are beyond reach, and bouncing would
  // flip it from one flush edge to the other at every tick.
  if (size > extent) return (extent - size) / 2;
  const double stride = static_cast<double>(extent) * step;
  if (!movingBack) {
    if (static_cast<float>(stride + (static_cast<double>(size) + position)) > extent) {
      movingBack = true;
      return extent - size;
    }
    return static_cast<float>(position + stride);
  }
  if (static_cast<float>(position - stride) < 0) {
    movingBack = false;
    return 0;
  }
  if (static_cast<float>(static_cast<double>(size) + position) > extent) return extent - size;
  return static_cast<float>(position - stride);
}

PixelRect DriftPlacement(const PixelRect& picture, PixelSize window, TwipsScale scale, float step,
                         bool& movingUp, bool& movingLeft) {
  const float top = NextDriftPosition(TwipsFromPixels(window.height, scale.y),
                                      TwipsFromPixels(picture.bottom - picture.top, scale.y),
                                      TwipsFromPixels(picture.top, scale.y), step, movingUp);
  const float left = NextDriftPosition(TwipsFromPixels(window.width, scale.x),
                                       TwipsFromPixels(picture.right - picture.left, scale.x),
                                       TwipsFromPixels(picture.left, scale.x), step, movingLeft);
  const int x = PixelsFromTwips(left, scale.x);
  const int y = PixelsFromTwips(top, scale.y);
  return {x, y, x + picture.right - picture.left, y + picture.bottom - picture.top};
}

PixelRect CentredPlacement(PixelSize picture, PixelSize window, TwipsScale scale) {
  const float top =
      (TwipsFromPixels(window.height, scale.y) - TwipsFromPixels(picture.height, scale.y)) / 2;
  const float left =
      (TwipsFromPixels(window.width, scale.x) - TwipsFromPixels(picture.width, scale.x)) / 2;
  const int x = PixelsFromTwips(left, scale.x);
  const int y = PixelsFromTwips(top, scale.y);
  return {x, y, x + picture.width, y + picture.height};
}

TickKind BeginTick(SlideTimerState& state, double now, std::int16_t interval) {
  if (!state.TimerStarted) {
    state.SlideStart = now;
    state.TimerStarted = true;
    state.MovingUp = false;
    state.MovingLeft = false;
    return TickKind::First;
  }
  return now > state.SlideStart + interval ? TickKind::Change : TickKind::Drift;
}

}  // namespace ruzir
