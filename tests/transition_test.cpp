#include "show/transition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace ruzir {
namespace {

constexpr TwipsScale k96Dpi{15.0f, 15.0f};
constexpr Effect kDiffuse = Effect::Diffuse;
constexpr Effect kVertical = Effect::VerticalSlide;
constexpr Effect kHorizontal = Effect::HorizontalSlide;

struct Canvas {
  Canvas(int width, int height, std::uint32_t first, std::uint32_t step)
      : pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)),
        view{pixels.data(), width, height} {
    // Every pixel different, so a pixel out of place cannot pass unseen.
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = first + static_cast<std::uint32_t>(i) * step;
    }
  }
  std::vector<std::uint32_t> pixels;
  SurfaceView view;
};

// Twips of whole pixels at 96 DPI.
float Tw(int pixels) { return static_cast<float>(pixels) * 15.0f; }

TEST(Transition, LayoutTilesThePictureFromItsTopLeftCorner) {
  struct Case {
    const char* name;
    Effect effect;
    TwipsRect picture;
    std::int16_t lastIndex;
    float width, height;
    int probe;  // a piece to look at
    Piece expected;
  };
  const Case cases[] = {
      {"diffuse",
       kDiffuse,
       {2550, 2100, 4500, 3000},
       899,
       150,
       100,
       465,
       {2250, 1500, 4800, 3600, 150, 100}},
      {"diffuse, 20 twips left over at the right",
       kDiffuse,
       {0, 0, 4520, 3000},
       899,
       150,
       100,
       29,
       {4350, 0, 4350, 0, 150, 100}},
      {"vertical strips",
       kVertical,
       {100, 200, 4800, 2400},
       39,
       120,
       2400,
       39,
       {4680, 0, 4780, 200, 120, 2400}},
      {"horizontal strips",
       kHorizontal,
       {100, 200, 4800, 2410},
       39,
       4800,
       60,
       39,
       {0, 2340, 100, 2540, 4800, 60}},
  };
  for (const auto& c : cases) {
    const std::vector<Piece> pieces = LayoutPieces(c.effect, c.picture);
    ASSERT_EQ(pieces.size(), static_cast<std::size_t>(c.lastIndex) + 1) << c.name;
    EXPECT_FLOAT_EQ(pieces[0].X, c.picture.left) << c.name;
    EXPECT_FLOAT_EQ(pieces[0].Y, c.picture.top) << c.name;
    const Piece& p = pieces[static_cast<std::size_t>(c.probe)];
    EXPECT_FLOAT_EQ(p.SrcX, c.expected.SrcX) << c.name;
    EXPECT_FLOAT_EQ(p.SrcY, c.expected.SrcY) << c.name;
    EXPECT_FLOAT_EQ(p.X, c.expected.X) << c.name;
    EXPECT_FLOAT_EQ(p.Y, c.expected.Y) << c.name;
    EXPECT_FLOAT_EQ(p.Width, c.width) << c.name;
    EXPECT_FLOAT_EQ(p.Height, c.height) << c.name;
  }
}

TEST(Transition, EffectsWithoutPiecesLayOutNothingAndDrawNothing) {
  for (const Effect effect : {Effect::None, Effect::Random, static_cast<Effect>(-1)}) {
    EXPECT_TRUE(LayoutPieces(effect, {0, 0, 4500, 3000}).empty());
    for (const auto kind : {Transition::Kind::Out, Transition::Kind::In}) {
      Transition transition(kind, effect, {9600, 7200}, {0, 0, 4500, 3000}, k96Dpi);
      Canvas background(640, 480, 1, 1);
      Canvas picture(300, 200, 0x800000, 1);
      Canvas canvas(640, 480, 0xAB, 0);
      std::vector<PixelRect> changed;
      EXPECT_FALSE(transition.DrawNextFrame({background.view, picture.view, canvas.view}, changed));
      EXPECT_TRUE(changed.empty());
      EXPECT_EQ(canvas.pixels, std::vector<std::uint32_t>(640 * 480, 0xAB))
          << "effect " << StoredPattern(effect);
    }
  }
}

