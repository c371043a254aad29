// The show's timing rules on a fake clock and a fake source: the first tick,
// the display time, a slow picture, a retry after a failure, after-images
// during a change, and two screens changing at once. Each screen is 400 x
// 200 pixels at 96 DPI and every slide 40 x 30 of its own colour, first
// centred at (180, 85); a drift step moves it 1 pixel right (4 right and 2
// down with after-images). Ticks come every 1/16 s, so that every time is
// exact, and a frame of the transitions under way after each; each half of a
// transition lasts 4 frames.
#include "show/slide_show.h"
#include "test_support.h"

namespace ruzir::test {
namespace {

using S = PictureSource::State;

// Each screen's requests take the next letter of its plan: 'r' ready at
// once, 's' ready 1.5 s later, 'f' failed; past the plan's end, 'r'.
struct FakeSource final : PictureSource {
  void Request(int screen, SlideFit fit) override {
    EXPECT_EQ(fit.windowHeight, 200);
    auto& [state, readyAt, asked] = slots[screen];
    if (state == S::Loading || state == S::Ready) return;
    const char next = asked < plans[screen].size() ? plans[screen][asked] : 'r';
    ++asked;
    state = next == 'f' ? S::Failed : S::Loading;
    readyAt = now + (next == 's' ? 1.5 : 0);
  }
  S StateOf(int screen) const override {
    const auto& [state, readyAt, asked] = slots.at(screen);
    return state == S::Loading && now >= readyAt ? S::Ready : state;
  }
  std::optional<Slide> Take(int screen) override {
    if (StateOf(screen) != S::Ready) return std::nullopt;
    std::get<S>(slots[screen]) = S::Idle;
    Slide slide{MemorySurface::Create(40, 30), {40, 30}, std::int16_t(++files)};
    Fill(slide.picture->view(), Colour(files));
    return slide;
  }
  void Forget(int screen) override { slots.erase(screen); }
  static std::uint32_t Colour(int file) { return 0xA0A000u + std::uint32_t(file); }

  std::map<int, std::string> plans;
  std::map<int, std::tuple<S, double, std::size_t>> slots;  // state, ready at, requests
  double now = 0;
  int files = 0;
};

// What a screen shows: '~' while its frames change between ticks, the files
// whose colours are on it, and where the newest is: "~1", "12@264,127", ".".
std::string Looks(const SurfaceView& frame, bool changing) {
  std::map<std::uint32_t, std::pair<int, int>> seen;  // file: its top-left pixel
  for (int y = frame.height - 1; y >= 0; --y) {
    for (int x = frame.width - 1; x >= 0; --x) {
      if (const std::uint32_t file = frame.At(x, y) - FakeSource::Colour(0); file < 100)
        seen[file] = {x, y};
    }
  }
  std::string looks = changing ? "~" : "";
  for (const auto& [file, at] : seen) looks += std::to_string(file);
  if (seen.empty() || changing) return seen.empty() ? "." : looks;
  const auto [x, y] = seen.rbegin()->second;
  return looks + "@" + std::to_string(x) + "," + std::to_string(y);
}

TEST(SlideShow, EachScreenChangesOnItsOwnClock) {
  struct Case {
    const char* name;
    std::int16_t interval, gost, effect;
    std::vector<std::string> plans;                        // one a screen
    std::vector<std::pair<double, std::string>> expected;  // after the tick at that time
  };
  // clang-format off
  const Case cases[] = {
      {"the first picture comes when it is there; the clock starts at the next tick",
       20, 0, 0, {"s"},
       {{1.4375, "."}, {1.5, "1@180,85"}, {1.5625, "1@180,85"}, {1.625, "1@181,85"}}},
      {"the display time ends, the next picture takes the place of the last and drifts on",
       1, 0, 0, {"rr"},
       {{1.0625, "1@196,85"}, {1.125, "2@197,85"}, {2.125, "2@213,85"}, {2.1875, "3@214,85"}}},
      {"a slow picture is waited for, drifting, and starts the display time when it comes",
       1, 0, 0, {"rs"},
       {{1.4375, "1@202,85"}, {1.5, "2@203,85"}, {2.5, "2@219,85"}, {2.5625, "3@220,85"}}},
      {"a change that finds no picture asks again for the next display time",
       1, 0, 0, {"rfr"}, {{2.125, "1@213,85"}, {2.1875, "2@214,85"}}},
      {"... and tries no sooner than a second later, however short that is",
       0, 0, 0, {"rfr"},
       {{0.125, "1@181,85"}, {1.125, "1@197,85"}, {1.1875, "2@198,85"}, {1.25, "3@199,85"}}},
      {"no first picture at all", 20, 0, 0, {"f"}, {{0, ". !"}}},
      {"after-images from the second tick on, under the pieces of a change too",
       1, 1, 2, {"rr"},
       {{0.0625, "."}, {0.125, "1@184,87"}, {1.125, "~1"}, {1.375, "~12"}, {1.625, "12@248,119"}}},
      {"two screens change at the same moment, each with its own next picture",
       1, 0, 1, {"rr", "rr"},
       {{1.0625, "1@196,85 2@196,85"}, {1.125, "~1 ~2"}, {1.375, "~3 ~4"},
        {1.6875, "3@199,85 4@199,85"}}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings settings;
    std::tie(settings.Interval, settings.Gost, settings.Break) =
        std::tuple(c.interval, c.gost, c.effect);
    FakeSource source;
    FixedUniform random({0.5f});
    SlideShow show(settings, Effect(c.effect), source, random, 4);
    struct Screen {
      Pixels persistent{400, 200}, frame{400, 200};  // made in place: views into their own pixels
    };
    std::vector<Screen> screens(c.plans.size());
    std::vector<int> ids;
    for (std::size_t i = 0; i < screens.size(); ++i) {
      source.plans[int(i) + 1] = c.plans[i];
      auto& [persistent, frame] = screens[i];
      ids.push_back(show.AddScreen(persistent.view, frame.view, {15, 15}));
      EXPECT_EQ(frame.view.At(0, 0), PixelFromColor(settings.BackColor));
    }
    for (std::size_t k = 0, next = 0; next < c.expected.size(); ++k) {
      source.now = double(k) / 16;
      show.Tick(source.now);
      for (const int id : ids) show.TakeRepaint(id);
      if (show.Transitioning()) show.NextFrame(source.now + 0.03);
      const auto& [time, expected] = c.expected[next];
      if (k != std::size_t(time * 16)) continue;
      std::string looks;
      for (std::size_t i = 0; i < screens.size(); ++i) {
        const bool changing = !show.TakeRepaint(ids[i]).empty();
        looks += (i ? " " : "") + Looks(screens[i].frame.view, changing);
      }
      EXPECT_EQ(looks + (show.NoPicture() ? " !" : ""), expected) << time;
      ++next;
    }
    show.RemoveScreen(ids.back());  // its monitor has gone, and what it asked for
    EXPECT_EQ(source.slots.count(ids.back()), 0u);
  }
}

}  // namespace
}  // namespace ruzir::test
