#include "show/win32/slide_loader.h"

#include <windows.h>

#include <memory>
#include <optional>

#include "support/random.h"
#include "support/win32/com.h"

namespace ruzir::win32 {
namespace {

// What the worker loads with. Made on the worker at its first load and
// destroyed there: the codecs go before their apartment.
struct WorkerTools {
  com_apartment apartment{COINIT_MULTITHREADED};
  std::optional<PictureDecoder> decoder = PictureDecoder::Create();
};

}  // namespace

std::optional<Slide> LoadSlide(const PictureDecoder& decoder, const std::wstring& file,
                               int windowHeight, TwipsScale scale) {
  const auto opened = decoder.Open(file);
  if (!opened) return std::nullopt;
  Slide slide;
  slide.size = SlidePixelSize(opened->size, windowHeight, scale);
  if (slide.size.width > 0 && slide.size.height > 0) {
    slide.picture = MemorySurface::Create(slide.size.width, slide.size.height);
    if (!slide.picture || !decoder.DecodeInto(*opened, slide.picture->view())) return std::nullopt;
  }
  return slide;
}

ReadAhead::Produce SlideLoader(const ImageList& images, std::uint32_t seed) {
  // Shared by the copies std::function makes, which all happen before the
  // worker's first call.
  struct State {
    Random random;
    ImagePicker picker;
    std::unique_ptr<WorkerTools> tools;
  };
  auto state = std::make_shared<State>(State{Random(seed), ImagePicker(images.Count()), nullptr});
  return [&images, state](const ReadAhead::Order& order) -> std::optional<Slide> {
    if (!state->tools) {
      // The show's drift and transitions come first, even on a single core.
      ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
      state->tools = std::make_unique<WorkerTools>();
    }
    if (!state->tools->decoder) return std::nullopt;
    const PictureDecoder& decoder = *state->tools->decoder;
    std::optional<Slide> slide;
    const auto file = state->picker.PickAndLoad(
        state->random,
        [&](std::int16_t index) {
          slide = LoadSlide(decoder, images.File(index), order.fit.windowHeight, order.fit.scale);
          return slide.has_value();
        },
        order.avoid);
    if (slide && file) slide->file = *file;
    return slide;
  };
}

}  // namespace ruzir::win32