TEST(Transition, DiffusePiecesFlyAwayFromTheCentre) {
  // Window 9600 x 7200, a 4500 x 3000 picture at (2550, 2100).
  const TwipsSize window{9600, 7200};
  const TwipsRect picture{2550, 2100, 4500, 3000};
  std::vector<Piece> pieces = LayoutPieces(kDiffuse, picture);
  const auto velocities = PieceVelocities(kDiffuse, window, picture, pieces);
  EXPECT_FLOAT_EQ(velocities[0].VX, 850);
  EXPECT_FLOAT_EQ(velocities[0].VY, 700);
  EXPECT_FLOAT_EQ(velocities[465].VX, -50);
  EXPECT_FLOAT_EQ(velocities[465].VY, -100.0f / 3);

  StepPiece(kDiffuse, pieces[0], velocities[0]);
  EXPECT_FLOAT_EQ(pieces[0].X, -1700);
  EXPECT_FLOAT_EQ(pieces[0].Y, -1400);
  EXPECT_FALSE(IsInside(kDiffuse, pieces[0], window));

  StepPiece(kDiffuse, pieces[465], velocities[465]);
  EXPECT_FLOAT_EQ(pieces[465].X, 5050);
  EXPECT_NEAR(pieces[465].Y, 3766.67, 0.01);
  ReverseStepPiece(kDiffuse, pieces[465], velocities[465]);
  EXPECT_FLOAT_EQ(pieces[465].X, 4800);
  EXPECT_FLOAT_EQ(pieces[465].Y, 3600);
}

TEST(Transition, SlidesMoveEvenAndOddStripsApart) {
  struct Case {
    const char* name;
    Effect effect;
    TwipsSize window;
    TwipsRect picture;
    float evenSpeed;  // VX or VY of the even strips; odd ones move the other way
  };
  const Case cases[] = {
      {"horizontal", kHorizontal, {9600, 7200}, {2400, 0, 4800, 2400}, -800},
      {"vertical", kVertical, {9600, 7200}, {0, 1200, 2400, 4800}, -400},
      {"a picture wider than the window reverses",
       kHorizontal,
       {9600, 7200},
       {-1200, 0, 12000, 2400},
       400},
      {"as wide as the window: no movement", kHorizontal, {9600, 7200}, {0, 0, 9600, 2400}, 0},
  };
  for (const auto& c : cases) {
    std::vector<Piece> pieces = LayoutPieces(c.effect, c.picture);
    const auto velocities = PieceVelocities(c.effect, c.window, c.picture, pieces);
    const auto speed = [&](std::size_t i) {
      return c.effect == kHorizontal ? velocities[i].VX : velocities[i].VY;
    };
    const auto across = [&](std::size_t i) {
      return c.effect == kHorizontal ? velocities[i].VY : velocities[i].VX;
    };
    EXPECT_FLOAT_EQ(speed(0), c.evenSpeed) << c.name;
    EXPECT_FLOAT_EQ(speed(1), -c.evenSpeed) << c.name;
    EXPECT_FLOAT_EQ(speed(38), c.evenSpeed) << c.name;
    EXPECT_FLOAT_EQ(speed(39), -c.evenSpeed) << c.name;
    EXPECT_EQ(across(0), 0) << c.name;
    EXPECT_EQ(CanLeave(c.effect, velocities[0]), c.evenSpeed != 0) << c.name;
  }
}

