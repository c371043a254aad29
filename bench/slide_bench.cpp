// Speed of the show's own pixel work, natively: one drift tick's composition
// and the frames of each transition at common screen sizes, the resampling of
// a camera picture, and the filtering of a large folder's listing.
#include <benchmark/benchmark.h>

#include <vector>

#include "show/image_list.h"
#include "show/resample.h"
#include "show/slide.h"
#include "support/surface.h"
#include "show/transition.h"

namespace ruzir {
namespace {

struct Canvas {
  Canvas(int width, int height, std::uint32_t pixel)
      : pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), pixel),
        view{pixels.data(), width, height} {}
  std::vector<std::uint32_t> pixels;
  SurfaceView view;
};

// What a tick does to the frame: the picture steps on, and the area it left
// and the area it covers are composed again from the persistent picture and
// the picture itself.
void BM_DriftTick(benchmark::State& state) {
  const PixelSize window{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
  const PixelSize shown = SlidePixelSize({6000, 4000}, window.height, {});
  Canvas persistent(window.width, window.height, 0x400040);
  Canvas frame(window.width, window.height, 0x400040);
  Canvas picture(shown.width, shown.height, 0x2080C0);
  PixelRect place = CentredPlacement(shown, window, {});
  bool up = false;
  bool left = false;
  for (auto _ : state) {
    const PixelRect next = DriftPlacement(place, window, {}, DriftStep(0), up, left);
    Compose(persistent.view, picture.view, next.left, next.top, frame.view, Union(place, next));
    place = next;
    benchmark::DoNotOptimize(frame.pixels.data());
  }
  state.counters["picture_px"] = static_cast<double>(shown.width) * shown.height;
}
BENCHMARK(BM_DriftTick)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

// The filtered resampling that follows decoding: a 6000 x 4000 picture to a
// 1080-pixel-high screen's slide.
void BM_ResampleCameraPicture(benchmark::State& state) {
  const int sourceWidth = static_cast<int>(state.range(0));
  const int sourceHeight = static_cast<int>(state.range(1));
  Canvas source(sourceWidth, sourceHeight, 0);
  for (std::size_t i = 0; i < source.pixels.size(); ++i) {
    source.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFFu;
  }
  const PixelSize shown = SlidePixelSize({6000, 4000}, 1080, {});
  Canvas target(shown.width, shown.height, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Resample(source.view, target.view));
  }
}
// Full size, and the half, quarter and eighth a codec decodes at itself.
BENCHMARK(BM_ResampleCameraPicture)
    ->Args({6000, 4000})
    ->Args({3000, 2000})
    ->Args({1500, 1000})
    ->Args({750, 500})
    ->Unit(benchmark::kMillisecond);

// The frames of one whole outgoing transition of a camera picture centred on
// the screen. frame_time is the mean cost of composing one frame (restore
// where pieces were, draw every piece); the first frame's full restore is
// included. frames_out and frames_in count the frames of the two halves, and
// seconds_at_60Hz the time the whole change takes at one frame a refresh.
void BM_TransitionFrames(benchmark::State& state) {
  const auto effect = static_cast<Effect>(state.range(0));
  const PixelSize window{static_cast<int>(state.range(1)), static_cast<int>(state.range(2))};
  const TwipsScale scale{};
  const PixelSize shown = SlidePixelSize({6000, 4000}, window.height, scale);
  const PixelRect place = CentredPlacement(shown, window, scale);
  const TwipsSize windowTwips{TwipsFromPixels(window.width, scale.x),
                              TwipsFromPixels(window.height, scale.y)};
  const TwipsRect placeTwips{
      TwipsFromPixels(place.left, scale.x), TwipsFromPixels(place.top, scale.y),
      TwipsFromPixels(shown.width, scale.x), TwipsFromPixels(shown.height, scale.y)};
  Canvas background(window.width, window.height, 0x400040);
  Canvas canvas(window.width, window.height, 0x400040);
  Canvas picture(shown.width, shown.height, 0x2080C0);
  const TransitionSurfaces surfaces{background.view, picture.view, canvas.view};
  std::vector<PixelRect> changed;
  double frames = 0;
  int framesOut = 0;
  for (auto _ : state) {
    Transition out(Transition::Kind::Out, effect, windowTwips, placeTwips, scale);
    while (out.DrawNextFrame(surfaces, changed)) changed.clear();
    frames += out.FramesDrawn();
    framesOut = out.FramesDrawn();
  }
  Transition in(Transition::Kind::In, effect, windowTwips, placeTwips, scale);
  while (in.DrawNextFrame(surfaces, changed)) changed.clear();
  state.counters["frame_time"] =
      benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["frames_out"] = framesOut;
  state.counters["frames_in"] = in.FramesDrawn();
  state.counters["seconds_at_60Hz"] = (framesOut + in.FramesDrawn()) / 60.0;
}
BENCHMARK(BM_TransitionFrames)
    ->ArgNames({"effect", "width", "height"})
    ->Args({1, 1920, 1080})
    ->Args({2, 1920, 1080})
    ->Args({3, 1920, 1080})
    ->Args({1, 3840, 2160})
    ->Args({2, 3840, 2160})
    ->Args({3, 3840, 2160})
    ->Unit(benchmark::kMillisecond);

// The one full restore a transition makes, in its first frame.
void BM_FullRestore(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  Canvas background(width, height, 0x400040);
  Canvas canvas(width, height, 0);
  for (auto _ : state) {
    CopyArea(background.view, canvas.view, {0, 0, width, height});
    benchmark::DoNotOptimize(canvas.pixels.data());
  }
}
BENCHMARK(BM_FullRestore)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

class ListedFolder final : public DirectorySearch {
 public:
  explicit ListedFolder(int files) {
    for (int i = 0; i < files; ++i) {
      const wchar_t* extensions[] = {L".jpg", L".JPG", L".png", L".jpeg"};
      entries_.push_back({L"IMG_" + std::to_wstring(10000 + i) + extensions[i % 4], 0x20});
    }
  }
  void Find(std::wstring_view, std::wstring_view,
            const std::function<bool(const DirectoryEntry&)>& found) override {
    for (const auto& entry : entries_) {
      if (!found(entry)) return;
    }
  }

 private:
  std::vector<DirectoryEntry> entries_;
};

// The list's own work on 30,000 names per pattern, without the file system.
void BM_BuildImageListFiltering(benchmark::State& state) {
  ListedFolder folder(30000);
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildImageList(L"C:\\Users\\me\\Pictures\\", folder).Count());
  }
}
BENCHMARK(BM_BuildImageListFiltering)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ruzir
