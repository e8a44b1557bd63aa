// Board set-ups shared by the driver tests.
#pragma once

#include "ddhal/sim/harness.h"

namespace ddhal::test {

// 640 x 480, 8 bits per pixel, banked register window, CRTC display start.
inline sim::HarnessConfig palettedScreen() {
    sim::HarnessConfig c;
    c.chip.width = 640;
    c.chip.height = 480;
    c.chip.bitsPerPixel = 8;
    c.chip.pitch = 640;
    return c;
}

// 640 x 480 at 16 bits (5-6-5) shown by the streams processor, with own-format surfaces allowed.
inline sim::HarnessConfig streamsScreen() {
    sim::HarnessConfig c;
    c.chip.width = 640;
    c.chip.height = 480;
    c.chip.bitsPerPixel = 16;
    c.chip.pitch = 1280;
    c.chip.streamsOn = true;
    c.capabilities = kCapsOwnFormats | kCapsStreamsScreen;
    return c;
}

inline int64_t msNs(double ms) { return static_cast<int64_t>(ms * 1e6); }

}  // namespace ddhal::test
