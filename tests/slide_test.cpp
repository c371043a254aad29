#include "show/slide.h"

#include <gtest/gtest.h>

namespace ruzir {
namespace {

constexpr TwipsScale k96Dpi{15.0f, 15.0f};

TEST(Slide, LongerSideIsSixTenthsOfTheWindowHeight) {
  struct Case {
    const char* name;
    TwipsSize inner;
    TwipsSize outer;
    TwipsSize target;
  };
  // A window 15,360 x 11,520 twips: 1024 x 768 pixels at 96 DPI.
  const Case cases[] = {
      {"upright 300 x 600", {4500, 9000}, {4500, 9000}, {3456, 6912}},
      {"wide 800 x 600", {12000, 9000}, {12000, 9000}, {6912, 5184}},
      {"square is upright", {7500, 7500}, {7500, 7500}, {6912, 6912}},
      {"tiny pictures grow", {150, 75}, {150, 75}, {6912, 3456}},
      {"a probe border widens the short side", {4500, 9000}, {4530, 9030}, {3479.04f, 6912}},
  };
  for (const auto& c : cases) {
    const TwipsSize target = TargetSize(c.inner, c.outer, 11520);
    EXPECT_FLOAT_EQ(target.width, c.target.width) << c.name;
    EXPECT_FLOAT_EQ(target.height, c.target.height) << c.name;
  }
}

TEST(Slide, PixelSizeFollowsTheScreenAndRoundsHalfToEven) {
  struct Case {
    PixelSize natural;
    int windowHeight;
    TwipsScale scale;
    PixelSize shown;
  };
  const Case cases[] = {
      {{300, 600}, 768, k96Dpi, {230, 461}},          // 230.4 x 460.8
      {{800, 600}, 768, k96Dpi, {461, 346}},          // 460.8 x 345.6
      {{4000, 6000}, 2160, k96Dpi, {864, 1296}},      // a camera picture on a 4K screen
      {{300, 600}, 768, {10.0f, 10.0f}, {230, 461}},  // 144 DPI: same pixels
      {{10000, 1}, 768, k96Dpi, {461, 0}},            // a hair-thin panorama vanishes, no error
      {{0, 600}, 768, k96Dpi, {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SlidePixelSize(c.natural, c.windowHeight, c.scale), c.shown)
        << c.natural.width << " x " << c.natural.height << " in " << c.windowHeight;
  }
}

TEST(Slide, DriftStepsAndBouncesOnOneAxis) {
  struct Case {
    const char* name;
    float extent, size, position, step;
    bool movingBack;
    float next;
    bool nextMovingBack;
  };
  // Window 11,520 twips; step 0.0015 makes a stride of 17.28, 0.01 one of 115.2.
  const Case cases[] = {
      {"forwards", 11520, 6912, 2310, 0.0015f, false, 2327.28f, false},
      {"after-images move faster", 11520, 6912, 2310, 0.01f, false, 2425.2f, false},
      {"forwards, the next step would cross the far edge", 11520, 6912, 4600, 0.0015f, false, 4608,
       true},
      {"forwards, landing exactly flush keeps going", 11520, 6912, 4590.72f, 0.0015f, false, 4608,
       false},
      {"backwards", 11520, 6912, 2310, 0.0015f, true, 2292.72f, true},
      {"backwards, the next step would cross 0", 11520, 6912, 10, 0.0015f, true, 0, false},
      {"backwards, landing exactly on 0 keeps going", 11520, 6912, 17.28f, 0.0015f, true, 0, true},
      {"a larger new picture is pulled up flush without turning", 11520, 9000, 4000, 0.0015f, true,
       2520, true},
      {"larger than the window: centred, not turned", 11520, 12000, 0, 0.0015f, false, -240, false},
      {"larger than the window, moving back: stays centred", 11520, 12000, -240, 0.01f, true, -240,
       true},
  };
  for (const auto& c : cases) {
    bool movingBack = c.movingBack;
    // Within single precision at these magnitudes.
    EXPECT_NEAR(NextDriftPosition(c.extent, c.size, c.position, c.step, movingBack), c.next, 2e-3)
        << c.name;
    EXPECT_EQ(movingBack, c.nextMovingBack) << c.name;
  }
}

TEST(Slide, DriftPlacementLandsOnWholePixels) {
  struct Case {
    const char* name;
    PixelRect from;
    bool up, left;
    PixelRect to;
    bool nextUp, nextLeft;
  };
  // 1024 x 768 at 96 DPI: strides of 1.536 px across and 1.152 px down.
  const Case cases[] = {
      {"down and right", {397, 154, 627, 615}, false, false, {399, 155, 629, 616}, false, false},
      {"up and left", {397, 154, 627, 615}, true, true, {395, 153, 625, 614}, true, true},
      {"bottom edge: flush and turn",
       {397, 306, 627, 767},
       false,
       false,
       {399, 307, 629, 768},
       true,
       false},
      {"right edge: flush and turn",
       {793, 100, 1023, 561},
       false,
       false,
       {794, 101, 1024, 562},
       false,
       true},
      {"top edge: to 0 and turn", {10, 1, 240, 462}, true, false, {12, 0, 242, 461}, false, false},
      {"left edge: to 0 and turn", {1, 10, 231, 471}, false, true, {0, 11, 230, 472}, false, false},
      // 1152 wide: centred across, while it still drifts down.
      {"wider than the window, flush right",
       {-128, 154, 1024, 615},
       false,
       false,
       {-64, 155, 1088, 616},
       false,
       false},
  };
  for (const auto& c : cases) {
    bool up = c.up;
    bool left = c.left;
    EXPECT_EQ(DriftPlacement(c.from, {1024, 768}, k96Dpi, 0.0015f, up, left), c.to) << c.name;
    EXPECT_EQ(up, c.nextUp) << c.name;
    EXPECT_EQ(left, c.nextLeft) << c.name;
  }
}

TEST(Slide, FirstPictureIsCentredOnWholePixels) {
  struct Case {
    PixelSize picture;
    PixelSize window;
    PixelRect placed;
  };
  const Case cases[] = {
      // (768 - 461) / 2 = 153.5 rounds to the even 154.
      {{230, 461}, {1024, 768}, {397, 154, 627, 615}},
      {{461, 346}, {1024, 768}, {282, 211, 743, 557}},  // 281.5 -> 282
      {{648, 432}, {1920, 1080}, {636, 324, 1284, 756}},
      {{0, 0}, {152, 112}, {76, 56, 76, 56}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CentredPlacement(c.picture, c.window, k96Dpi), c.placed)
        << c.picture.width << " x " << c.picture.height;
  }
}

TEST(Slide, TicksStartTheClockThenDriftThenChange) {
  SlideTimerState state;
  state.MovingUp = state.MovingLeft = true;  // whatever came before, the first tick starts afresh
  EXPECT_EQ(BeginTick(state, 1000.0, 20), TickKind::First);
  EXPECT_TRUE(state.TimerStarted);
  EXPECT_FALSE(state.MovingUp || state.MovingLeft) << "drifts down and to the right at first";
  EXPECT_DOUBLE_EQ(state.SlideStart, 1000.0);

  struct Case {
    double now;
    std::int16_t interval;
    TickKind kind;
  };
  const Case cases[] = {
      {1000.05, 20, TickKind::Drift},
      {1020.0, 20, TickKind::Drift},  // exactly the display time: not yet
      {1020.001, 20, TickKind::Change},
      {1001.0, 1, TickKind::Drift},
      {1001.05, 1, TickKind::Change},
      {1000.05, 0, TickKind::Change},
      {1000.05, -5, TickKind::Change},                // never range-checked: changes at every tick
      {1000.0 + 86400.0 + 21, 20, TickKind::Change},  // a day later: the clock has no midnight
  };
  for (const auto& c : cases) {
    SlideTimerState running = state;
    EXPECT_EQ(BeginTick(running, c.now, c.interval), c.kind) << c.now << " " << c.interval;
    EXPECT_DOUBLE_EQ(running.SlideStart, 1000.0);
  }
}

}  // namespace
}  // namespace ruzir
