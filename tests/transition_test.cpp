// Transitions: the pieces, their flight, and the frames of both halves.
#include "show/transition.h"

#include <cmath>

#include "test_support.h"

namespace ruzir::test {
namespace {

using E = Effect;
constexpr TwipsScale k96Dpi{15.0f, 15.0f};

std::array<float, 6> Fields(const Piece& p) {
  return {p.SrcX, p.SrcY, p.X, p.Y, p.Width, p.Height};
}

// The pieces tile the picture from its top-left corner; what does not fill
// a piece is left over. A 4500 x 3000 picture at (2550, 2100) in 9600 x 7200
// has diffuse pieces of 150 x 100, each column and row aiming at its share
// of the window: pieces (0, 0), (14, 14), (15, 15) and (29, 29). Stepping
// from (100, 200), slides move by their velocity on their axis, diffuse
// pieces by five times theirs, backwards; they can leave only that way.
TEST(Transition, PiecesTileThePictureAndFlyApart) {
  const std::tuple<Effect, TwipsRect, std::size_t, Piece> layouts[] = {
      // count, and the last piece
      {E::Diffuse, {2550, 2100, 4500, 3000}, 900, {4350, 2900, 6900, 5000, 150, 100}},
      {E::Diffuse, {10, 20, 4520, 3020}, 900, {4350, 2900, 4360, 2920, 150, 100}},
      {E::VerticalSlide, {100, 200, 4810, 2400}, 40, {4680, 0, 4780, 200, 120, 2400}},
      {E::HorizontalSlide, {100, 200, 4800, 2410}, 40, {0, 2340, 100, 2540, 4800, 60}},
      {E::Random, {0, 0, 4500, 3000}, 0, {}}};
  for (const auto& [effect, picture, count, last] : layouts) {
    const std::vector<Piece> pieces = LayoutPieces(effect, picture);
    ASSERT_EQ(pieces.size(), count);
    if (count == 0) continue;
    EXPECT_EQ(Fields(pieces.back()), Fields(last)) << picture.left;
    EXPECT_EQ(Fields(pieces[0]),
              Fields({0, 0, picture.left, picture.top, last.Width, last.Height}));
  }
  const TwipsRect picture{2550, 2100, 4500, 3000};
  const auto v =
      PieceVelocities(E::Diffuse, {9600, 7200}, picture, LayoutPieces(E::Diffuse, picture));
  const std::tuple<int, float, float> diffuse[] = {{0, 850, 700},
                                                   {434, 170.0f / 3, 140.0f / 3},
                                                   {465, -50, -100.0f / 3},
                                                   {899, -6730.0f / 3, -1620}};
  for (const auto& [i, vx, vy] : diffuse) {
    EXPECT_FLOAT_EQ(v[i].VX, vx) << i;
    EXPECT_FLOAT_EQ(v[i].VY, vy) << i;
  }
  const std::tuple<Effect, float, float, float, float> steps[] = {
      {E::HorizontalSlide, -800, 5, -700, 200},
      {E::VerticalSlide, 5, 400, 100, 600},
      {E::Diffuse, 10, -20, 50, 300},
      {E::None, 10, 20, 100, 200}};
  for (const auto& [effect, vx, vy, x, y] : steps) {
    Piece p{0, 0, 100, 200, 150, 100};
    StepPiece(effect, p, {vx, vy});
    EXPECT_EQ(std::tuple(p.X, p.Y), std::tuple(x, y));
    ReverseStepPiece(effect, p, {vx, vy});
    EXPECT_EQ(std::tuple(p.X, p.Y), std::tuple(100.0f, 200.0f));
  }
  const std::tuple<Effect, float, float, bool> leave[] = {
      {E::HorizontalSlide, 0, 5, false}, {E::HorizontalSlide, -5, 0, true},
      {E::VerticalSlide, 5, 0, false},   {E::VerticalSlide, 0, -5, true},
      {E::Diffuse, 0, 0, false},         {E::Diffuse, 5, 0, true},
      {E::Diffuse, 0, 5, true},          {E::None, 5, 5, false}};
  for (const auto& [effect, vx, vy, can] : leave)
    EXPECT_EQ(CanLeave(effect, {vx, vy}), can) << vx << "," << vy;
}

// A piece's source, place and size become whole pixels, halves to even;
// only what lies on the canvas is drawn and reported. The last two numbers
// are where the drawn rectangle starts in the picture.
TEST(Transition, DrawPieceCopiesAndReportsWhatLiesOnTheCanvas) {
  const std::tuple<Piece, PixelRect, int, int> cases[] = {
      {{30, 15, 45, 30, 60, 45}, {3, 2, 7, 5}, 2, 1},
      {{30, 15, -45, 30, 60, 45}, {0, 2, 1, 5}, 5, 1},
      {{30, 15, 45, -30, 60, 45}, {3, 0, 7, 1}, 2, 3},
      {{30, 15, 120, 90, 60, 45}, {8, 6, 10, 8}, 2, 1},
      {{37.5f, 22.5f, 22.5f, 52.5f, 52.5f, 37.5f}, {2, 4, 6, 6}, 2, 2},
      {{30, 15, 150, 30, 60, 45}, {}, 0, 0},
      {{0, 0, 1e12f, 0, 60, 45}, {}, 0, 0},
      {{0, 0, -1e12f, -1e12f, 60, 45}, {}, 0, 0}};
  for (const auto& [piece, drawn, srcX, srcY] : cases) {
    Pixels picture(8, 6, 0x100), canvas(10, 8, 0xEE, 0);
    EXPECT_EQ(DrawPiece(picture.view, piece, k96Dpi, canvas.view), drawn) << piece.X;
    ExpectPixels(
        canvas.view,
        [&](int x, int y) {
          return In(drawn, x, y) ? picture.view.At(srcX + x - drawn.left, srcY + y - drawn.top)
                                 : 0xEEu;
        },
        std::to_string(piece.X));
  }
}

// The worked slides: a 320 x 160 pixel picture at (160, 20) of a 640 x 200
// window (transposed for the vertical slide), 40 strips 4 pixels high moving
// 800 twips (53.3 pixels) a step, even ones left (up): 9 steps take all out.
// Each frame, after the steps out listed, is built here pixel by pixel, and
// every pixel changed since the frame before lies in a reported rectangle.
// A budget of frames makes a frame take several steps, the last one fewer.
TEST(Transition, SlideFramesMatchPicturesBuiltPixelByPixel) {
  using K = Transition::Kind;
  const std::vector<int> out{1, 2, 3, 4, 5, 6, 7, 8, 9}, in{8, 7, 6, 5, 4, 3, 2, 1, 0};
  const std::tuple<bool, K, int, std::vector<int>> cases[] = {
      {false, K::Out, kMaxTransitionSteps, out},
      {false, K::In, kMaxTransitionSteps, in},
      {true, K::Out, kMaxTransitionSteps, out},
      {true, K::In, kMaxTransitionSteps, in},
      {false, K::Out, 4, {3, 6, 9}},
      {false, K::Out, 2, {5, 9}},
      {false, K::In, 2, {4, 0}},
      {true, K::In, 1, {0}},
      {false, K::Out, 0, {9}}};
  for (const auto& [vertical, kind, maxFrames, stepsOut] : cases) {
    const int w = vertical ? 200 : 640, h = vertical ? 640 : 200;
    Pixels background(w, h, 0x10000000), canvas(w, h, 0xAB, 0),
        picture(vertical ? 160 : 320, vertical ? 320 : 160, 0x20000000);
    const TwipsRect place =
        vertical ? TwipsRect{300, 2400, 2400, 4800} : TwipsRect{2400, 300, 4800, 2400};
    Transition transition(kind, vertical ? E::VerticalSlide : E::HorizontalSlide,
                          {w * 15.0f, h * 15.0f}, place, k96Dpi, maxFrames);
    std::vector<PixelRect> changed;
    for (const int k : stepsOut) {
      const std::vector<std::uint32_t> previous = canvas.pixels;
      changed.clear();
      ASSERT_TRUE(transition.DrawNextFrame({background.view, picture.view, canvas.view}, changed));
      ExpectPixels(
          canvas.view,
          [&](int x, int y) {
            const int a = vertical ? y : x, row = (vertical ? x : y) - 20;  // along and across
            const int left = int(std::nearbyint((2400 + (row / 4 % 2 ? 800.0 : -800.0) * k) / 15));
            if (row < 0 || row >= 160 || a < left || a >= left + 320)
              return background.view.At(x, y);
            return vertical ? picture.view.At(row, a - left) : picture.view.At(a - left, row);
          },
          std::to_string(k) + " steps out");
      ExpectPixels(
          canvas.view,
          [&](int x, int y) {
            const bool reported =
                std::any_of(changed.begin(), changed.end(), [&](auto& r) { return In(r, x, y); });
            return reported ? canvas.view.At(x, y) : previous[std::size_t(y * w + x)];
          },
          std::to_string(k) + " steps out, unreported");
    }
    changed.clear();
    EXPECT_FALSE(transition.DrawNextFrame({background.view, picture.view, canvas.view}, changed));
    EXPECT_EQ(std::tuple(changed.size(), transition.FramesDrawn()),
              std::tuple(std::size_t{0}, int(stepsOut.size())));
  }
}

// Frames of each half, one step a frame: until no piece that can leave is
// inside, at most kMaxTransitionSteps, beyond which a picture comes in at
// once. In 9600 x 7200 the diffuse column right of the centre takes 20
// steps of 250 twips to the right edge (the slowest row takes 22 to the
// bottom); a slide wider than the window takes 10,800 / 400; pieces out
// from the first step, or unable to move, take one. Odd strips going
// 16,383.5 twips at 0.5 a step (exact in binary) take all the steps there
// are; half a twip further is too far.
TEST(Transition, StepCountsAtTheEdgesOfWhatMoves) {
  const std::tuple<Effect, float, float, float, float, int, int> cases[] = {
      {E::Diffuse, 2550, 2100, 4500, 3000, 20, 20},
      {E::HorizontalSlide, -1200, 0, 12000, 2400, 27, 27},
      {E::Diffuse, -90000, -90000, 4500, 3000, 1, 1},
      {E::HorizontalSlide, 0, 0, 9600, 2400, 1, 1},
      {E::HorizontalSlide, -6783.5f, 0, 9597, 2400, 32767, 32767},
      {E::HorizontalSlide, -6784, 0, 9597, 2400, 32767, 0},
      {E::None, 0, 0, 4500, 3000, 0, 0},
      {static_cast<Effect>(7), 0, 0, 4500, 3000, 0, 0}};
  Pixels background(1, 1), picture(1, 1, 5), canvas(1, 1);
  for (const auto& [effect, left, top, width, height, framesOut, framesIn] : cases) {
    for (const auto& [kind, frames] :
         {std::tuple(Transition::Kind::Out, framesOut), {Transition::Kind::In, framesIn}}) {
      Transition transition(kind, effect, {9600, 7200}, {left, top, width, height}, k96Dpi);
      std::vector<PixelRect> changed;
      canvas.pixels[0] = 9;
      while (transition.DrawNextFrame({background.view, picture.view, canvas.view}, changed))
        changed.clear();
      EXPECT_EQ(transition.FramesDrawn(), frames)
          << left << (kind == Transition::Kind::In ? " in" : " out");
      EXPECT_TRUE(frames > 0 || canvas.pixels[0] == 9) << left;
    }
  }
}

}  // namespace
}  // namespace ruzir::test
