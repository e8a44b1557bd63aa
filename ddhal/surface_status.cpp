// Lock, the blit and flip status queries, and the vertical-blank waits.
#include "ddhal/callbacks.h"
#include "ddhal/driver_state.h"
#include "ddhal/register_access.h"
#include "ddhal/timing.h"

namespace ddhal {

namespace {
bool engineBusy() { return (readRegister16(kGpStatCmd) & kStatusBusy) != 0; }
}  // namespace

// Handled only to refuse; otherwise DirectDraw computes the surface pointer itself.
DWORD Lock(DDHAL_LOCKDATA* d) {
    d->ddRVal = DD_OK;
    honourRemeasureRequest();
    if (flipPending(d->lpDDSurface) || engineBusy()) {
        d->ddRVal = DDERR_WASSTILLDRAWING;
        return DDHAL_DRIVER_HANDLED;
    }
    return DDHAL_DRIVER_NOTHANDLED;
}

DWORD Decline(void*) { return DDHAL_DRIVER_NOTHANDLED; }

DWORD GetBltStatus(DDHAL_GETBLTSTATUSDATA* d) {
    if (d->dwFlags != DDGBS_CANBLT) {
        d->ddRVal = engineBusy() ? DDERR_WASSTILLDRAWING : DD_OK;
        return DDHAL_DRIVER_HANDLED;
    }
    if (flipPending(d->lpDDSurface) || (readRegister16(kGpStatCmd) & kStatusFifo800))
        d->ddRVal = DDERR_WASSTILLDRAWING;
    else
        d->ddRVal = DD_OK;
    return DDHAL_DRIVER_HANDLED;
}

DWORD GetFlipStatus(DDHAL_GETFLIPSTATUSDATA* d) {
    if (flipPending(nullptr) || (d->dwFlags == DDGFS_CANFLIP && engineBusy()))
        d->ddRVal = DDERR_WASSTILLDRAWING;
    else
        d->ddRVal = DD_OK;
    return DDHAL_DRIVER_HANDLED;
}

DWORD WaitForVerticalBlank(DDHAL_WAITFORVERTICALBLANKDATA* d) {
    switch (d->dwFlags) {
    case DDWAITVB_BLOCKBEGIN:
        waitRetraceStart();
        break;
    case DDWAITVB_BLOCKEND:
        if (!inRetrace()) {
            while (!inRetrace()) {
            }
        }
        while (inRetrace()) {
        }
        break;
    case DDWAITVB_I_TESTVB:
        d->bIsInVB = readRegister8(kInputStatus) & kRetraceBit;
        break;
    default:
        return DDHAL_DRIVER_NOTHANDLED;
    }
    d->ddRVal = DD_OK;
    return DDHAL_DRIVER_HANDLED;
}

}  // namespace ddhal
