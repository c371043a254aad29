// Reading the next pictures ahead, on one worker thread for the whole show.
//
// Decoding a camera photo takes the better part of a second. On the windows'
// thread it would freeze the drift, hold up every change and leave input
// unanswered, so a worker makes each monitor's next slide while the current
// one is shown. The show only looks whether it is there and never waits.
//
// One worker serves every monitor, in the order they asked, each slide made
// at the asking monitor's size and scale. It keeps track of the file each
// monitor shows and holds ready, and tells the loader to avoid those, so
// that two monitors do not show the same picture at once.
//
// Everything a load needs (the codecs, the picker, its random draws) belongs
// to `produce`, which runs and is destroyed on the worker only. The destructor stops the
// worker and waits for it (a load in progress is finished and thrown away);
// the show's own end ends the process instead, which waits for nothing.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "show/slide.h"

namespace ruzir {

// Where the show gets its pictures: one request at a time for each screen.
class PictureSource {
 public:
  enum class State {
    Idle,     // nothing asked for
    Loading,  // the next slide is being made
    Ready,    // the next slide is there to take
    Failed,   // no picture could be loaded; ask again later
  };

  virtual ~PictureSource() = default;
  // Asks for the next slide of `screen`, made for `fit`, unless one is
  // loading or ready.
  virtual void Request(int screen, SlideFit fit) = 0;
  virtual State StateOf(int screen) const = 0;
  // The ready slide, which `screen` shows from now on; nullopt unless Ready.
  virtual std::optional<Slide> Take(int screen) = 0;
  // The screen has gone, and with it what it showed and asked for.
  virtual void Forget(int screen) = 0;
};

class ReadAhead final : public PictureSource {
 public:
  // What the worker is asked to make: a slide for `fit`, preferably of none
  // of the files in `avoid` (other screens show them or hold them ready).
  struct Order {
    SlideFit fit;
    std::vector<std::int16_t> avoid;
  };
  // Makes a slide; nullopt when no picture can be loaded now. Called on the
  // worker only; an exception counts as a failure.
  using Produce = std::function<std::optional<Slide>(const Order&)>;

  // Starts the worker, which waits to be asked. Throws std::system_error
  // when no thread can be started.
  explicit ReadAhead(Produce produce);
  ~ReadAhead() override;
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  void Request(int screen, SlideFit fit) override;
  State StateOf(int screen) const override;
  std::optional<Slide> Take(int screen) override;
  void Forget(int screen) override;
  // Waits while `screen`'s slide loads; the state then.
  State Wait(int screen) const;

 private:
  struct Slot {
    State state = State::Idle;
    SlideFit fit;
    std::optional<Slide> slide;  // when Ready
    std::int16_t shown = 0;      // the file the screen shows
  };

  void Work();
  Order OrderFor(int screen) const;  // under the lock

  Produce produce_;  // the worker's from its start on
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<int, Slot> slots_;
  std::deque<int> waiting_;  // screens whose slide is to be made, first asked first
  bool stopping_ = false;
  std::thread worker_;  // last: it starts once everything it reads is there
};

}  // namespace ruzir
