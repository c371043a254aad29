#include "show/slide_show.h"

#include <algorithm>
#include <utility>

namespace ruzir {

SlideShow::SlideShow(const Settings& settings, Effect firstEffect, PictureSource& pictures,
                     UniformSource& random, int maxTransitionFrames)
    : settings_(settings),
      firstEffect_(firstEffect),
      pictures_(pictures),
      random_(random),
      maxTransitionFrames_(maxTransitionFrames) {}

int SlideShow::AddScreen(SurfaceView persistent, SurfaceView frame, TwipsScale scale,
                         void (*beforeWrite)()) {
  const int id = nextId_++;
  Screen& screen = screens_[id];
  screen.composer = FrameComposer(persistent, frame, beforeWrite);
  screen.scale = scale;
  screen.effect = firstEffect_;
  if (beforeWrite) beforeWrite();
  Fill(persistent, PixelFromColor(settings_.BackColor));
  Touch(id, {0, 0, persistent.width, persistent.height});
  pictures_.Request(id, FitOf(screen));
  return id;
}

void SlideShow::RemoveScreen(int screen) {
  screens_.erase(screen);
  pictures_.Forget(screen);
}

void SlideShow::Touch(int id, const PixelRect& area) {
  Screen& screen = screens_.at(id);
  screen.composer.Touch(area);
  Present(screen);
}

void SlideShow::Tick(double now) {
  for (auto& [id, screen] : screens_) {
    // A screen plays its transition at the display's pace, without a drift.
    if (!screen.transition) TickScreen(id, screen, now);
  }
}

void SlideShow::TickScreen(int id, Screen& screen, double now) {
  if (!screen.showing) {
    switch (pictures_.StateOf(id)) {
      case PictureSource::State::Ready:
        ShowFirst(screen, std::move(*pictures_.Take(id)));
        pictures_.Request(id, FitOf(screen));
        break;
      case PictureSource::State::Failed:
        // Not one file of the folder could be loaded. (A folder of no picture
        // files at all never gets this far.)
        noPicture_ = true;
        break;
      case PictureSource::State::Idle:
      case PictureSource::State::Loading:
        break;
    }
    return;
  }
  const TickKind kind = BeginTick(screen.timer, now, settings_.Interval);
  if (kind == TickKind::First) return;
  if (kind == TickKind::Change) {
    // The current picture leaves only once the next one is there: until then
    // it drifts on, and the change comes with the first tick that finds it.
    switch (pictures_.StateOf(id)) {
      case PictureSource::State::Ready:
        screen.incoming = pictures_.Take(id);
        pictures_.Request(id, FitOf(screen));
        if (!Begin(screen, Transition::Kind::Out)) Arrive(screen, now);
        Advance(screen, now);
        return;
      case PictureSource::State::Failed:
      case PictureSource::State::Idle:
        // At least a second apart, whatever the display time: a retry may
        // try every file of the folder.
        screen.timer.SlideStart = now + std::max(0.0, kMinRetrySeconds - settings_.Interval);
        pictures_.Request(id, FitOf(screen));
        break;
      case PictureSource::State::Loading:
        break;
    }
  }
  Drift(screen);
  Settle(screen);
}

void SlideShow::ShowFirst(Screen& screen, Slide&& slide) {
  screen.showing = true;
  const PixelSize size = slide.size;
  PutSlide(screen, std::move(slide));
  screen.composer.Move(CentredPlacement(size, screen.composer.size(), screen.scale));
  // With after-images the picture itself is never shown: its after-images
  // are stamped from the next tick on.
  if (settings_.Gost != 1) screen.composer.SetVisible(true);
  Present(screen);
}

void SlideShow::PutSlide(Screen& screen, Slide&& slide) {
  screen.picture = std::move(slide.picture);
  screen.composer.PutPicture(screen.picture ? screen.picture->view() : SurfaceView{}, slide.size);
}

void SlideShow::Drift(Screen& screen) {
  FrameComposer& composer = screen.composer;
  composer.Move(DriftPlacement(composer.place(), composer.size(), screen.scale,
                               DriftStep(settings_.Gost), screen.timer.MovingUp,
                               screen.timer.MovingLeft));
}

void SlideShow::Settle(Screen& screen) {
  if (settings_.Gost == 1) {
    screen.composer.StampAfterImage();
  } else {
    screen.composer.SetVisible(true);
  }
  Present(screen);
}

bool SlideShow::Begin(Screen& screen, Transition::Kind kind) {
  if (!HasPieces(screen.effect)) return false;  // the picture changes at once
  const FrameComposer& composer = screen.composer;
  const PixelRect& p = composer.place();
  const TwipsScale s = screen.scale;
  const TwipsSize window{TwipsFromPixels(composer.size().width, s.x),
                         TwipsFromPixels(composer.size().height, s.y)};
  const TwipsRect place{TwipsFromPixels(p.left, s.x), TwipsFromPixels(p.top, s.y),
                        TwipsFromPixels(p.right - p.left, s.x),
                        TwipsFromPixels(p.bottom - p.top, s.y)};
  // From its first frame on, the frame is the transition's canvas, where the
  // pieces stand in for the picture.
  try {
    screen.transition.emplace(kind, screen.effect, window, place, s, maxTransitionFrames_);
  } catch (...) {
    return false;  // out of memory for the pieces: no transition
  }
  return true;
}

void SlideShow::Advance(Screen& screen, double now) {
  while (screen.transition) {
    if (screen.composer.DrawTransitionFrame(*screen.transition, changed_)) {
      screen.repaint.insert(screen.repaint.end(), changed_.begin(), changed_.end());
      return;
    }
    screen.transition.reset();
    if (screen.incoming) {
      Arrive(screen, now);
    } else {
      Finish(screen, now);
    }
  }
}

void SlideShow::Arrive(Screen& screen, double now) {
  PutSlide(screen, std::move(*screen.incoming));
  screen.incoming.reset();
  // The new picture makes its first step from the old one's place.
  Drift(screen);
  if (!Begin(screen, Transition::Kind::In)) Finish(screen, now);
}

void SlideShow::Finish(Screen& screen, double now) {
  screen.composer.HideBreakCanvas();
  // Both halves of the next change use the effect drawn now.
  screen.effect = ChooseEffect(settings_.Break, random_);
  screen.timer.SlideStart = now;
  Settle(screen);
}

void SlideShow::NextFrame(double now) {
  for (auto& [id, screen] : screens_) Advance(screen, now);
}

bool SlideShow::Transitioning() const {
  return std::any_of(screens_.begin(), screens_.end(),
                     [](const auto& entry) { return entry.second.transition.has_value(); });
}

std::vector<PixelRect> SlideShow::TakeRepaint(int screen) {
  return std::exchange(screens_.at(screen).repaint, {});
}

void SlideShow::Present(Screen& screen) {
  const PixelRect area = screen.composer.Present();
  if (!area.Empty()) screen.repaint.push_back(area);
}

SlideFit SlideShow::FitOf(const Screen& screen) const {
  return {screen.composer.size().height, screen.scale};
}

}  // namespace ruzir
