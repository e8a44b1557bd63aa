// The zoom steps of the view's zoom commands.
#pragma once

namespace quillon {

constexpr int kZoomMin = 10;    // the zoom dialog's range
constexpr int kZoomMax = 1000;

// Zoom in doubles a zoom of at most 500; 24 becomes 25 so that zoom in after
// zoom out from 25 returns there. Other zooms stay.
int zoomedIn(int zoom);
// Zoom out halves (integer division) a zoom of at least 20; other zooms stay.
int zoomedOut(int zoom);
// The fixed zoom of commands 155 to 161, or 0 for other ids.
int fixedZoomOf(int commandId);

}  // namespace quillon
