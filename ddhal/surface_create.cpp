// The checks and allocation rules for new surfaces, and the release of an overlay record when a
// surface goes. DirectDraw itself allocates and frees the video memory by the block sizes set here.
#include "ddhal/callbacks.h"
#include "ddhal/driver_state.h"
#include "ddhal/overlay_record.h"
#include "ddhal/pixel_format.h"

namespace ddhal {

namespace {

HRESULT checkDifferentFormat(DDSURFACEDESC* desc) {
    const uint32_t caps = gShared.dataBlock->capabilities;
    DDPIXELFORMAT& f = desc->ddpfPixelFormat;
    const bool ownFormats = (caps & kCapsOwnFormats) != 0;
    if (!(caps & (kCapsOwnFormats | kCapsStreamsScreen)))
        return DDERR_INVALIDPIXELFORMAT;
    if (ownFormats && screenFormat().dwRGBBitCount == 8 && isFourCC(f))
        return DDERR_INVALIDPIXELFORMAT;

    const bool overlay = (desc->ddsCaps.dwCaps & DDSCAPS_OVERLAY) != 0;
    if (!overlay && !ownFormats) {
        // Only a 5-5-5 alpha surface may sit beside a screen the streams processor shows.
        return ((desc->ddsCaps.dwCaps & DDSCAPS_ALPHA) && isRgb555(f)) ? DD_OK : DDERR_INVALIDPIXELFORMAT;
    }
    if (isFourCC(f)) {
        if (f.dwFourCC == FOURCC_YUY2) {
            f.dwYUVBitCount = 16;
            return DD_OK;
        }
        if (f.dwFourCC == FOURCC_Y211 && !ownFormats) {
            f.dwYUVBitCount = 8;
            return DD_OK;
        }
        return DDERR_INVALIDPIXELFORMAT;
    }
    if (isPalette8(f) || !isRgb(f))
        return DDERR_INVALIDPIXELFORMAT;
    return (isRgb555(f) || isRgb565(f) || isRgb888(f)) ? DD_OK : DDERR_INVALIDPIXELFORMAT;
}

}  // namespace

DWORD CanCreateSurface(DDHAL_CANCREATESURFACEDATA* d) {
    d->ddRVal = d->bIsDifferentPixelFormat ? checkDifferentFormat(d->lpDDSurfaceDesc) : DD_OK;
    return DDHAL_DRIVER_HANDLED;
}

DWORD CreateSurface(DDHAL_CREATESURFACEDATA* d) {
    const DriverDataBlock* block = gShared.dataBlock;
    const uint32_t screenBytes = screenFormat().dwRGBBitCount / 8;
    // Surfaces other than YUV ones get the screen's pitch, so their rows must fit in it; wider rows
    // would overlap the next row and every blit to one would write into another.
    for (DWORD i = 0; i < d->dwSCnt; ++i) {
        const DDRAWI_DDRAWSURFACE_LCL* surface = d->lplpSList[i];
        const bool own = hasOwnFormat(surface);
        if (own && isFourCC(surface->lpGbl->ddpfSurface))
            continue;
        const uint32_t bytes = own ? surface->lpGbl->ddpfSurface.dwRGBBitCount / 8 : screenBytes;
        if (surface->lpGbl->wWidth * bytes > block->screenPitch) {
            d->ddRVal = DDERR_UNSUPPORTED;
            return DDHAL_DRIVER_HANDLED;
        }
    }
    for (DWORD i = 0; i < d->dwSCnt; ++i) {
        DDRAWI_DDRAWSURFACE_LCL* surface = d->lplpSList[i];
        DDRAWI_DDRAWSURFACE_GBL* g = surface->lpGbl;
        const bool own = hasOwnFormat(surface);
        if (own && isFourCC(g->ddpfSurface)) {
            // The streams processor cannot flip between YUV buffers.
            if (d->dwSCnt > 1) {
                d->ddRVal = DDERR_UNSUPPORTED;
                return DDHAL_DRIVER_HANDLED;
            }
            if (g->ddpfSurface.dwFourCC == FOURCC_Y211)
                g->ddpfSurface.dwYUVBitCount = 8;
            else if (g->ddpfSurface.dwFourCC == FOURCC_YUY2)
                g->ddpfSurface.dwYUVBitCount = 16;
            const uint32_t bytes = g->ddpfSurface.dwYUVBitCount / 8;
            const uint32_t pitch = (bytes * g->wWidth + 7) & ~7u;
            g->lPitch = static_cast<LONG>(pitch);
            d->lpDDSurfaceDesc->lPitch = static_cast<LONG>(pitch);
            d->lpDDSurfaceDesc->dwFlags |= DDSD_PITCH;
            g->fpVidMem = DDHAL_PLEASEALLOC_BLOCKSIZE;
            g->dwBlockSizeX = block->screenPitch;
            g->dwBlockSizeY = ((g->wHeight + 1u) * pitch - 1) / block->screenPitch;
            continue;
        }
        const uint32_t bytes = own ? g->ddpfSurface.dwRGBBitCount / 8 : screenBytes;
        g->lPitch = static_cast<LONG>(block->screenPitch);
        d->lpDDSurfaceDesc->lPitch = static_cast<LONG>(block->screenPitch);
        d->lpDDSurfaceDesc->dwFlags |= DDSD_PITCH;
        g->fpVidMem = DDHAL_PLEASEALLOC_BLOCKSIZE;
        g->dwBlockSizeX = (g->wWidth * bytes + 7) & ~7u;
        g->dwBlockSizeY = g->wHeight;
    }
    d->ddRVal = DD_OK;
    return DDHAL_DRIVER_NOTHANDLED;
}

DWORD DestroySurface(DDHAL_DESTROYSURFACEDATA* d) {
    DDRAWI_DDRAWSURFACE_LCL* surface = d->lpDDSurface;
    OverlayState& overlay = gShared.overlay;
    // The streams processor must stop reading the memory before DirectDraw frees it.
    if (overlay.visibleOverlay == surface)
        hideOverlay();
    if (OverlayRecord* record = ownRecord(surface)) {
        if (overlay.currentRecord == record)
            overlay.currentRecord = nullptr;
        freeRecord(record);
        surface->lpGbl->dwReserved1 = 0;
    }
    d->ddRVal = DD_OK;
    return DDHAL_DRIVER_NOTHANDLED;
}

}  // namespace ddhal
