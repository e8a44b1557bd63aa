// The data every callback shares. On Windows 95 it lives in a shared section, one copy for every
// process that loads the library; an ELF shared object gets one copy per process.
#pragma once

#include "ddhal/ddraw_hal.h"
#include "ddhal/driver_data_block.h"
#include "ddhal/platform/platform.h"

#include <cstdint>

namespace ddhal {

struct OverlayRecord;
struct OverlayRecordBlock;

struct FlipTracker {
    uint8_t flipPending;
    uint8_t displaySeen;
    uint8_t retraceSeen;
    int64_t flipTime;
    uint32_t framePeriod;       // performance-counter ticks
    FLATPTR flippedAwaySurface;  // video-memory address that was on screen before the last flip
};

struct OverlayState {
    DDRAWI_DDRAWSURFACE_LCL* visibleOverlay;
    uint32_t sourceOffset;  // byte offset of the shown rectangle within the overlay surface
    OverlayRecord* currentRecord;
    OverlayRecordBlock* liveRecords;  // every record allocated and not yet freed
};

struct SharedData {
    volatile int32_t attachCount;  // -1 while held as a lock
    platform::HANDLE sharedHeap;
    uint8_t* registerWindow;
    uint8_t* streamsWindow;
    DriverDataBlock* dataBlock;
    uint16_t controlPort;
    uint8_t directMode;
    uint32_t savedFifoBits;
    FlipTracker flip;
    OverlayState overlay;
};

extern SharedData gShared;

}  // namespace ddhal
