// Reading the next picture ahead, on a worker thread.
//
// Decoding a camera photo takes the better part of a second. On the window's
// thread it would freeze the drift, hold up every change and leave input
// unanswered, so a worker makes the next slide while the current one is
// shown. The window's thread only looks whether it is there and never waits
// for it; the preview alone, which shows nothing but its one picture, waits
// for that before it shows.
//
// Everything a load needs (the codecs, the picker, its random draws) belongs
// to `produce`, which runs on the worker only and is destroyed there when the
// worker ends. Ending never waits for the worker either: the destructor tells
// it to stop and leaves it; a load in progress is finished and thrown away.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "show/slide.h"

namespace ruzir {

class ReadAhead {
 public:
  enum class State {
    Idle,     // nothing asked for
    Loading,  // the worker is making the next slide
    Ready,    // the next slide is there to take
    Failed,   // no picture could be loaded; ask again later
  };

  // Makes the next slide; nullopt when no picture can be loaded now. Called
  // on the worker only; an exception counts as a failure.
  using Produce = std::function<std::optional<Slide>()>;

  // Starts the worker, which waits to be asked. Throws std::system_error
  // when no thread can be started.
  explicit ReadAhead(Produce produce);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Asks for the next slide, unless one is loading or ready.
  void Request();
  State state() const;
  // Waits while the worker loads; the state then.
  State Wait() const;
  // The ready slide, which leaves the state Idle; nullopt unless Ready.
  std::optional<Slide> Take();

 private:
  struct Shared;
  // The worker's loop; `produce` is destroyed with it, on the worker.
  static void Work(const std::shared_ptr<Shared>& shared, Produce produce);

  std::shared_ptr<Shared> shared_;
};

}  // namespace ruzir
