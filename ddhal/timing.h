// The frame period, the flip tracker and the palette read-back that the callbacks share.
#pragma once

#include "ddhal/ddraw_hal.h"

#include <cstdint>

namespace ddhal {

uint32_t measureFramePeriod();
void honourRemeasureRequest();  // re-measures when the 16-bit driver asked for it

// True while the last flip may still be on its way to the screen. With a surface, only a flip
// away from that surface counts.
bool flipPending(const DDRAWI_DDRAWSURFACE_LCL* surface);
void recordFlip(FLATPTR outgoingSurface);

// 8-bit palette entry to 0x00RRGGBB, each 6-bit DAC component moved to the top of its byte.
uint32_t readPaletteColour(uint8_t index);

}  // namespace ddhal