TEST(Transition, InsideMeansOverlappingTheWindowOnTheEffectsAxes) {
  struct Case {
    const char* name;
    Effect effect;
    Piece piece;
    bool inside;
  };
  const TwipsSize window{9600, 7200};
  const Case cases[] = {
      {"well inside", kDiffuse, {0, 0, 100, 100, 150, 100}, true},
      {"right edge on the left window edge", kHorizontal, {0, 0, -150, 0, 150, 100}, false},
      {"one twip in", kHorizontal, {0, 0, -149, 0, 150, 100}, true},
      {"left edge on the right window edge", kHorizontal, {0, 0, 9600, 0, 150, 100}, false},
      {"horizontal strips ignore the vertical", kHorizontal, {0, 0, 100, -5000, 150, 100}, true},
      {"bottom edge on the top window edge", kVertical, {0, 0, 0, -100, 150, 100}, false},
      {"top edge on the bottom window edge", kVertical, {0, 0, 0, 7200, 150, 100}, false},
      {"diffuse: out above, within the width", kDiffuse, {0, 0, 100, -200, 150, 100}, false},
      {"diffuse: out to the right, within the height",
       kDiffuse,
       {0, 0, 9700, 100, 150, 100},
       false},
      {"no effect", Effect::None, {0, 0, 100, 100, 150, 100}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInside(c.effect, c.piece, window), c.inside) << c.name;
}

// The worked horizontal slide: a 320 x 160 pixel picture at (160, 20) in a
// 640 x 200 window, strips of 4 pixels moving 800 twips (53.3 pixels) a step.
// Frames are checked against images built here pixel by pixel.
TEST(Transition, HorizontalSlideFramesMatchImagesBuiltIndependently) {
  const TwipsSize window{Tw(640), Tw(200)};
  const TwipsRect place{Tw(160), Tw(20), Tw(320), Tw(160)};
  Canvas background(640, 200, 0x10000000u, 1);
  Canvas picture(320, 160, 0x20000000u, 1);
  Canvas canvas(640, 200, 0, 0);
  const TransitionSurfaces surfaces{background.view, picture.view, canvas.view};

  // Strip i is 4 pixels high; after k steps out it lies 800 k twips from its
  // place, to the left when i is even.
  const auto expectFrame = [&](int stepsOut, const char* what) {
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 640; ++x) {
        std::uint32_t expected = background.view.At(x, y);
        const int row = y - 20;
        if (row >= 0 && row < 160) {
          const int strip = row / 4;
          const float left = Tw(160) + (strip % 2 == 0 ? -800.0f : 800.0f) * stepsOut;
          const int px = static_cast<int>(std::nearbyint(left / 15));
          if (x >= px && x < px + 320) expected = picture.view.At(x - px, row);
        }
        ASSERT_EQ(canvas.view.At(x, y), expected) << what << " at " << x << "," << y;
      }
    }
  };

  Transition out(Transition::Kind::Out, kHorizontal, window, place, k96Dpi);
  std::vector<PixelRect> changed;
  for (int frame = 1; out.DrawNextFrame(surfaces, changed); ++frame) {
    if (frame == 3) expectFrame(3, "third frame out");
  }
  EXPECT_EQ(out.FramesDrawn(), 9);
  EXPECT_EQ(canvas.pixels, background.pixels) << "the last frame out is the background alone";

  Transition in(Transition::Kind::In, kHorizontal, window, place, k96Dpi);
  ASSERT_TRUE(in.DrawNextFrame(surfaces, changed));
  expectFrame(8, "first frame in");  // 6400 twips from its place
  while (in.DrawNextFrame(surfaces, changed)) {
  }
  EXPECT_EQ(in.FramesDrawn(), 9);
  expectFrame(0, "last frame in");
}

