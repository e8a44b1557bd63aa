// The owner-drawn charts of the effect dialogs: the hue curves and the
// histogram, painted into a w x h area.
#pragma once

#include "effects/colour_dialog_models.h"
#include "effects/histogram.h"

#include <QSize>

class QPainter;

namespace quillon {

// White, the diagonal, dotted quarters, and the three channels' curves.
void paintHueCurves(QPainter& painter, QSize size, const HueModel& model);
// White, dotted quarters, a bar a channel and value scaled to the largest
// maximum, the black axes.
void paintHistogram(QPainter& painter, QSize size, const Histogram& histogram);

}  // namespace quillon
