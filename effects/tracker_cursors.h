// The pointer shapes of the tracker: the system's for the arrow, cross and
// sizing shapes, our own pictures for 12 (pick colour), 14 (move) and 15
// (moving).
#pragma once

#include "effects/selection_tracker.h"

#include <QCursor>

namespace quillon {

QCursor trackerCursor(TrackerCursor shape);

}  // namespace quillon
