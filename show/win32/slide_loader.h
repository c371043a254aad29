// The slides of the full-screen show, as the read-ahead worker makes them
// for every monitor.
//
// The worker loads with its own things: a COM apartment of its own (the
// multithreaded one, as it has no message loop) and one set of codecs, made
// at its first load, and one picker with its own random draws, seeded from
// the show's. It never touches a window.
#pragma once

#include <cstdint>

#include <optional>
#include <string>

#include "show/image_list.h"
#include "show/read_ahead.h"
#include "show/slide.h"
#include "show/win32/picture_decoder.h"
#include "support/units.h"

namespace ruzir::win32 {

// Loads `file` as a slide for a window `windowHeight` pixels high: upright,
// at its shown size; nullopt when it cannot be loaded.
std::optional<Slide> LoadSlide(const PictureDecoder& decoder, const std::wstring& file,
                               int windowHeight, TwipsScale scale);

// Draws pictures of `images` until one loads and makes it a slide for the
// order's window; nullopt when none can be loaded now. `images` must outlive
// the ReadAhead the loader is given to.
ReadAhead::Produce SlideLoader(const ImageList& images, std::uint32_t seed);

}  // namespace ruzir::win32
