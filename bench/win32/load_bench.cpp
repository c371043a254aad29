// Speed of the platform-bound work, run where the show runs (Windows, or
// Wine here): the pacing of transition frames and loading a camera JPEG to
// the size it is shown at. bench/load-bench.sh makes the JPEG. (Listing a
// large folder is timed with the show's start, by bench/show-bench.sh.)
// Each figure is the median of several runs. The memory one load takes is
// measured in a process of its own: the system keeps one peak per process.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "show/win32/frame_pacer.h"
#include "show/win32/slide_loader.h"
#include "support/win32/com.h"

namespace ruzir::win32 {
namespace {

template <typename Work>
double MedianMilliseconds(int runs, Work work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    times.push_back(took.count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The camera picture loaded as the read-ahead worker loads it, to a slide
// for a screen `height` pixels high: its size, empty when it fails.
PixelSize LoadCamera(const std::optional<PictureDecoder>& decoder, const std::wstring& camera,
                     int height) {
  const auto slide = decoder ? LoadSlide(*decoder, camera, height, {}) : std::nullopt;
  return slide && slide->picture ? slide->size : PixelSize{};
}

}  // namespace
}  // namespace ruzir::win32

// ruzir_bench_win CAMERA.jpg (bench/load-bench.sh makes it), or
// ruzir_bench_win CAMERA.jpg SCREEN-HEIGHT for the memory of one load.
int wmain(int argc, wchar_t** argv) {
  using namespace ruzir::win32;
  if (argc < 2) return 2;
  const com_apartment apartment;
  const auto decoder = PictureDecoder::Create();
  if (argc > 2) {
    PROCESS_MEMORY_COUNTERS before{}, after{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof before);
    const ruzir::PixelSize shown = LoadCamera(decoder, argv[1], _wtoi(argv[2]));
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof after);
    const auto mib = [](std::size_t bytes) { return static_cast<double>(bytes) / (1 << 20); };
    std::printf("one load to a %dx%d slide: peak working set +%.0f MiB, peak commit +%.0f MiB%s\n",
                shown.width, shown.height, mib(after.PeakWorkingSetSize - before.WorkingSetSize),
                mib(after.PeakPagefileUsage - before.PagefileUsage),
                shown.width ? "" : " (FAILED)");
    return shown.width ? 0 : 1;
  }
  FramePacer pacer;  // 120 frames are 2 s at 60 Hz
  pacer.Start();
  const double pacedMs = MedianMilliseconds(1, [&] {
    for (int i = 0; i < 120; ++i) {
      while (!pacer.WaitForFrame()) {
      }
    }
  });
  std::printf("120 paced frames: %.0f ms (%.2f ms a frame)\n", pacedMs, pacedMs / 120);
  bool loaded = true;
  const double slideMs = MedianMilliseconds(5, [&] {
    loaded = LoadCamera(decoder, argv[1], 1080).width && loaded;  // a 1080-pixel screen's
  });
  std::printf("load the JPEG to a 1080p slide: %.1f ms%s\n", slideMs, loaded ? "" : " (FAILED)");
  return loaded ? 0 : 1;
}