// Restoring only where pieces were must give the pixels of a full restore
// of the background before every frame, and the changed rectangles must
// cover every pixel that differs from the frame before.
TEST(Transition, EveryFrameEqualsAFullRestoreWithThePiecesDrawnOnIt) {
  struct Case {
    const char* name;
    Effect effect;
    TwipsRect place;
    int maxFrames = kMaxTransitionSteps;
    int steps = 1;  // per frame, but for a shorter last one
  };
  const Case cases[] = {
      {"diffuse", kDiffuse, {Tw(70), Tw(40), Tw(150), Tw(100)}},
      {"diffuse, off centre and partly outside", kDiffuse, {Tw(-20), Tw(90), Tw(157), Tw(103)}},
      {"vertical", kVertical, {Tw(60), Tw(30), Tw(120), Tw(80)}},
      {"horizontal, wider than the window", kHorizontal, {Tw(-50), Tw(10), Tw(400), Tw(90)}},
      // 20 pixels a step: the odd strips need 9 steps, in frames of 5 and 4.
      {"vertical, in two frames", kVertical, {Tw(60), Tw(30), Tw(120), Tw(80)}, 2, 5},
  };
  const TwipsSize window{Tw(300), Tw(200)};
  for (const auto& c : cases) {
    for (const auto kind : {Transition::Kind::Out, Transition::Kind::In}) {
      Canvas background(300, 200, 0x10000000u, 1);
      Canvas picture(static_cast<int>(c.place.width / 15), static_cast<int>(c.place.height / 15),
                     0x20000000u, 1);
      Canvas canvas(300, 200, 0xABu, 0);
      Canvas reference(300, 200, 0, 0);
      Transition transition(kind, c.effect, window, c.place, k96Dpi, c.maxFrames);

      // The reference: the same pieces, stepped and drawn over a full restore,
      // after counting the steps that take them all out.
      std::vector<Piece> pieces = LayoutPieces(c.effect, c.place);
      const auto velocities = PieceVelocities(c.effect, window, c.place, pieces);
      std::vector<Piece> away = pieces;
      int stepsLeft = 0;
      for (bool inside = true; inside && stepsLeft < 3000; ++stepsLeft) {
        inside = false;
        for (std::size_t i = 0; i < away.size(); ++i) {
          StepPiece(c.effect, away[i], velocities[i]);
          inside = inside || IsInside(c.effect, away[i], window);
        }
      }
      if (kind == Transition::Kind::In) pieces = away;
      std::vector<std::uint32_t> previous = canvas.pixels;
      std::vector<PixelRect> changed;
      int frames = 0;
      while (transition.DrawNextFrame({background.view, picture.view, canvas.view}, changed)) {
        ++frames;
        reference.pixels = background.pixels;
        const int steps = std::min(c.steps, stepsLeft);
        stepsLeft -= steps;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
          for (int step = 0; step < steps; ++step) {
            if (kind == Transition::Kind::Out) {
              StepPiece(c.effect, pieces[i], velocities[i]);
            } else {
              ReverseStepPiece(c.effect, pieces[i], velocities[i]);
            }
          }
          DrawPiece(picture.view, pieces[i], k96Dpi, reference.view);
        }
        ASSERT_EQ(canvas.pixels, reference.pixels) << c.name << ", frame " << frames;
        for (int y = 0; y < 200; ++y) {
          for (int x = 0; x < 300; ++x) {
            if (canvas.view.At(x, y) == previous[static_cast<std::size_t>(y) * 300 + x]) continue;
            bool covered = false;
            for (const PixelRect& r : changed) {
              covered = covered || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
            }
            ASSERT_TRUE(covered) << c.name << ", frame " << frames << " at " << x << "," << y;
          }
        }
        previous = canvas.pixels;
        changed.clear();
      }
      EXPECT_GT(frames, 1) << c.name;
      EXPECT_EQ(stepsLeft, 0) << c.name;
    }
  }
}

