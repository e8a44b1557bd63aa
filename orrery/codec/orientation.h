// The EXIF orientation of a camera's picture and the turn that shows it
// upright. Cameras store the sensor's rows and note how the camera was held.
#pragma once

#include <cstdint>
#include <span>

#include "orrery/core/picture.h"

namespace orrery {

// The orientation tag (1..8) of a JPEG stream's Exif segment, or of a bare
// Exif block ("Exif\0\0" or a TIFF header first); 1 when there is none or it
// cannot be read.
int exifOrientation(std::span<const uint8_t> data);

// The picture turned and mirrored as the orientation asks (5..8 swap width and height).
Picture applyOrientation(const Picture& picture, int orientation);

}  // namespace orrery
