// The frame of one show window, composed off screen.
//
// Two layers make it: the persistent picture (background colour, desktop
// snapshot, after-images) and the current picture at its place.
// Changes within one tick (hide, load, move, show) only collect the
// rectangles they touch; Present composes those into the frame and returns
// what the window must repaint. Nothing half-drawn ever reaches the screen,
// and a tick costs what the picture covers, not the frame's size.
//
// During a picture change the frame itself is the break canvas, which the
// transition composes its frames in; the layers are composed again, over the
// whole frame, once it is hidden.
//
// The pixels belong to the caller (on Windows, DIB sections GDI blits from);
// `beforeWrite` runs before the composer writes any of them, so that the
// platform can finish reading them first.
#pragma once

#include <vector>

#include "show/transition.h"
#include "support/surface.h"

namespace ruzir {

class FrameComposer {
 public:
  FrameComposer() = default;
  // `persistent` and `frame` have the same size, the window's.
  FrameComposer(SurfaceView persistent, SurfaceView frame, void (*beforeWrite)() = nullptr)
      : persistent_(persistent), frame_(frame), beforeWrite_(beforeWrite) {}

  PixelSize size() const { return {frame_.width, frame_.height}; }
  // Where the picture is on the frame.
  const PixelRect& place() const { return place_; }

  // Marks `area` for composing: its owner changed the persistent picture
  // there (filled it, took a snapshot into it).
  void Touch(const PixelRect& area) { pending_ = Union(pending_, area); }
  // Makes `picture` of `size` the current picture; its left and top stay.
  void PutPicture(SurfaceView picture, PixelSize size);
  void SetVisible(bool visible);
  void Move(const PixelRect& place);
  // Copies the picture into the persistent picture at its place.
  void StampAfterImage();

  // Composes the next frame of `transition` into the frame, which from now on
  // shows the break canvas, adding what changed to `changed` (cleared first).
  // False when the transition is over.
  bool DrawTransitionFrame(Transition& transition, std::vector<PixelRect>& changed);
  // The layers show again, over the whole frame.
  void HideBreakCanvas();
  // Composes what changed into the frame; returns the area to repaint, empty
  // when nothing changed or the break canvas covers the frame.
  PixelRect Present();

 private:
  void BeforeWrite() const {
    if (beforeWrite_) beforeWrite_();
  }

  SurfaceView persistent_;  // background, snapshot, after-images
  SurfaceView frame_;       // what the window shows
  SurfaceView picture_;     // the current picture: null when too small to see
  PixelRect place_;
  bool visible_ = false;
  PixelRect pending_;          // frame area not yet composed
  bool breakVisible_ = false;  // the frame is the break canvas
  void (*beforeWrite_)() = nullptr;
};

}  // namespace ruzir
