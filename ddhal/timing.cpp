#include "ddhal/timing.h"

#include "ddhal/driver_state.h"
#include "ddhal/register_access.h"

namespace ddhal {

using namespace platform;

namespace {

int64_t counterNow() {
    int64_t now = 0;
    QueryPerformanceCounter(&now);
    return now;
}

void waitRetraceEndThenStart() {
    while (inRetrace()) {
    }
    while (!inRetrace()) {
    }
}

}  // namespace

uint32_t measureFramePeriod() {
    FlipTracker& flip = gShared.flip;
    flip.flipPending = 0;
    flip.displaySeen = 0;
    flip.retraceSeen = 0;
    flip.flipTime = 0;
    flip.flippedAwaySurface = 0;

    HANDLE process = GetCurrentProcess();
    const uint32_t oldClass = GetPriorityClass(process);
    SetPriorityClass(process, REALTIME_PRIORITY_CLASS);

    while (inRetrace()) {
    }
    while (!inRetrace()) {
    }
    const int64_t start = counterNow();
    for (int i = 0; i < 20; ++i)
        waitRetraceEndThenStart();
    const int64_t end = counterNow();
    SetPriorityClass(process, oldClass);

    flip.framePeriod = (static_cast<uint32_t>(end - start) + 10) / 20;
    return flip.framePeriod;
}

void honourRemeasureRequest() {
    DriverDataBlock* block = gShared.dataBlock;
    if (block && block->remeasureRequest) {
        measureFramePeriod();
        block->remeasureRequest = 0;
    }
}

bool flipPending(const DDRAWI_DDRAWSURFACE_LCL* surface) {
    FlipTracker& flip = gShared.flip;
    if (!flip.flipPending)
        return false;
    if (surface) {
        const FLATPTR address = surface->lpGbl->fpVidMem;
        if (address != 0 && address != flip.flippedAwaySurface)
            return false;
    }

    if (inRetrace()) {
        if (flip.displaySeen)
            flip.retraceSeen = 1;
    } else if (!inRetrace()) {
        if (flip.retraceSeen) {
            flip.flipPending = 0;  // a whole retrace went by after the display period was seen
            return false;
        }
        flip.displaySeen = 1;
    }

    if (counterNow() - flip.flipTime > static_cast<int64_t>(flip.framePeriod)) {
        flip.flipPending = 0;
        return false;
    }
    return true;
}

void recordFlip(FLATPTR outgoingSurface) {
    FlipTracker& flip = gShared.flip;
    flip.flipTime = counterNow();
    flip.flipPending = 1;
    flip.displaySeen = 0;
    flip.retraceSeen = 0;
    flip.flippedAwaySurface = outgoingSurface;
}

uint32_t readPaletteColour(uint8_t index) {
    writeRegister8(kDacReadIndex, index);
    const uint32_t red = readRegister8(kDacData);
    const uint32_t green = readRegister8(kDacData);
    const uint32_t blue = readRegister8(kDacData);
    return ((red << 2) & 0xFF) << 16 | ((green << 2) & 0xFF) << 8 | ((blue << 2) & 0xFF);
}

}  // namespace ddhal
