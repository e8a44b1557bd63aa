// Blt: colour fills and screen-to-screen copies with the 2D engine. The engine sees video memory as a
// grid of screen pixels whose rows are one pitch long, so a surface is reached by turning its offset
// into an (x, y) position on that grid. Coordinates and counts are 16-bit, as the engine takes them.
#include "ddhal/callbacks.h"
#include "ddhal/driver_state.h"
#include "ddhal/pixel_format.h"
#include "ddhal/register_access.h"
#include "ddhal/timing.h"

namespace ddhal {

namespace {

constexpr uint16_t kMixForeground = 0x27;   // source: foreground colour; mix: replace
constexpr uint16_t kMixVideoMemory = 0x67;  // source: video memory; mix: replace
constexpr uint16_t kPixelControl = 0xA000;
constexpr uint16_t kCompareOn = 0xE100;
constexpr uint16_t kCompareOff = 0xE000;
constexpr uint16_t kCmdRectFill = 0x40B3;
constexpr uint16_t kCmdBitBlt = 0xC053;
constexpr uint16_t kIncreasingXY = 0xA0;

struct Point16 {
    uint16_t x;
    uint16_t y;
};

Point16 gridPosition(const DDRAWI_DDRAWSURFACE_LCL* s, uint16_t pitch, uint16_t bytesPerPixel) {
    const auto offset = static_cast<uint32_t>(s->lpGbl->fpVidMem - gShared.dataBlock->videoMemoryStart);
    return {static_cast<uint16_t>((offset % pitch) / bytesPerPixel), static_cast<uint16_t>(offset / pitch)};
}

void writePositions(Point16 source, Point16 dest) {
    writeRegister16(kCurX, source.x);
    writeRegister16(kCurY, source.y);
    writeRegister16(kDestXDiaStp, dest.x);
    writeRegister16(kDestYAxStp, dest.y);
}

void colourFill(DDHAL_BLTDATA* d, Point16 at, uint16_t w, uint16_t h) {
    honourRemeasureRequest();
    waitStatusClear(kStatusFifo8000);
    writeRegister16(kFrgdMix, kMixForeground);
    writeRegister16(kFrgdColor, static_cast<uint16_t>(d->bltFX.dwFillColor));
    writeRegister16(kMultifuncCntl, kPixelControl);
    writeRegister16(kCurX, at.x);
    writeRegister16(kCurY, at.y);
    writeRegister16(kMajAxisPcnt, static_cast<uint16_t>(w - 1));
    writeRegister16(kMultifuncCntl, static_cast<uint16_t>((h - 1) & 0x0FFF));
    writeRegister16(kGpStatCmd, kCmdRectFill);
    writeRegister16(kFrgdMix, kMixForeground);
}

bool rectanglesOverlap(const RECTL& a, const RECTL& b, uint16_t w, uint16_t h) {
    return a.left < b.left + w && b.left < a.left + w && a.top < b.top + h && b.top < a.top + h;
}

}  // namespace

DWORD Blt(DDHAL_BLTDATA* d) {
    DDRAWI_DDRAWSURFACE_LCL* dest = d->lpDDDestSurface;
    d->ddRVal = DD_OK;
    if (hasOwnFormat(dest) && isYuvFourCC(dest->lpGbl->ddpfSurface)) {
        d->ddRVal = DDERR_UNSUPPORTED;
        return DDHAL_DRIVER_NOTHANDLED;
    }
    if (flipPending(dest)) {
        d->ddRVal = DDERR_WASSTILLDRAWING;
        return DDHAL_DRIVER_HANDLED;
    }
    if ((d->dwFlags & DDBLT_ASYNC) && (readRegister16(kGpStatCmd) & kStatusFifo800)) {
        d->ddRVal = DDERR_WASSTILLDRAWING;
        return DDHAL_DRIVER_HANDLED;
    }

    const auto screenBytes = static_cast<uint16_t>(screenFormat().dwRGBBitCount / 8);
    const auto destBytes =
        hasOwnFormat(dest) ? static_cast<uint16_t>(dest->lpGbl->ddpfSurface.dwRGBBitCount / 8) : screenBytes;
    const auto ratio = static_cast<uint16_t>(destBytes / screenBytes);
    const auto w = static_cast<uint16_t>(d->rDest.right - d->rDest.left);
    const auto h = static_cast<uint16_t>(d->rDest.bottom - d->rDest.top);
    const auto pitch = static_cast<uint16_t>(dest->lpGbl->lPitch);

    if (!(d->dwFlags & DDBLT_ROP)) {
        if (!(d->dwFlags & DDBLT_COLORFILL))
            return DDHAL_DRIVER_NOTHANDLED;
        Point16 at = gridPosition(dest, pitch, screenBytes);
        at.x = static_cast<uint16_t>(at.x + d->rDest.left);
        at.y = static_cast<uint16_t>(at.y + d->rDest.top);
        colourFill(d, at, w, h);
        return DDHAL_DRIVER_HANDLED;
    }

    DDRAWI_DDRAWSURFACE_LCL* src = d->lpDDSrcSurface;
    uint16_t direction = kIncreasingXY;
    Point16 srcCorner{static_cast<uint16_t>(d->rSrc.left), static_cast<uint16_t>(d->rSrc.top)};
    Point16 dstCorner{static_cast<uint16_t>(d->rDest.left), static_cast<uint16_t>(d->rDest.top)};
    // Copying onto an overlapping part of the same surface must not read pixels it has already
    // written: run backwards from the bottom-right when the destination lies after the source.
    if (src && src->lpGbl->fpVidMem == dest->lpGbl->fpVidMem && rectanglesOverlap(d->rSrc, d->rDest, w, h)) {
        const bool lower = d->rDest.top > d->rSrc.top;
        const bool sameRowRight = d->rDest.top == d->rSrc.top && d->rDest.left > d->rSrc.left;
        if (lower || sameRowRight) {
            direction = 0;
            srcCorner = {static_cast<uint16_t>(d->rSrc.right - 1), static_cast<uint16_t>(d->rSrc.bottom - 1)};
            dstCorner = {static_cast<uint16_t>(d->rDest.right - 1), static_cast<uint16_t>(d->rDest.bottom - 1)};
        }
    }
    if (!src || ((d->bltFX.dwROP >> 16) & 0xFF) != 0xCC)
        return DDHAL_DRIVER_HANDLED;  // only SRCCOPY draws

    Point16 from = gridPosition(src, pitch, screenBytes);
    Point16 to = gridPosition(dest, pitch, screenBytes);
    from = {static_cast<uint16_t>(from.x + srcCorner.x), static_cast<uint16_t>(from.y + srcCorner.y)};
    to = {static_cast<uint16_t>(to.x + dstCorner.x), static_cast<uint16_t>(to.y + dstCorner.y)};
    const auto command = static_cast<uint16_t>(kCmdBitBlt | direction);

    if (d->dwFlags & DDBLT_KEYSRCOVERRIDE) {
        waitStatusClear(kStatusFifo800);
        writeRegister16(kMultifuncCntl, kCompareOn);
        writeRegister16(kColorCmp, static_cast<uint16_t>(d->bltFX.ddckSrcColorkey.dwColorSpaceLowValue));
        writeRegister16(kMultifuncCntl, kPixelControl);
        writeRegister16(kFrgdMix, kMixVideoMemory);
        writePositions(from, to);
        writeRegister16(kMajAxisPcnt, static_cast<uint16_t>(w - 1));
        writeRegister16(kMultifuncCntl, static_cast<uint16_t>((h - 1) & 0x0FFF));
        writeRegister16(kGpStatCmd, command);
        writeRegister16(kFrgdMix, kMixForeground);
        writeRegister16(kMultifuncCntl, kCompareOff);
        // A one-pixel copy of (0, 0) onto itself follows every keyed copy.
        waitStatusClear(kStatusFifo4000);
        writeRegister16(kMultifuncCntl, kPixelControl);
        writeRegister16(kFrgdMix, kMixVideoMemory);
        writePositions({0, 0}, {0, 0});
        writeRegister16(kMajAxisPcnt, 0);
        writeRegister16(kMultifuncCntl, 0);
        writeRegister16(kGpStatCmd, command);
        writeRegister16(kFrgdMix, kMixForeground);
        return DDHAL_DRIVER_HANDLED;
    }

    waitStatusClear(kStatusFifo4000);
    writeRegister16(kMultifuncCntl, kPixelControl);
    writeRegister16(kFrgdMix, kMixVideoMemory);
    writePositions(from, to);
    writeRegister16(kMajAxisPcnt, static_cast<uint16_t>(w * ratio - 1));
    writeRegister16(kMultifuncCntl, static_cast<uint16_t>((h - 1) & 0x0FFF));
    writeRegister16(kGpStatCmd, command);
    writeRegister16(kFrgdMix, kMixForeground);
    return DDHAL_DRIVER_HANDLED;
}

}  // namespace ddhal
