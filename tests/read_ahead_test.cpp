// The read-ahead worker over a fake loader: each screen's slides in the
// order asked, failures reported and asked again, the files other screens
// show avoided, a forgotten screen's load thrown away, and the loader's
// state destroyed on the worker.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "show/read_ahead.h"
#include "test_support.h"

namespace ruzir::test {
using S = PictureSource::State;

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
  EXPECT_EQ(ahead->StateOf(1), S::Idle);
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
  EXPECT_EQ(ahead->StateOf(3), S::Loading);
  EXPECT_FALSE(ahead->Take(3));
  ahead->Forget(3);  // while its load waits: the slide is thrown away
  fake.Set(fake.open, true);
  EXPECT_EQ(ahead->Wait(3), S::Idle);
  ahead.reset();
  EXPECT_EQ(fake.orders.back(), std::pair(50, Avoid{5, 8}));
  EXPECT_NE(fake.destroyedOn, std::this_thread::get_id());  // on the worker, where it was used
}

}  // namespace ruzir::test
