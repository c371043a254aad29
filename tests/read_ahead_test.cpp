// The read-ahead worker over a fake decoder: slides in order, failures
// reported and asked again, the window's thread never held up, and a shut-
// down that does not wait for a load.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "show/read_ahead.h"
#include "test_support.h"

namespace ruzir::test {
using S = ReadAhead::State;

// Each load takes the next outcome: a slide that wide, none (0), or an
// exception (-1); it waits while the gate is shut.
struct FakeDecoder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> outcomes;
  bool open = true;
  std::size_t loads = 0;
  std::optional<std::thread::id> destroyedOn;  // of the loader's state

  ~FakeDecoder() { DestroyedOn(); }  // the worker outlives its owner, not the test's fakes
  std::thread::id DestroyedOn() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return destroyedOn.has_value(); });
    return *destroyedOn;
  }
  void Open(bool value) {
    const std::lock_guard lock(mutex);
    open = value;
    changed.notify_all();
  }
  ReadAhead::Produce Produce() {
    // The loader's state goes with the last copy of the function.
    const std::shared_ptr<void> tools(nullptr, [this](void*) {
      const std::lock_guard lock(mutex);
      destroyedOn = std::this_thread::get_id();
      changed.notify_all();
    });
    return [this, tools]() -> std::optional<Slide> {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return open; });
      const int outcome = outcomes.at(loads++);
      if (outcome < 0) throw std::bad_alloc();
      if (outcome == 0) return std::nullopt;
      return Slide{MemorySurface::Create(outcome, 1), {outcome, 1}};
    };
  }
};

TEST(ReadAhead, SlidesFailuresAndAnEndThatDoesNotWait) {
  FakeDecoder fake;
  fake.outcomes = {7, 0, -1, 9, 5, 6};
  std::optional<ReadAhead> ahead(std::in_place, fake.Produce());
  EXPECT_EQ(ahead->state(), S::Idle);
  const std::pair<S, int> steps[] = {{S::Ready, 7}, {S::Failed, 0}, {S::Failed, 0}, {S::Ready, 9}};
  for (const auto& [state, width] : steps) {
    ahead->Request();
    EXPECT_EQ(ahead->Wait(), state) << width;
    if (state == S::Ready) ahead->Request();  // loads nothing more
    const auto slide = ahead->Take();
    EXPECT_EQ(slide && slide->picture ? slide->picture->view().width : 0, width);
    EXPECT_EQ(ahead->state(), slide ? S::Idle : state);
  }
  EXPECT_EQ(fake.loads, 4u);
  fake.Open(false);
  ahead->Request();
  EXPECT_EQ(ahead->state(), S::Loading);
  EXPECT_FALSE(ahead->Take());
  fake.Open(true);
  EXPECT_EQ(ahead->Wait(), S::Ready);
  ASSERT_TRUE(ahead->Take());
  fake.Open(false);
  ahead->Request();
  ahead.reset();  // while the worker waits in a load
  fake.Open(true);
  EXPECT_NE(fake.DestroyedOn(), std::this_thread::get_id());  // on the worker, where it was used
}

}  // namespace ruzir::test
