#include "show/frame_composer.h"

namespace ruzir {

void FrameComposer::PutPicture(SurfaceView picture, PixelSize size) {
  if (visible_) Touch(place_);
  picture_ = picture;
  place_.right = place_.left + size.width;
  place_.bottom = place_.top + size.height;
  if (visible_) Touch(place_);
}

void FrameComposer::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Touch(place_);
}

void FrameComposer::Move(const PixelRect& place) {
  if (visible_) Touch(place_);
  place_ = place;
  if (visible_) Touch(place_);
}

void FrameComposer::StampAfterImage() {
  if (picture_.pixels == nullptr) return;
  BeforeWrite();
  CopyAt(picture_, persistent_, place_.left, place_.top,
         {0, 0, persistent_.width, persistent_.height});
  Touch(place_);
}

bool FrameComposer::DrawTransitionFrame(Transition& transition, std::vector<PixelRect>& changed) {
  BeforeWrite();
  changed.clear();
  if (!transition.DrawNextFrame({persistent_, picture_, frame_}, changed)) return false;
  breakVisible_ = true;
  return true;
}

void FrameComposer::HideBreakCanvas() {
  if (!breakVisible_) return;
  breakVisible_ = false;
  Touch({0, 0, frame_.width, frame_.height});
}

PixelRect FrameComposer::Present() {
  if (breakVisible_) return {};  // the canvas covers the frame; the layers wait
  const PixelRect area = Intersect(pending_, {0, 0, frame_.width, frame_.height});
  pending_ = {};
  if (area.Empty()) return {};
  BeforeWrite();
  Compose(persistent_, visible_ ? picture_ : SurfaceView{}, place_.left, place_.top, frame_, area);
  return area;
}

}  // namespace ruzir
