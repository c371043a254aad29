// Speed of the show's own pixel work, natively: a frame memcpy as the limit
// of any full-frame work, one drift tick's composition, the first frame's
// full restore and the frames of each transition at common screen sizes.
// Read the figures of a screen size as ratios to BM_FrameMemcpy of the same
// size. (Loading a camera picture, resampling included, is timed where it
// runs, by bench/load-bench.sh.)
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "show/slide.h"
#include "show/transition.h"
#include "support/surface.h"

namespace ruzir {
namespace {

// A surface as the show has them: a separate, page-aligned block, like a
// bitmap section. Two heap blocks allocated back to back can land a few
// bytes apart modulo 4096, and row copies between them then stall on 4K
// aliasing, which would make the figures say nothing about the show.
struct Canvas {
  static constexpr std::align_val_t kPage{4096};
  Canvas(PixelSize size, std::uint32_t pixel)
      : bytes(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 4),
        block(static_cast<std::uint32_t*>(::operator new(bytes, kPage))),
        view{block.get(), size.width, size.height} {
    Fill(view, pixel);
  }
  std::size_t bytes;
  std::unique_ptr<std::uint32_t, decltype([](void* p) { ::operator delete(p, kPage); })> block;
  SurfaceView view;
};

PixelSize ScreenSize(const benchmark::State& s) { return {int(s.range(0)), int(s.range(1))}; }

void ScreenSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"width", "height"})->Args({1920, 1080})->Args({3840, 2160});
}

void BM_FrameMemcpy(benchmark::State& state) {
  const Canvas from(ScreenSize(state), 0x400040), to(ScreenSize(state), 0);
  for (auto _ : state) {
    std::memcpy(to.view.pixels, from.view.pixels, from.bytes);
    benchmark::DoNotOptimize(to.view.pixels);
  }
}
BENCHMARK(BM_FrameMemcpy)->Apply(ScreenSizes)->Unit(benchmark::kMicrosecond);

// The one full restore a transition makes, in its first frame.
void BM_FullRestore(benchmark::State& state) {
  const Canvas background(ScreenSize(state), 0x400040), canvas(ScreenSize(state), 0);
  for (auto _ : state) {
    CopyArea(background.view, canvas.view, {0, 0, canvas.view.width, canvas.view.height});
    benchmark::DoNotOptimize(canvas.view.pixels);
  }
}
BENCHMARK(BM_FullRestore)->Apply(ScreenSizes)->Unit(benchmark::kMicrosecond);

// A tick: the picture steps on; the area it left and the area it covers are
// composed again from the persistent picture and the picture itself.
void BM_DriftTick(benchmark::State& state) {
  const PixelSize window = ScreenSize(state);
  const PixelSize shown = SlidePixelSize({6000, 4000}, window.height, {});
  const Canvas persistent(window, 0x400040), frame(window, 0x400040), picture(shown, 0x2080C0);
  PixelRect place = CentredPlacement(shown, window, {});
  bool up = false, left = false;
  for (auto _ : state) {
    const PixelRect next = DriftPlacement(place, window, {}, DriftStep(0), up, left);
    Compose(persistent.view, picture.view, next.left, next.top, frame.view, Union(place, next));
    place = next;
    benchmark::DoNotOptimize(frame.view.pixels);
  }
}
BENCHMARK(BM_DriftTick)->Apply(ScreenSizes)->Unit(benchmark::kMicrosecond);

// One whole outgoing transition of a camera picture centred on the screen.
// frame_time is the mean cost of one frame, the first frame's full restore
// included; frames_out and frames_in count the frames of the two halves.
void BM_TransitionFrames(benchmark::State& state) {
  const auto effect = static_cast<Effect>(state.range(2));
  const PixelSize window = ScreenSize(state);
  const TwipsScale scale{};  // 96 DPI: 15 twips a pixel
  const PixelSize shown = SlidePixelSize({6000, 4000}, window.height, scale);
  const PixelRect at = CentredPlacement(shown, window, scale);
  const TwipsSize windowTwips{window.width * 15.0f, window.height * 15.0f};
  const TwipsRect placeTwips{at.left * 15.0f, at.top * 15.0f, shown.width * 15.0f,
                             shown.height * 15.0f};
  const Canvas background(window, 0x400040), canvas(window, 0x400040), picture(shown, 0x2080C0);
  const TransitionSurfaces surfaces{background.view, picture.view, canvas.view};
  std::vector<PixelRect> changed;
  double frames = 0;
  for (auto _ : state) {
    Transition out(Transition::Kind::Out, effect, windowTwips, placeTwips, scale);
    while (out.DrawNextFrame(surfaces, changed)) changed.clear();
    frames += out.FramesDrawn();
    state.counters["frames_out"] = out.FramesDrawn();
  }
  Transition in(Transition::Kind::In, effect, windowTwips, placeTwips, scale);
  while (in.DrawNextFrame(surfaces, changed)) changed.clear();
  state.counters["frames_in"] = in.FramesDrawn();
  state.counters["frame_time"] =
      benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TransitionFrames)->Apply([](benchmark::internal::Benchmark* b) {
  b->ArgNames({"width", "height", "effect"})->Unit(benchmark::kMillisecond);
  for (const int effect : {1, 2, 3}) b->Args({1920, 1080, effect})->Args({3840, 2160, effect});
});

}  // namespace
}  // namespace ruzir
