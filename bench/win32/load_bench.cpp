// Speed of the platform-bound work, run where the show runs (Windows, or
// Wine here): the pacing of transition frames, loading a camera JPEG to the
// size it is shown at against merely decoding it at full size, and listing a
// large folder. bench/load-bench.sh makes the JPEG and the folder.
// Each figure is the median of several runs. The memory one load takes is
// measured in a process of its own: the system keeps one peak per process.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "show/image_list.h"
#include "show/slide.h"
#include "show/win32/file_search.h"
#include "show/win32/frame_pacer.h"
#include "show/win32/picture_decoder.h"
#include "support/win32/com.h"
#include "support/win32/dib_surface.h"

namespace ruzir::win32 {
namespace {

double MedianMilliseconds(int runs, const std::function<void()>& work) {
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

int Run(const std::wstring& camera, const std::wstring& folder) {
  const com_apartment apartment;
  FramePacer pacer;  // 120 frames are 2 s at 60 Hz
  pacer.Start();
  const double pacedMs = MedianMilliseconds(1, [&] {
    for (int i = 0; i < 120; ++i) pacer.WaitForNextFrame();
  });
  std::printf("120 paced frames: %.0f ms (%.2f ms a frame)\n", pacedMs, pacedMs / 120);

  const auto decoder = PictureDecoder::Create();
  if (!decoder) return 1;
  bool loaded = true;
  auto load = [&](int screenHeight) {  // 0: at the picture's own size
    return MedianMilliseconds(5, [&] {
      const auto opened = decoder->Open(camera);
      if (!opened) return void(loaded = false);
      const PixelSize shown =
          screenHeight ? SlidePixelSize(opened->size, screenHeight, {}) : opened->size;
      auto target = DibSurface::Create(shown.width, shown.height);
      loaded = loaded && target && decoder->DecodeInto(*opened, target->view());
    });
  };
  // A 1080-pixel screen's slide lets the codec decode at a fraction of the
  // size; the picture's own size needs every pixel decoded.
  const double slideMs = load(1080);
  const double fullMs = load(0);
  std::printf("load the JPEG to a 1080p slide: %.1f ms; at full size: %.1f ms; ratio %.2f%s\n",
              slideMs, fullMs, slideMs / fullMs, loaded ? "" : " (FAILED)");

  FileSearch search;
  int count = 0;
  const double listMs =
      MedianMilliseconds(3, [&] { count = BuildImageList(folder, search).Count(); });
  std::printf("BuildImageList: %.1f ms (%d listed)\n", listMs, count);
  return loaded ? 0 : 1;
}

int PeakOfOneLoad(const std::wstring& camera, int screenHeight) {
  const com_apartment apartment;
  const auto decoder = PictureDecoder::Create();
  PROCESS_MEMORY_COUNTERS before{}, after{};
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof before);
  const auto opened = decoder ? decoder->Open(camera) : std::nullopt;
  const PixelSize shown = opened ? SlidePixelSize(opened->size, screenHeight, {}) : PixelSize{};
  auto target = DibSurface::Create(shown.width, shown.height);
  const bool loaded = target && decoder->DecodeInto(*opened, target->view());
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof after);
  const auto mib = [](std::size_t bytes) { return static_cast<double>(bytes) / (1 << 20); };
  std::printf("one load to a %dx%d slide: peak working set +%.0f MiB, peak commit +%.0f MiB%s\n",
              shown.width, shown.height, mib(after.PeakWorkingSetSize - before.WorkingSetSize),
              mib(after.PeakPagefileUsage - before.PagefileUsage), loaded ? "" : " (FAILED)");
  return loaded ? 0 : 1;
}

}  // namespace
}  // namespace ruzir::win32

// ruzir_bench_win CAMERA.jpg FOLDER\\ (bench/load-bench.sh makes both), or
// ruzir_bench_win CAMERA.jpg SCREEN-HEIGHT for the memory of one load.
int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const int height = _wtoi(argv[2]);
  return height > 0 ? ruzir::win32::PeakOfOneLoad(argv[1], height)
                    : ruzir::win32::Run(argv[1], argv[2]);
}
