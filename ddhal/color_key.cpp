// SetColorKey: overlay colour keys go straight to the streams processor's key registers, with the
// compare precision chosen by the key's format. Blit keys arrive with each blit instead.
#include "ddhal/callbacks.h"
#include "ddhal/driver_state.h"
#include "ddhal/overlay_record.h"
#include "ddhal/pixel_format.h"
#include "ddhal/register_access.h"
#include "ddhal/timing.h"

namespace ddhal {

const DDPIXELFORMAT& screenFormat() { return gShared.dataBlock->screenFormat; }

const DDPIXELFORMAT& formatOf(const DDRAWI_DDRAWSURFACE_LCL* surface) {
    return hasOwnFormat(surface) ? surface->lpGbl->ddpfSurface : screenFormat();
}

namespace {

// Converts the key for the chip and sets its compare precision in the low value's bits 24 to 26.
bool convertKey(const DDPIXELFORMAT& f, uint32_t& low, uint32_t& high) {
    if (isFourCC(f)) {
        if (!isYuvFourCC(f))
            return false;
        low ^= 0xFF008080;
        high ^= 0xFF008080;
        return true;
    }
    if (isPalette8(f) || (isRgb(f) && f.dwRGBBitCount == 8)) {
        low = high = readPaletteColour(static_cast<uint8_t>(low));
        low |= 0x05000000;
        return true;
    }
    if (isRgb(f)) {
        if (isRgb555(f)) {
            low = expand555(low) | 0x04000000;
            high = expand555(high);
            return true;
        }
        if (isRgb565(f)) {
            low = expand565(low) | 0x04000000;
            high = expand565(high);
            return true;
        }
        if (isRgb888(f)) {
            low |= 0x07000000;
            return true;
        }
        return false;
    }
    return true;  // no format flags: the key is taken as given
}

}  // namespace

DWORD SetColorKey(DDHAL_SETCOLORKEYDATA* d) {
    d->ddRVal = DD_OK;
    if (d->dwFlags & DDCKEY_SRCBLT)
        return DDHAL_DRIVER_HANDLED;
    uint32_t blend;
    if (d->dwFlags & DDCKEY_SRCOVERLAY)
        blend = 0x06000000;
    else if (d->dwFlags & DDCKEY_DESTOVERLAY)
        blend = 0x05000000;
    else {
        d->ddRVal = DDERR_UNSUPPORTED;
        return DDHAL_DRIVER_HANDLED;
    }

    DDRAWI_DDRAWSURFACE_LCL* surface = d->lpDDSurface;
    uint32_t low = d->ckNew.dwColorSpaceLowValue;
    uint32_t high = d->ckNew.dwColorSpaceHighValue;
    const DDPIXELFORMAT& f = surface ? formatOf(surface) : screenFormat();
    if (!convertKey(f, low, high)) {
        d->ddRVal = DDERR_UNSUPPORTED;
        return DDHAL_DRIVER_HANDLED;
    }
    const uint32_t keyControl = low | 0x10000000;

    if (OverlayRecord* record = recordFor(surface)) {
        gShared.overlay.currentRecord = record;
        record->keyControl = keyControl;
        record->keyUpperBound = high;
        record->blendControl = blend;
    }
    if (surface && streamsProcessorOn()) {
        waitRetraceStart();
        writeStreams(0x81A0, blend);
        writeStreams(0x8184, keyControl);
        writeStreams(0x8194, high);
    }
    return DDHAL_DRIVER_HANDLED;
}

}  // namespace ddhal
