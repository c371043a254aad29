#include "show/frame_composer.h"

#include <numeric>

#include "test_support.h"

namespace ruzir::test {
namespace {

constexpr int kW = 8, kH = 6;
constexpr PixelRect kStart{1, 1, 3, 3};            // where the picture is first shown
constexpr std::uint32_t kUnwritten = 0xFFFFFFFFu;  // no pixel a composition makes
constexpr std::uint32_t Background(int x, int y) { return 0x100u + y * kW + x; }
constexpr std::uint32_t Picture(int x, int y) { return 0xA00u + y * 2 + x; }

// A 2 x 2 picture shown at (1, 1) and composed; then only the changes of
// each case are composed, and every pixel is checked against the layers:
// the picture where it is shown, else the persistent picture with whatever
// was stamped on it; untouched pixels stay unwritten.
TEST(FrameComposer, PresentComposesOnlyWhatChangedFromBothLayers) {
  // A transition frame, a stamp, hiding, done in this order, then the move: the repainted area.
  const std::tuple<const char*, bool, bool, bool, PixelRect, PixelRect> cases[] = {
      {"nothing", false, false, false, {}, {}},
      {"hidden", false, false, true, {}, {1, 1, 3, 3}},
      {"moved", false, false, false, {4, 2, 6, 4}, {1, 1, 6, 4}},
      {"moved partly out", false, false, false, {7, 5, 9, 7}, {1, 1, 8, 6}},
      {"moved up and left", false, false, false, {0, 0, 2, 2}, {0, 0, 3, 3}},
      {"hidden, then moved", false, false, true, {5, 3, 7, 5}, {1, 1, 3, 3}},
      {"stamped, then hidden", false, true, true, {}, {1, 1, 3, 3}},
      {"stamped, then moved", false, true, false, {5, 1, 7, 3}, {1, 1, 7, 3}},
      {"transition frame, then hidden", true, false, true, {}, {0, 0, kW, kH}}};
  for (const auto& [name, transition, stamp, hide, moveTo, repainted] : cases) {
    SCOPED_TRACE(name);
    std::vector<std::uint32_t> persistent(kW * kH), frame(kW * kH),
        picture{Picture(0, 0), Picture(1, 0), Picture(0, 1), Picture(1, 1)};
    std::iota(persistent.begin(), persistent.end(), Background(0, 0));
    static int flushes;  // the platform is told before each write
    flushes = 0;
    FrameComposer composer({persistent.data(), kW, kH}, {frame.data(), kW, kH}, [] { ++flushes; });
    composer.PutPicture({picture.data(), 2, 2}, {2, 2});
    composer.Move(kStart);
    composer.SetVisible(true);
    ASSERT_EQ(composer.Present(), kStart);
    frame.assign(frame.size(), kUnwritten);
    Transition out(Transition::Kind::Out, Effect::Diffuse, {120, 90}, {15, 15, 30, 30}, {}, 1);
    std::vector<PixelRect> changed{{-9, -9, -8, -8}};  // stale: each frame reports afresh
    ASSERT_TRUE(!transition || composer.DrawTransitionFrame(out, changed));
    EXPECT_TRUE(!transition || changed.front().left >= 0);
    EXPECT_FALSE(transition && composer.DrawTransitionFrame(out, changed));  // its one frame
    if (stamp) composer.StampAfterImage();
    if (hide) composer.SetVisible(false);
    if (!moveTo.Empty()) composer.Move(moveTo);
    if (transition) {
      const auto canvas = frame;
      EXPECT_TRUE(composer.Present().Empty());
      EXPECT_EQ(frame, canvas) << "composed over the break canvas";
      composer.HideBreakCanvas();
    }
    ASSERT_EQ(composer.Present(), repainted);
    const PixelRect& at = composer.place();
    ExpectPixels({frame.data(), kW, kH}, name, [&](int x, int y) {
      return !In(repainted, x, y)        ? kUnwritten
             : !hide && In(at, x, y)     ? Picture(x - at.left, y - at.top)
             : stamp && In(kStart, x, y) ? Picture(x - kStart.left, y - kStart.top)
                                         : Background(x, y);
    });
    EXPECT_EQ(flushes, 1 + 2 * transition + stamp + !repainted.Empty());
  }
}

}  // namespace
}  // namespace ruzir::test
