// Transitions between two pictures.
//
// The picture on screen breaks into pieces that fly out of the window; the
// next one flies in as pieces and assembles at its place. Three effects:
//   diffuse: a 30 x 30 grid, each piece flying away from the picture's
//     centre on its own straight line, the outer ones fastest;
//   vertical slide: 40 strips, even ones up and odd ones down;
//   horizontal slide: 40 strips, even ones left and odd ones right.
// The incoming half is the outgoing movement played backwards: the pieces
// are first stepped out of sight without drawing, counting the steps, then
// drawn back in frame by frame.
//
// Frames are paced to the display's refresh. A piece can move a mere
// fraction of a pixel per step (a picture about as wide as the window, as on
// a portrait screen), so a half could take thousands of frames; each half
// therefore has a frame budget, and when its steps exceed the budget a frame
// advances several of them. The path and the speeds stay the same; only
// fewer of the positions are shown. Both halves count their steps before the
// first frame for this.
//
// Geometry is in single-precision twips, as the rest of the show; every copy
// is one to one in pixels, each coordinate rounded half to even. A frame is
// composed in a canvas laid over the whole window. Its first frame restores
// the whole canvas from the background; later frames restore only where the
// previous frame drew pieces, which gives the same pixels as a full restore
// at a cost that follows the pieces rather than the window's size.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/effect.h"
#include "support/surface.h"
#include "support/units.h"

namespace ruzir {

// One rectangle of the picture and its current place on the window, twips.
struct Piece {
  float SrcX = 0;
  float SrcY = 0;
  float X = 0;
  float Y = 0;
  float Width = 0;
  float Height = 0;
};

struct PieceVelocity {
  float VX = 0;
  float VY = 0;
};

inline constexpr int kGridSide = 30;  // the diffuse grid is 30 x 30
inline constexpr int kStripCount = 40;
// Steps a transition takes at most: a 16-bit count.
inline constexpr int kMaxTransitionSteps = 32767;

// The pieces of `effect` tiling the picture from its top-left corner; the
// thin remainder at its right or bottom edge belongs to no piece. For an
// effect without pieces, none.
std::vector<Piece> LayoutPieces(Effect effect, const TwipsRect& picture);

// Each piece's constant movement, from the window's and the picture's
// geometry at the start of the transition.
std::vector<PieceVelocity> PieceVelocities(Effect effect, TwipsSize window,
                                           const TwipsRect& picture,
                                           const std::vector<Piece>& pieces);

void StepPiece(Effect effect, Piece& piece, const PieceVelocity& velocity);
void ReverseStepPiece(Effect effect, Piece& piece, const PieceVelocity& velocity);

// Whether the piece still overlaps the window on the axes its effect moves
// it along; touching an edge from outside is outside.
bool IsInside(Effect effect, const Piece& piece, TwipsSize window);

// Whether the piece moves at all on an axis that can take it out.
bool CanLeave(Effect effect, const PieceVelocity& velocity);

// Copies the piece's rectangle of the picture to its place on the canvas;
// returns the canvas pixels it covered.
PixelRect DrawPiece(const SurfaceView& picture, const Piece& piece, TwipsScale scale,
                    const SurfaceView& canvas);

// The surfaces a transition draws with: the background (the window's
// persistent picture), the picture the pieces come from, and the canvas over
// the whole window, all in pixels.
struct TransitionSurfaces {
  SurfaceView background;
  SurfaceView picture;
  SurfaceView canvas;
};

class Transition {
 public:
  enum class Kind { Out, In };

  // Lays out the pieces of `effect` for the picture at `place`, computes
  // their velocities and counts how many steps take every piece out of the
  // window. The half draws at most `maxFrames` frames (at least one), each
  // advancing as many steps as that needs; by default one step a frame. An
  // effect without pieces has no frames.
  Transition(Kind kind, Effect effect, TwipsSize window, const TwipsRect& place, TwipsScale scale,
             int maxFrames = kMaxTransitionSteps);

  // Composes the next frame in the canvas, which holds the previous frame
  // (before the first frame, anything), and adds the canvas rectangles that
  // may differ from the previous frame to `changed`. False, drawing nothing,
  // when every frame has been drawn.
  bool DrawNextFrame(const TransitionSurfaces& surfaces, std::vector<PixelRect>& changed);

  int FramesDrawn() const { return framesDrawn_; }

 private:
  Kind kind_;
  Effect effect_;
  TwipsScale scale_;
  std::vector<Piece> pieces_;
  std::vector<PieceVelocity> velocities_;
  int stepsLeft_ = 0;  // until every piece is out (outgoing) or home (incoming)
  int stepsPerFrame_ = 0;
  int framesDrawn_ = 0;
  std::vector<PixelRect> drawn_;  // where the previous frame drew pieces
};

}  // namespace ruzir
