// The camera's thumbnails: 52 x 36, planar Y (unsigned) then Cb and Cr
// (signed, 26 x 18 each), 2808 bytes in all.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "orrery/core/picture.h"

namespace orrery {

constexpr int kThumbWidth = 52, kThumbHeight = 36;

// False when the data is not 2808 bytes.
bool decodeThumbnail(std::span<const uint8_t> data, Picture& out);
// Any picture, resampled to 52 x 36.
std::vector<uint8_t> encodeThumbnail(const Picture& picture);

}  // namespace orrery
