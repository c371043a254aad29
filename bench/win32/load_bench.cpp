// Speed of the platform-bound work, run where the show runs (Windows, or
// Wine here): the pacing of transition frames, loading a camera JPEG to the
// size it is shown at against merely decoding it at full size, and listing a
// large folder. bench/load-bench.sh makes the JPEG and the folder.
// Each figure is the median of several runs.
#include <windows.h>

#include <algorithm>
#include <chrono>
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

}  // namespace
}  // namespace ruzir::win32

// ruzir_bench_win CAMERA.jpg FOLDER\\ (bench/load-bench.sh makes both)
int wmain(int argc, wchar_t** argv) { return argc == 3 ? ruzir::win32::Run(argv[1], argv[2]) : 2; }
