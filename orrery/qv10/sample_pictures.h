// Pictures the virtual camera makes for itself: a few on first use so a
// newcomer sees frames, and one for every shutter release.
#pragma once

#include "orrery/core/picture.h"

namespace orrery::qv {

constexpr int kSamplePictureCount = 4;

// Sample n (0-based) at 640 x 480: colour bars, a sunset over water, rings
// of an orrery, and a chequered floor.
Picture samplePicture(int n);
// A shot: the sample scene of the number, tinted so shots differ.
Picture shotPicture(int number);

}  // namespace orrery::qv
