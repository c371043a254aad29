// Transitions: the pieces, their flight, and the frames of both halves.
#include <cmath>

#include "show/transition.h"
#include "test_support.h"

namespace ruzir::test {
using E = Effect;
using K = Transition::Kind;
constexpr TwipsScale k96Dpi{15.0f, 15.0f};

// Pieces tile the picture from its corner, leaving what fills none; diffuse
// ones aim at their share of the window and step 5 x velocity backwards.
TEST(Transition, PiecesTileThePictureAndFlyApart) {
  const TwipsRect picture{2550, 2100, 4500, 3000};
  // clang-format off
  // effect, picture: pieces, the last piece (source x and y, x, y, width, height)
  const std::tuple<Effect, TwipsRect, std::size_t, std::array<float, 6>> layouts[] = {
      {E::Diffuse, picture, 900, {4350, 2900, 6900, 5000, 150, 100}},
      {E::Diffuse, {10, 20, 4520, 3020}, 900, {4350, 2900, 4360, 2920, 150, 100}},
      {E::VerticalSlide, {100, 200, 4810, 2400}, 40, {4680, 0, 4780, 200, 120, 2400}},
      {E::HorizontalSlide, {100, 200, 4800, 2410}, 40, {0, 2340, 100, 2540, 4800, 60}}};
  const std::tuple<int, float, float> diffuse[] = {
      {0, 850, 700}, {434, 170.0f / 3, 140.0f / 3}, {465, -50, -100.0f / 3},
      {899, -6730.0f / 3, -1620}};
  const std::tuple<Piece, PixelRect, int, int> cases[] = {  // piece: drawn, from source x, y
      {{30, 15, -45, 30, 60, 45}, {0, 2, 1, 5}, 5, 1}, {{30, 15, 165, 30, 60, 45}, {}, 0, 0},
      {{30, 15, 45, -30, 60, 45}, {3, 0, 7, 1}, 2, 3}, {{0, 0, -1e12f, 1e12f, 60, 45}, {}, 0, 0},
      {{30, 15, 120, 90, 60, 45}, {8, 6, 10, 8}, 2, 1},
      {{37.5f, 22.5f, 22.5f, 52.5f, 52.5f, 37.5f}, {2, 4, 6, 6}, 2, 2}};
  // clang-format on
  for (const auto& [effect, place, count, last] : layouts) {
    const std::vector<Piece> pieces = LayoutPieces(effect, place);
    ASSERT_EQ(pieces.size(), count);
    const Piece& p = pieces.back();
    EXPECT_EQ((std::array{p.SrcX, p.SrcY, p.X, p.Y, p.Width, p.Height}), last) << place.left;
  }
  const auto v =
      PieceVelocities(E::Diffuse, {9600, 7200}, picture, LayoutPieces(E::Diffuse, picture));
  for (const auto& [i, vx, vy] : diffuse) {
    EXPECT_FLOAT_EQ(v[i].VX, vx) << i;
    EXPECT_FLOAT_EQ(v[i].VY, vy) << i;
  }
  for (const Effect effect : {E::Diffuse, E::None}) {
    Piece p{0, 0, 100, 200, 150, 100};
    StepPiece(effect, p, {10, -20});
    EXPECT_EQ(std::tuple(p.X, p.Y), effect == E::None ? std::tuple(100, 200) : std::tuple(50, 300));
    ReverseStepPiece(effect, p, {10, -20});
    EXPECT_EQ(std::tuple(p.X, p.Y), std::tuple(100, 200));
  }
  // The slides' axes show in their frames.
  EXPECT_FALSE(CanLeave(E::Diffuse, {0, 0}) || !CanLeave(E::Diffuse, {5, 0}) ||
               !CanLeave(E::Diffuse, {0, 5}));
  // Drawn on whole pixels, halves to even, and reported only on the canvas.
  for (const auto& [piece, drawn, srcX, srcY] : cases) {
    Pixels picture(8, 6, 0x100), canvas(10, 8, 0xEE, 0);
    EXPECT_EQ(DrawPiece(picture.view, piece, k96Dpi, canvas.view), drawn) << piece.X;
    ExpectPixels(canvas.view, std::to_string(piece.X), [&](int x, int y) {
      return In(drawn, x, y) ? picture.view.At(srcX + x - drawn.left, srcY + y - drawn.top) : 0xEEu;
    });
  }
}

// 320 x 160 pixels at (160, 20) in 640 x 200 (or transposed): 40 strips of 4 move
// 800 twips a step, even ones left (up). Frames are built here pixel by pixel.
TEST(Transition, SlideFramesMatchPicturesBuiltPixelByPixel) {
  const std::vector<int> out{1, 2, 3, 4, 5, 6, 7, 8, 9}, in{8, 7, 6, 5, 4, 3, 2, 1, 0};
  // clang-format off
  const std::tuple<bool, K, int, std::vector<int>> cases[] = {
      {false, K::Out, kMaxTransitionSteps, out}, {false, K::In, kMaxTransitionSteps, in},
      {true, K::Out, kMaxTransitionSteps, out}, {true, K::In, kMaxTransitionSteps, in},
      {false, K::Out, 4, {3, 6, 9}}, {false, K::Out, 2, {5, 9}}, {false, K::In, 2, {4, 0}},
      {true, K::In, 1, {0}}, {false, K::Out, 0, {9}}};
  // clang-format on
  for (const auto& [vertical, kind, maxFrames, stepsOut] : cases) {
    const int w = vertical ? 200 : 640, h = vertical ? 640 : 200;
    Pixels background(w, h, 1 << 28), canvas(w, h, 0xAB, 0);
    Pixels picture(vertical ? 160 : 320, vertical ? 320 : 160, 2 << 28);
    const auto place =
        vertical ? TwipsRect{300, 2400, 2400, 4800} : TwipsRect{2400, 300, 4800, 2400};
    const E effect = vertical ? E::VerticalSlide : E::HorizontalSlide;
    Transition transition(kind, effect, {w * 15.0f, h * 15.0f}, place, k96Dpi, maxFrames);
    std::vector<PixelRect> changed;
    for (const int k : stepsOut) {
      const std::vector<std::uint32_t> previous = canvas.pixels;
      changed.clear();
      ASSERT_TRUE(transition.DrawNextFrame({background.view, picture.view, canvas.view}, changed));
      ExpectPixels(canvas.view, std::to_string(k) + " steps out", [&](int x, int y) {
        const int a = vertical ? y : x, row = (vertical ? x : y) - 20;  // along and across
        const int left = int(std::nearbyint((2400 + (row / 4 % 2 ? 800.0 : -800.0) * k) / 15));
        if (row < 0 || row >= 160 || a < left || a >= left + 320) return background.view.At(x, y);
        return vertical ? picture.view.At(row, a - left) : picture.view.At(a - left, row);
      });
      ExpectPixels(canvas.view, "unreported", [&](int x, int y) {
        const bool seen =
            std::any_of(changed.begin(), changed.end(), [&](auto& r) { return In(r, x, y); });
        return seen ? canvas.view.At(x, y) : previous[std::size_t(y * w + x)];
      });
    }
    changed.clear();
    EXPECT_FALSE(transition.DrawNextFrame({background.view, picture.view, canvas.view}, changed));
    EXPECT_EQ(std::tuple(changed.size(), transition.FramesDrawn()),
              std::tuple(0u, stepsOut.size()));
  }
}

// A step a frame until no piece that can leave is inside; 32,767 at most.
TEST(Transition, StepCountsAtTheEdgesOfWhatMoves) {
  // clang-format off
  const std::tuple<Effect, float, float, float, float, int, int> cases[] = {
      {E::Diffuse, 2550, 2100, 4500, 3000, 20, 20}, {E::Diffuse, -90000, -90000, 4500, 3000, 1, 1},
      {E::HorizontalSlide, -1200, 0, 12000, 2400, 27, 27}, {E::None, 0, 0, 4500, 3000, 0, 0},
      {E::HorizontalSlide, 0, 0, 9600, 2400, 1, 1}, {E(7), 0, 0, 4500, 3000, 0, 0},
      {E::HorizontalSlide, -6783.5f, 0, 9597, 2400, 32767, 32767},
      {E::HorizontalSlide, -6784, 0, 9597, 2400, 32767, 0}};
  // clang-format on
  Pixels background(1, 1), picture(1, 1, 5), canvas(1, 1);
  const TransitionSurfaces surfaces{background.view, picture.view, canvas.view};
  for (const auto& [effect, left, top, width, height, out, in] : cases) {
    for (const auto& [kind, frames] : {std::tuple(K::Out, out), {K::In, in}}) {
      Transition transition(kind, effect, {9600, 7200}, {left, top, width, height}, k96Dpi);
      for (std::vector<PixelRect> c; transition.DrawNextFrame(surfaces, c);) c.clear();
      EXPECT_EQ(transition.FramesDrawn(), frames) << left << (kind == K::In);
    }
  }
}

}  // namespace ruzir::test
