// What the monitor would show: the primary stream (from the CRTC start address, or from the streams
// processor's primary address when it is on) composed with the secondary stream as the streams
// registers describe it: window, scaling, source format, colour key and blend mode.
#pragma once

#include "ddhal/sim/s3_chip.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ddhal::sim {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, row by row
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct OverlayWindow {
    int x, y, width, height;
};

// The secondary stream's window on the screen, when the streams processor shows one.
std::optional<OverlayWindow> overlayWindow(const S3Chip& chip);
RgbImage renderPrimary(const S3Chip& chip);
RgbImage renderVisibleFrame(const S3Chip& chip);
// The secondary stream scaled into its window, without keying.
std::optional<RgbImage> renderOverlayWindow(const S3Chip& chip);

}  // namespace ddhal::sim
