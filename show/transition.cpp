#include "show/transition.h"

#include <algorithm>
#include <cmath>

namespace ruzir {
namespace {

// Diffuse pieces move 30 / 3 / 2 = 5 times their velocity per step.
constexpr double kDiffuseStride = 5.0;

// The far edge is a single-precision sum when it is compared with 0.
bool InsideAcross(const Piece& piece, float windowWidth) {
  return piece.X + piece.Width > 0 && piece.X < windowWidth;
}

bool InsideDown(const Piece& piece, float windowHeight) {
  return piece.Y + piece.Height > 0 && piece.Y < windowHeight;
}

// Steps the pieces until none that can leave is inside the window and
// returns the number of steps; 0 when kMaxTransitionSteps are not enough.
// A piece that can never leave (it does not move on any axis that could
// take it out) is not waited for: otherwise the count would never end.
int StepOutOfSight(Effect effect, std::vector<Piece>& pieces,
                   const std::vector<PieceVelocity>& velocities, TwipsSize window) {
  for (int n = 1; n <= kMaxTransitionSteps; ++n) {
    bool anyInside = false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      StepPiece(effect, pieces[i], velocities[i]);
      anyInside =
          anyInside || (CanLeave(effect, velocities[i]) && IsInside(effect, pieces[i], window));
    }
    if (!anyInside) return n;
  }
  return 0;
}

}  // namespace

std::vector<Piece> LayoutPieces(Effect effect, const TwipsRect& picture) {
  std::vector<Piece> pieces;
  if (!HasPieces(effect)) return pieces;
  const bool grid = effect == Effect::Diffuse;
  const int count = grid ? kGridSide * kGridSide : kStripCount;
  float width = picture.width;
  float height = picture.height;
  if (grid) {
    width = std::floor(picture.width / kGridSide);
    height = std::floor(picture.height / kGridSide);
  } else if (effect == Effect::VerticalSlide) {
    width = std::floor(picture.width / kStripCount);
  } else {
    height = std::floor(picture.height / kStripCount);
  }

  pieces.assign(static_cast<std::size_t>(count), Piece{});
  for (int i = 0; i < count; ++i) {
    Piece& piece = pieces[static_cast<std::size_t>(i)];
    piece.Width = width;
    piece.Height = height;
    if (grid) {
      const int row = i / kGridSide;
      const int col = i % kGridSide;
      piece.SrcX = static_cast<float>(col) * width;
      piece.SrcY = static_cast<float>(row) * height;
      if (i == 0) {
        piece.X = picture.left;
        piece.Y = picture.top;
      } else if (row > 0) {
        const Piece& above = pieces[static_cast<std::size_t>(i - kGridSide)];
        piece.X = above.X;
        piece.Y = above.Y + height;
      } else {
        const Piece& before = pieces[static_cast<std::size_t>(i - 1)];
        piece.X = before.X + width;
        piece.Y = before.Y;
      }
      continue;
    }
    piece.SrcX = effect == Effect::VerticalSlide ? static_cast<float>(i) * width : 0;
    piece.SrcY = effect == Effect::VerticalSlide ? 0 : static_cast<float>(i) * height;
    if (i == 0) {
      piece.X = picture.left;
      piece.Y = picture.top;
    } else {
      const Piece& before = pieces[static_cast<std::size_t>(i - 1)];
      piece.X = effect == Effect::VerticalSlide ? before.X + width : before.X;
      piece.Y = effect == Effect::VerticalSlide ? before.Y : before.Y + height;
    }
  }
  return pieces;
}

std::vector<PieceVelocity> PieceVelocities(Effect effect, TwipsSize window,
                                           const TwipsRect& picture,
                                           const std::vector<Piece>& pieces) {
  std::vector<PieceVelocity> velocities(pieces.size());
  if (!HasPieces(effect)) return velocities;
  const float halfWidth = window.width / 2;
  const float halfHeight = window.height / 2;
  if (effect != Effect::Diffuse) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const float sign = i % 2 == 0 ? -1.0f : 1.0f;
      if (effect == Effect::HorizontalSlide) {
        velocities[i].VX = (halfWidth - picture.width / 2) / 3 * sign;
      } else {
        velocities[i].VY = (halfHeight - picture.height / 2) / 3 * sign;
      }
    }
    return velocities;
  }
  // Each column and row aims at its own share of the window, so the grid
  // spreads out as it flies.
  const float cx = picture.width / 2 + picture.left;
  const float cy = picture.height / 2 + picture.top;
  constexpr int kHalf = kGridSide / 2;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const Piece& p = pieces[i];
    const int col = static_cast<int>(i) % kGridSide;
    const int row = static_cast<int>(i) / kGridSide;
    const auto tx = static_cast<float>(static_cast<double>(window.width) / 2 / kHalf * col);
    const auto ty = static_cast<float>(static_cast<double>(window.height) / 2 / kHalf * row);
    velocities[i].VX = col < kHalf ? -(cx - (halfWidth - tx) - p.X) / 3
                                   : ((halfWidth - tx + cx) - (p.Width + p.X)) / 3;
    velocities[i].VY = row < kHalf ? -(cy - (halfHeight - ty) - p.Y) / 3
                                   : ((halfHeight - ty + cy) - (p.Height + p.Y)) / 3;
  }
  return velocities;
}

