// Paints the tracker's overlay over the picture the image window just
// painted: the floating picture, the focus rectangle, the inverted handles,
// the home outline and the reference line. Inverting and focus rectangles
// use XOR on the painted pixels, so they show on any picture.
#pragma once

#include "effects/selection_tracker.h"

class QPainter;

namespace quillon {

// pictureArea: where the picture lies in the window; the floating picture
// is clipped to it.
void paintOverlay(QPainter& painter, const OverlayPlan& plan, const FloatingObject& floating,
                  const Rect& pictureArea);

}  // namespace quillon
