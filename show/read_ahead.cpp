#include "show/read_ahead.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace ruzir {

// What the window's thread and the worker share; the worker keeps it alive
// for as long as it runs.
struct ReadAhead::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  State state = State::Idle;
  bool stopping = false;
  std::optional<Slide> slide;
};

void ReadAhead::Work(const std::shared_ptr<Shared>& shared, Produce produce) {
  for (;;) {
    {
      std::unique_lock lock(shared->mutex);
      shared->changed.wait(lock,
                           [&] { return shared->stopping || shared->state == State::Loading; });
      if (shared->stopping) return;
    }
    std::optional<Slide> slide;
    try {
      slide = produce();
    } catch (...) {
      // Out of memory: as if no picture could be loaded.
    }
    const std::lock_guard lock(shared->mutex);
    if (shared->stopping) return;
    shared->state = slide ? State::Ready : State::Failed;
    shared->slide = std::move(slide);
    shared->changed.notify_all();
  }
}

ReadAhead::ReadAhead(Produce produce) : shared_(std::make_shared<Shared>()) {
  std::thread(Work, shared_, std::move(produce)).detach();
}

ReadAhead::~ReadAhead() {
  const std::lock_guard lock(shared_->mutex);
  shared_->stopping = true;
  shared_->changed.notify_all();
}

void ReadAhead::Request() {
  const std::lock_guard lock(shared_->mutex);
  if (shared_->state == State::Loading || shared_->state == State::Ready) return;
  shared_->state = State::Loading;
  shared_->changed.notify_all();
}

ReadAhead::State ReadAhead::state() const {
  const std::lock_guard lock(shared_->mutex);
  return shared_->state;
}

ReadAhead::State ReadAhead::Wait() const {
  std::unique_lock lock(shared_->mutex);
  shared_->changed.wait(lock, [&] { return shared_->state != State::Loading; });
  return shared_->state;
}

std::optional<Slide> ReadAhead::Take() {
  const std::lock_guard lock(shared_->mutex);
  if (shared_->state != State::Ready) return std::nullopt;
  shared_->state = State::Idle;
  return std::exchange(shared_->slide, std::nullopt);
}

}  // namespace ruzir
