#include "show/read_ahead.h"

#include <algorithm>
#include <utility>

namespace ruzir {

// The worker reads the slots, members of this object, and whatever `produce`
// was made over: the destructor joins it before the slots go, and the maker
// of `produce` keeps what it reads alive as long as this object.
ReadAhead::ReadAhead(Produce produce) : produce_(std::move(produce)), worker_([this] { Work(); }) {}

ReadAhead::~ReadAhead() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
  }
  worker_.join();
}

void ReadAhead::Work() {
  Produce produce = std::move(produce_);  // goes on the worker, where it was used
  for (;;) {
    int screen = 0;
    Order order;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      screen = waiting_.front();
      waiting_.pop_front();
      order = OrderFor(screen);
    }
    std::optional<Slide> slide;
    try {
      slide = produce(order);
    } catch (...) {
      // Out of memory: as if no picture could be loaded.
    }
    const std::lock_guard lock(mutex_);
    if (stopping_) return;
    const auto it = slots_.find(screen);
    if (it == slots_.end() || it->second.state != State::Loading) continue;  // forgotten
    it->second.state = slide ? State::Ready : State::Failed;
    it->second.slide = std::move(slide);
    changed_.notify_all();
  }
}

ReadAhead::Order ReadAhead::OrderFor(int screen) const {
  Order order{slots_.at(screen).fit, {}};
  for (const auto& [other, slot] : slots_) {
    if (other == screen) continue;
    if (slot.shown != 0) order.avoid.push_back(slot.shown);
    if (slot.slide) order.avoid.push_back(slot.slide->file);
  }
  return order;
}

void ReadAhead::Request(int screen, SlideFit fit) {
  const std::lock_guard lock(mutex_);
  Slot& slot = slots_[screen];
  if (slot.state == State::Loading || slot.state == State::Ready) return;
  slot.state = State::Loading;
  slot.fit = fit;
  waiting_.push_back(screen);
  changed_.notify_all();
}

PictureSource::State ReadAhead::StateOf(int screen) const {
  const std::lock_guard lock(mutex_);
  const auto it = slots_.find(screen);
  return it == slots_.end() ? State::Idle : it->second.state;
}

ReadAhead::State ReadAhead::Wait(int screen) const {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] {
    const auto it = slots_.find(screen);
    return it == slots_.end() || it->second.state != State::Loading;
  });
  const auto it = slots_.find(screen);
  return it == slots_.end() ? State::Idle : it->second.state;
}

std::optional<Slide> ReadAhead::Take(int screen) {
  const std::lock_guard lock(mutex_);
  const auto it = slots_.find(screen);
  if (it == slots_.end() || it->second.state != State::Ready) return std::nullopt;
  Slot& slot = it->second;
  slot.state = State::Idle;
  slot.shown = slot.slide->file;
  return std::exchange(slot.slide, std::nullopt);
}

void ReadAhead::Forget(int screen) {
  const std::lock_guard lock(mutex_);
  slots_.erase(screen);
  waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), screen), waiting_.end());
}

}  // namespace ruzir