void StepPiece(Effect effect, Piece& piece, const PieceVelocity& v) {
  if (effect == Effect::HorizontalSlide) {
    piece.X = piece.X + v.VX;
  } else if (effect == Effect::VerticalSlide) {
    piece.Y = piece.Y + v.VY;
  } else if (effect == Effect::Diffuse) {
    piece.X = static_cast<float>(piece.X - kDiffuseStride * v.VX);
    piece.Y = static_cast<float>(piece.Y - kDiffuseStride * v.VY);
  }
}

void ReverseStepPiece(Effect effect, Piece& piece, const PieceVelocity& v) {
  if (effect == Effect::HorizontalSlide) {
    piece.X = piece.X - v.VX;
  } else if (effect == Effect::VerticalSlide) {
    piece.Y = piece.Y - v.VY;
  } else if (effect == Effect::Diffuse) {
    piece.X = static_cast<float>(piece.X + kDiffuseStride * v.VX);
    piece.Y = static_cast<float>(piece.Y + kDiffuseStride * v.VY);
  }
}

bool IsInside(Effect effect, const Piece& piece, TwipsSize window) {
  switch (effect) {
    case Effect::HorizontalSlide:
      return InsideAcross(piece, window.width);
    case Effect::VerticalSlide:
      return InsideDown(piece, window.height);
    case Effect::Diffuse:
      return InsideAcross(piece, window.width) && InsideDown(piece, window.height);
    default:
      return false;
  }
}

bool CanLeave(Effect effect, const PieceVelocity& v) {
  switch (effect) {
    case Effect::HorizontalSlide:
      return v.VX != 0;
    case Effect::VerticalSlide:
      return v.VY != 0;
    case Effect::Diffuse:
      return v.VX != 0 || v.VY != 0;
    default:
      return false;
  }
}

PixelRect DrawPiece(const SurfaceView& picture, const Piece& piece, TwipsScale scale,
                    const SurfaceView& canvas) {
  const int srcX = PixelsFromTwips(piece.SrcX, scale.x);
  const int srcY = PixelsFromTwips(piece.SrcY, scale.y);
  const int width = PixelsFromTwips(piece.Width, scale.x);
  const int height = PixelsFromTwips(piece.Height, scale.y);
  const int x = PixelsFromTwips(piece.X, scale.x);
  const int y = PixelsFromTwips(piece.Y, scale.y);
  const PixelRect bounds{0, 0, canvas.width, canvas.height};
  CopyRect(picture, {srcX, srcY, srcX + width, srcY + height}, canvas, x, y, bounds);
  // In 64 bits: a piece far outside must not wrap into view.
  const auto right = static_cast<std::int64_t>(x) + width;
  const auto bottom = static_cast<std::int64_t>(y) + height;
  if (right <= 0 || bottom <= 0 || x >= canvas.width || y >= canvas.height) return {};
  return Intersect({x, y, static_cast<int>(right), static_cast<int>(bottom)}, bounds);
}

Transition::Transition(Kind kind, Effect effect, TwipsSize window, const TwipsRect& place,
                       TwipsScale scale, int maxFrames)
    : kind_(kind), effect_(effect), scale_(scale) {
  if (!HasPieces(effect)) return;
  pieces_ = LayoutPieces(effect, place);
  velocities_ = PieceVelocities(effect, window, place, pieces_);
  if (kind == Kind::Out) {
    // Counted on a copy: the frames then take the pieces along the same path.
    // A piece too slow to leave within the count holds the half to its bound.
    std::vector<Piece> copy = pieces_;
    stepsLeft_ = StepOutOfSight(effect, copy, velocities_, window);
    if (stepsLeft_ == 0) stepsLeft_ = kMaxTransitionSteps;
  } else {
    // The pieces start out of sight; a picture that would need more steps
    // than the count holds comes in at once, without frames.
    stepsLeft_ = StepOutOfSight(effect, pieces_, velocities_, window);
  }
  const int frames = std::max(maxFrames, 1);
  stepsPerFrame_ = (stepsLeft_ + frames - 1) / frames;
}

bool Transition::DrawNextFrame(const TransitionSurfaces& surfaces,
                               std::vector<PixelRect>& changed) {
  if (stepsLeft_ == 0) return false;
  const SurfaceView& canvas = surfaces.canvas;
  if (framesDrawn_ == 0) {
    const PixelRect all{0, 0, canvas.width, canvas.height};
    CopyArea(surfaces.background, canvas, all);
    changed.push_back(all);
  } else {
    // Only where pieces were: the rest of the canvas is background already.
    for (const PixelRect& area : drawn_) {
      CopyArea(surfaces.background, canvas, area);
      changed.push_back(area);
    }
  }
  drawn_.clear();

  // The last frame may take fewer steps: outgoing, it is the one in which the
  // last piece leaves; incoming, the one with every piece back at its place.
  const int steps = std::min(stepsPerFrame_, stepsLeft_);
  stepsLeft_ -= steps;
  for (std::size_t i = 0; i < pieces_.size(); ++i) {
    Piece& piece = pieces_[i];
    for (int step = 0; step < steps; ++step) {
      if (kind_ == Kind::Out) {
        StepPiece(effect_, piece, velocities_[i]);
      } else {
        ReverseStepPiece(effect_, piece, velocities_[i]);
      }
    }
    const PixelRect area = DrawPiece(surfaces.picture, piece, scale_, canvas);
    if (!area.Empty()) {
      drawn_.push_back(area);
      changed.push_back(area);
    }
  }
  ++framesDrawn_;
  return true;
}

}  // namespace ruzir
