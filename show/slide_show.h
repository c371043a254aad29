// The show itself, on every monitor, without a window.
//
// Each monitor is a screen: a frame composed from its persistent picture
// (background, desktop snapshot, after-images) and its current picture. The
// show drives every screen from two calls that carry the time:
//   Tick, every 50 ms: the slide clock of each screen, its drift, and the
//     change once the display time has run out and the next picture is there;
//   NextFrame, once per display refresh while any transition plays: one frame
//     of each screen's transition.
// A change waits, drifting, until the next picture has been made; a change
// that finds none (files removed, locked or damaged) asks again and tries
// no sooner than a second later; the display time starts when the picture
// has arrived. Each screen changes on its own clock: transitions on several
// monitors may play at once, and a screen in a transition does not drift.
//
// The pictures come from a PictureSource, which makes them at each screen's
// size and scale; the show only looks whether one is there and never waits.
// What changed on a screen's frame collects until the platform takes it to
// repaint.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "settings/settings.h"
#include "show/frame_composer.h"
#include "show/read_ahead.h"
#include "show/slide.h"
#include "show/transition.h"
#include "support/random.h"

namespace ruzir {

// The shortest wait before a change that found no picture is tried again.
inline constexpr double kMinRetrySeconds = 1;

class SlideShow {
 public:
  // `firstEffect` is each screen's first change's; `maxTransitionFrames`
  // bounds each half of a transition (about 1.5 s of display refreshes).
  SlideShow(const Settings& settings, Effect firstEffect, PictureSource& pictures,
            UniformSource& random, int maxTransitionFrames);

  // A screen drawing on `persistent` and `frame` (the same size) at `scale`:
  // fills it with the background colour and asks for its first picture.
  // `beforeWrite` runs before the show writes the pixels. Returns its id.
  int AddScreen(SurfaceView persistent, SurfaceView frame, TwipsScale scale,
                void (*beforeWrite)() = nullptr);
  // The screen's monitor has gone; its surfaces are no longer touched.
  void RemoveScreen(int screen);
  // The platform changed `area` of the screen's persistent picture.
  void Touch(int screen, const PixelRect& area);

  // The 50 ms tick at time `now` (seconds, monotonic).
  void Tick(double now);
  // The next frame of every transition under way.
  void NextFrame(double now);

  // Whether any screen plays a transition: frames are due at every refresh.
  bool Transitioning() const;
  // Whether a screen's first picture could not be made from any file: the
  // show has nothing to show and ends.
  bool NoPicture() const { return noPicture_; }
  // The areas of the screen's frame that changed since it was last asked.
  std::vector<PixelRect> TakeRepaint(int screen);

 private:
  struct Screen {
    FrameComposer composer;
    TwipsScale scale;
    SlideTimerState timer;
    Effect effect = Effect::None;          // of the next change
    bool showing = false;                  // its first picture has come
    std::optional<MemorySurface> picture;  // the current picture's pixels
    std::optional<Slide> incoming;         // while the old picture leaves
    std::optional<Transition> transition;  // the half under way
    std::vector<PixelRect> repaint;
  };

  void TickScreen(int id, Screen& screen, double now);
  void ShowFirst(Screen& screen, Slide&& slide);
  void PutSlide(Screen& screen, Slide&& slide);
  // One drift step.
  void Drift(Screen& screen);
  // The picture shows again at its place, or leaves its after-image there.
  void Settle(Screen& screen);
  // Starts a half of the change; false when it has no frames to play.
  bool Begin(Screen& screen, Transition::Kind kind);
  // Draws the next frame of the change under way; a half that has ended
  // leads to what follows it.
  void Advance(Screen& screen, double now);
  // The old picture has gone: the new one takes its place and starts to come in.
  void Arrive(Screen& screen, double now);
  // The change is over: the display time starts.
  void Finish(Screen& screen, double now);
  void Present(Screen& screen);
  SlideFit FitOf(const Screen& screen) const;

  Settings settings_;
  Effect firstEffect_;
  PictureSource& pictures_;
  UniformSource& random_;
  int maxTransitionFrames_;
  std::map<int, Screen> screens_;
  int nextId_ = 1;
  bool noPicture_ = false;
  std::vector<PixelRect> changed_;  // a frame's areas, reused
};

}  // namespace ruzir
