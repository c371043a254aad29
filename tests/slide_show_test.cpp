// The show's timing rules on a fake clock and source, then the read-ahead
// worker over a fake loader. Screens are 400 x 200 pixels at 96 DPI, slides
// 40 x 30 of their own colour, first centred at (180, 85); a drift step moves
// one 1 pixel right (4 right and 2 down with after-images). Ticks come every
// 1/16 s, so that every time is exact, each followed by a frame of the
// transitions under way; each half of a transition lasts 4 frames.
#include <condition_variable>
#include <mutex>
#include <thread>

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
  // Interval, Gost, Break; each screen's plan; what they show after the tick at that time.
  using Case = std::tuple<const char*, std::int16_t, std::int16_t, std::int16_t,
                          std::vector<std::string>, std::vector<std::pair<double, std::string>>>;
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
  for (const auto& [name, interval, gost, effect, plans, checks] : cases) {
    SCOPED_TRACE(name);
    Settings settings;
    std::tie(settings.Interval, settings.Gost, settings.Break) = std::tuple(interval, gost, effect);
    FakeSource source;
    FixedUniform random({0.5f});
    SlideShow show(settings, Effect(effect), source, random, 4);
    struct Screen {
      Pixels persistent{400, 200}, frame{400, 200};  // made in place: views into their own pixels
    };
    std::vector<Screen> screens(plans.size());
    std::vector<int> ids;
    for (std::size_t i = 0; i < screens.size(); ++i) {
      source.plans[int(i) + 1] = plans[i];
      auto& [persistent, frame] = screens[i];
      ids.push_back(show.AddScreen(persistent.view, frame.view, {15, 15}));
      EXPECT_EQ(frame.view.At(0, 0), PixelFromColor(settings.BackColor));
    }
    for (std::size_t k = 0, next = 0; next < checks.size(); ++k) {
      source.now = double(k) / 16;
      show.Tick(source.now);
      for (const int id : ids) show.TakeRepaint(id);
      if (show.Transitioning()) show.NextFrame(source.now + 0.03);
      const auto& [time, expected] = checks[next];
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

// Each load takes the next outcome: a slide of that file, none (0), or an
// exception (-1); it waits while the gate is shut and notes what it was asked.
struct FakeLoader {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> outcomes;
  std::vector<std::pair<int, std::vector<std::int16_t>>> orders;  // height, avoid
  bool open = true, atGate = false;
  std::optional<std::thread::id> destroyedOn;  // of the loader's state, read once joined

  void Set(bool& flag, bool value) {
    const std::lock_guard lock(mutex);
    flag = value, changed.notify_all();
  }
  void WaitFor(const bool& flag) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return flag; });
  }
  ReadAhead::Produce Produce() {
    const std::shared_ptr<void> tools(nullptr,
                                      [this](void*) { destroyedOn = std::this_thread::get_id(); });
    return [this, tools](const ReadAhead::Order& order) -> std::optional<Slide> {
      Set(atGate, true);
      WaitFor(open);
      const std::lock_guard lock(mutex);
      atGate = false;
      orders.emplace_back(order.fit.windowHeight, order.avoid);
      const int outcome = outcomes.at(orders.size() - 1);
      if (outcome < 0) throw std::bad_alloc();
      if (outcome == 0) return std::nullopt;
      return Slide{MemorySurface::Create(1, 1), {1, 1}, std::int16_t(outcome)};
    };
  }
};

TEST(ReadAhead, EachScreensSlidesAvoidingWhatTheOthersShow) {
  FakeLoader fake;
  fake.outcomes = {7, 0, -1, 9, 5, 6, 8};
  std::optional<ReadAhead> ahead(std::in_place, fake.Produce());
  // Screen, its height: the state the load ends in, the file taken, and the
  // files the load was to avoid (those shown or ready on other screens).
  using Avoid = std::vector<std::int16_t>;
  const std::tuple<int, int, S, int, Avoid> steps[] = {
      {1, 100, S::Ready, 7, {}},  {2, 200, S::Failed, 0, {7}}, {2, 200, S::Failed, 0, {7}},
      {2, 300, S::Ready, 9, {7}}, {1, 100, S::Ready, 5, {9}},  {2, 300, S::Ready, 6, {5}}};
  for (const auto& [screen, height, state, file, avoid] : steps) {
    ahead->Request(screen, {height, {15, 15}});
    EXPECT_EQ(ahead->Wait(screen), state) << file;
    if (state == S::Ready) ahead->Request(screen, {999, {15, 15}});  // loads nothing more
    const auto slide = ahead->Take(screen);
    EXPECT_EQ(slide ? slide->file : 0, file);
    EXPECT_EQ(ahead->StateOf(screen), slide ? S::Idle : state);
    EXPECT_EQ(fake.orders.back(), std::pair(height, avoid)) << file;
  }
  EXPECT_EQ(fake.orders.size(), 6u);
  // A ready slide of screen 1 is avoided too; screen 2 gone, so is its file.
  ahead->Request(1, {100, {15, 15}});
  EXPECT_EQ(ahead->Wait(1), S::Ready);
  ahead->Forget(2);
  fake.Set(fake.open, false);
  ahead->Request(3, {50, {15, 15}});
  fake.WaitFor(fake.atGate);
  EXPECT_TRUE(ahead->StateOf(3) == S::Loading && !ahead->Take(3));
  ahead->Forget(3);  // while its load waits: the slide is thrown away
  fake.Set(fake.open, true);
  EXPECT_EQ(ahead->Wait(3), S::Idle);
  ahead.reset();
  EXPECT_EQ(fake.orders.back(), std::pair(50, Avoid{5, 8}));
  EXPECT_NE(fake.destroyedOn, std::this_thread::get_id());  // on the worker, where it was used
}

}  // namespace ruzir::test