TEST(Transition, FrameCountsAtTheEdgesOfWhatMoves) {
  struct Case {
    const char* name;
    Effect effect;
    TwipsRect place;
    int framesOut, framesIn;
  };
  const TwipsSize window{9600, 7200};
  const Case cases[] = {
      // The worked example's 9 steps.
      {"horizontal slide", kHorizontal, {2400, 0, 4800, 2400}, 9, 9},
      // Even strips need (9600 + 1200) / 400 = 27 steps to the right.
      {"a picture wider than the window still leaves",
       kHorizontal,
       {-1200, 0, 12000, 2400},
       27,
       27},
      // Already outside and moving away: one frame each way.
      {"one step is enough", kDiffuse, {-90000, -90000, 4500, 3000}, 1, 1},
      // As wide as the window: the strips cannot leave, one frame each way.
      {"nothing can leave", kHorizontal, {0, 0, 9600, 2400}, 1, 1},
  };
  Canvas background(640, 480, 1, 1);
  Canvas picture(640, 480, 0x800000, 1);
  Canvas canvas(640, 480, 0, 0);
  for (const auto& c : cases) {
    std::vector<PixelRect> changed;
    Transition out(Transition::Kind::Out, c.effect, window, c.place, k96Dpi);
    while (out.DrawNextFrame({background.view, picture.view, canvas.view}, changed)) {
    }
    Transition in(Transition::Kind::In, c.effect, window, c.place, k96Dpi);
    while (in.DrawNextFrame({background.view, picture.view, canvas.view}, changed)) {
    }
    EXPECT_EQ(out.FramesDrawn(), c.framesOut) << c.name;
    EXPECT_EQ(in.FramesDrawn(), c.framesIn) << c.name;
  }
}

// A half draws no more frames than its budget: past it a frame advances
// several steps, yet the last frame out is still the one in which the last
// piece leaves, and the last frame in still shows the picture whole. Drawn at
// a tenth of the pixels: the counts follow the twips.
TEST(Transition, SlideStepBudget) {
  struct Case {
    const char* name;
    TwipsSize window;
    TwipsRect place;
  };
  constexpr int kBudget = 90;  // 1.5 s at 60 Hz
  const Case cases[] = {
      // 1083 pixels wide in 1080: the strips move half a pixel a step.
      {"portrait, about as wide", {Tw(1080), Tw(1920)}, {Tw(-2), Tw(384), Tw(1083), Tw(1152)}},
      {"landscape", {Tw(1024), Tw(768)}, {Tw(282), Tw(211), Tw(461), Tw(346)}},
  };
  constexpr TwipsScale kTenth{150.0f, 150.0f};
  const auto tenth = [](float twips) { return static_cast<int>(twips / 150); };
  for (const auto& c : cases) {
    const int width = tenth(c.window.width);
    const int height = tenth(c.window.height);
    Canvas background(width, height, 0x10000000u, 1);
    Canvas picture(tenth(c.place.width) + 1, tenth(c.place.height) + 1, 0x20000000u, 1);
    for (const auto kind : {Transition::Kind::Out, Transition::Kind::In}) {
      Canvas free(width, height, 0, 0);
      Canvas paced(width, height, 0, 0);
      std::vector<std::uint32_t> beforeLast;
      std::vector<PixelRect> changed;
      Transition unbounded(kind, kHorizontal, c.window, c.place, kTenth);
      while (unbounded.DrawNextFrame({background.view, picture.view, free.view}, changed)) {
      }
      Transition bounded(kind, kHorizontal, c.window, c.place, kTenth, kBudget);
      for (std::vector<std::uint32_t> before = paced.pixels;
           bounded.DrawNextFrame({background.view, picture.view, paced.view}, changed);
           before = paced.pixels) {
        beforeLast = before;
      }
      const int steps = unbounded.FramesDrawn();
      if (steps <= kBudget) {
        EXPECT_EQ(bounded.FramesDrawn(), steps) << c.name;
      } else {
        EXPECT_LE(bounded.FramesDrawn(), kBudget) << c.name;
        EXPECT_GT(bounded.FramesDrawn(), kBudget / 2) << c.name << ": too many steps a frame";
      }
      EXPECT_EQ(paced.pixels, free.pixels) << c.name << ": the last frame";
      EXPECT_NE(beforeLast, paced.pixels) << c.name << ": the last frame moved nothing";
    }
  }
}

}  // namespace
}  // namespace ruzir
