// The callbacks DriverInit writes into the 16-bit driver's table, each taking its HAL structure.
#pragma once

#include "ddhal/ddraw_hal.h"

namespace ddhal {

DWORD Blt(DDHAL_BLTDATA* data);
DWORD Flip(DDHAL_FLIPDATA* data);
DWORD Lock(DDHAL_LOCKDATA* data);
DWORD Decline(void* data);
DWORD GetBltStatus(DDHAL_GETBLTSTATUSDATA* data);
DWORD GetFlipStatus(DDHAL_GETFLIPSTATUSDATA* data);
DWORD SetColorKey(DDHAL_SETCOLORKEYDATA* data);
DWORD UpdateOverlay(DDHAL_UPDATEOVERLAYDATA* data);
DWORD SetOverlayPosition(DDHAL_SETOVERLAYPOSITIONDATA* data);
DWORD DestroySurface(DDHAL_DESTROYSURFACEDATA* data);
DWORD WaitForVerticalBlank(DDHAL_WAITFORVERTICALBLANKDATA* data);
DWORD CanCreateSurface(DDHAL_CANCREATESURFACEDATA* data);
DWORD CreateSurface(DDHAL_CREATESURFACEDATA* data);

}  // namespace ddhal
