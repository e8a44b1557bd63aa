// Flip: moves the display start to the target surface, either through the CRTC start address or,
// when the streams processor shows the screen, through the stream's frame-buffer address. Never
// waits: a pending flip, a busy engine or a retrace in progress all answer "still drawing".
#include "ddhal/callbacks.h"
#include "ddhal/driver_state.h"
#include "ddhal/overlay_record.h"
#include "ddhal/register_access.h"
#include "ddhal/timing.h"

namespace ddhal {

namespace {

HRESULT moveCrtcStart(uint32_t offset) {
    const uint32_t a = offset / 4;
    const uint32_t chip = gShared.dataBlock->chipId;
    if (chip == kChipOldStartA || chip == kChipOldStartB) {
        const uint8_t cr31 = static_cast<uint8_t>((readCrtc(0x31) & 0xCF) | (((a >> 16) & 0x3) << 4));
        const uint8_t cr51 = static_cast<uint8_t>((readCrtc(0x51) & 0xFC) | ((a >> 18) & 0x3));
        if (inRetrace())
            return DDERR_WASSTILLDRAWING;
        writeCrtc(0x0D, static_cast<uint8_t>(a));
        writeCrtc(0x0C, static_cast<uint8_t>(a >> 8));
        writeCrtc(0x31, cr31);
        writeCrtc(0x51, cr51);
        return DD_OK;
    }
    const uint8_t cr69 = static_cast<uint8_t>((readCrtc(0x69) & 0xF0) | ((a >> 16) & 0xFF));
    if (inRetrace())
        return DDERR_WASSTILLDRAWING;
    writeCrtc(0x0D, static_cast<uint8_t>(a));
    writeCrtc(0x0C, static_cast<uint8_t>(a >> 8));
    writeCrtc(0x69, cr69);
    return DD_OK;
}

HRESULT moveStreamStart(const DDRAWI_DDRAWSURFACE_LCL* current, uint32_t offset) {
    if (inRetrace())
        return DDERR_WASSTILLDRAWING;
    if ((readCrtc(0x67) & 0x0C) != 0x0C)
        return DD_OK;
    if (current->ddsCaps.dwCaps & DDSCAPS_OVERLAY)
        writeStreams(0x81D0, offset + gShared.overlay.sourceOffset);
    else if (current->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE)
        writeStreams(0x81C0, offset);
    return DD_OK;
}

}  // namespace

DWORD Flip(DDHAL_FLIPDATA* d) {
    d->ddRVal = DD_OK;
    if (flipPending(nullptr) || (readRegister16(kGpStatCmd) & kStatusBusy)) {
        d->ddRVal = DDERR_WASSTILLDRAWING;
        return DDHAL_DRIVER_HANDLED;
    }
    const FLATPTR target = d->lpSurfTarg->lpGbl->fpVidMem;
    const auto offset = static_cast<uint32_t>(target - gShared.dataBlock->videoMemoryStart);
    const HRESULT moved = (gShared.dataBlock->capabilities & kCapsStreamsScreen)
                              ? moveStreamStart(d->lpSurfCurr, offset)
                              : moveCrtcStart(offset);
    if (moved != DD_OK) {
        d->ddRVal = moved;
        return DDHAL_DRIVER_HANDLED;
    }
    recordFlip(d->lpSurfCurr->lpGbl->fpVidMem);
    return DDHAL_DRIVER_HANDLED;
}

}  // namespace ddhal
