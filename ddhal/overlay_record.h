// One overlay source surface's complete set of streams register values, kept in the surface's
// reserved field from its first UpdateOverlay until DestroySurface.
#pragma once

#include "ddhal/ddraw_hal.h"

#include <cstdint>

namespace ddhal {

struct OverlayRecord {
    DDRAWI_DDRAWSURFACE_LCL* sourceSurface;
    uint32_t frameBufferAddress;  // 0x81D0
    uint32_t windowStart;         // 0x81F8
    uint32_t windowSize;          // 0x81FC
    uint32_t stride;              // 0x81D8
    uint32_t streamControl;       // 0x8190
    uint32_t horizontalStretch;   // 0x8198
    uint32_t verticalFactor1;     // 0x81E0
    uint32_t verticalFactor2;     // 0x81E4
    uint32_t verticalAccumulator; // 0x81E8
    uint32_t keyControl;          // 0x8184
    uint32_t keyUpperBound;       // 0x8194
    uint32_t blendControl;        // 0x81A0
    uint32_t fifoControl;         // 0x81EC
};

// The reserved field of a surface holds either one of our records (an overlay source) or, for the
// surface an overlay is shown on, the overlay's source surface. Only values found among the live
// records are ever treated as records, so a field holding a surface is never freed as one.
OverlayRecord* ownRecord(const DDRAWI_DDRAWSURFACE_LCL* surface);
// The record a surface's settings go to: its own, or that of the overlay source it refers to.
OverlayRecord* recordFor(const DDRAWI_DDRAWSURFACE_LCL* surface);
// Allocates a zeroed record from the shared heap; null when the heap cannot give one.
OverlayRecord* allocateRecord(DDRAWI_DDRAWSURFACE_LCL* source);
void freeRecord(OverlayRecord* record);

// Takes the secondary stream off the screen at the next retrace and forgets the visible overlay.
void hideOverlay();

}  // namespace ddhal
