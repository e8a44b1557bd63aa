// Writes an RGB picture as an 8-bit PNG.
#pragma once

#include "ddhal/sim/frame_render.h"

#include <string>

namespace ddhal::demo {

bool writePng(const std::string& path, const sim::RgbImage& image);

}  // namespace ddhal::demo
