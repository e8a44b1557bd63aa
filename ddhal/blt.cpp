// Blt: colour fills and screen-to-screen copies with the 2D engine. The engine sees video memory as a
// grid of screen pixels whose rows are one pitch long, so a surface is reached by turning its offset
// into an (x, y) position on that grid. A surface whose depth differs from the screen's is measured
// in bytes of its own depth and then in engine pixels; what the engine cannot express for that depth
// is refused rather than drawn somewhere near it. Every rectangle is checked against its surface, so
// the engine never writes outside the destination.
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
constexpr uint16_t kUpperWord = 0x0010;     // miscellaneous: colour registers take their high half
constexpr uint16_t kCmdRectFill = 0x40B3;
constexpr uint16_t kCmdBitBlt = 0xC053;
constexpr uint16_t kIncreasingXY = 0xA0;
constexpr uint32_t kEngineLimit = 4096;     // 12-bit positions and counts

// A rectangle on the engine's grid, in screen pixels.
struct GridRect {
    uint32_t x, y, w, h;
};

uint32_t bytesOf(const DDRAWI_DDRAWSURFACE_LCL* s, uint32_t screenBytes) {
    return hasOwnFormat(s) ? s->lpGbl->ddpfSurface.dwRGBBitCount / 8 : screenBytes;
}

bool insideSurface(const RECTL& r, const DDRAWI_DDRAWSURFACE_LCL* s) {
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= s->lpGbl->wWidth &&
           r.bottom <= s->lpGbl->wHeight;
}

// The grid rectangle that holds exactly the bytes of `r` in surface `s`, or false when the engine
// cannot address them: edges between screen pixels, rows that are not one screen pitch, or
// positions beyond the engine's reach.
bool gridRect(const DDRAWI_DDRAWSURFACE_LCL* s, const RECTL& r, uint32_t surfaceBytes, uint32_t screenBytes,
              GridRect& out) {
    const uint32_t pitch = gShared.dataBlock->screenPitch;
    if (static_cast<uint32_t>(s->lpGbl->lPitch) != pitch || surfaceBytes == 0)
        return false;
    const auto offset = static_cast<uint64_t>(s->lpGbl->fpVidMem - gShared.dataBlock->videoMemoryStart);
    const uint64_t leftByte = offset % pitch + static_cast<uint64_t>(r.left) * surfaceBytes;
    const uint64_t rightByte = offset % pitch + static_cast<uint64_t>(r.right) * surfaceBytes;
    if (leftByte % screenBytes || rightByte % screenBytes || rightByte > pitch ||
        offset / pitch + static_cast<uint64_t>(r.bottom) > kEngineLimit)
        return false;
    out = {static_cast<uint32_t>(leftByte / screenBytes), static_cast<uint32_t>(offset / pitch + r.top),
           static_cast<uint32_t>((rightByte - leftByte) / screenBytes), static_cast<uint32_t>(r.bottom - r.top)};
    return out.x + out.w <= kEngineLimit && out.y + out.h <= kEngineLimit;
}

void writeColour(uint32_t reg, uint16_t misc, uint32_t colour, uint32_t screenBytes) {
    writeRegister16(reg, static_cast<uint16_t>(colour));
    if (screenBytes == 4) {
        writeRegister16(kMultifuncCntl, static_cast<uint16_t>(misc | kUpperWord));
        writeRegister16(reg, static_cast<uint16_t>(colour >> 16));
        writeRegister16(kMultifuncCntl, misc);
    }
}

void engineFill(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t colour, uint32_t screenBytes) {
    waitStatusClear(kStatusFifo8000);
    writeRegister16(kFrgdMix, kMixForeground);
    writeColour(kFrgdColor, kCompareOff, colour, screenBytes);
    writeRegister16(kMultifuncCntl, kPixelControl);
    writeRegister16(kCurX, static_cast<uint16_t>(x));
    writeRegister16(kCurY, static_cast<uint16_t>(y));
    writeRegister16(kMajAxisPcnt, static_cast<uint16_t>(w - 1));
    writeRegister16(kMultifuncCntl, static_cast<uint16_t>((h - 1) & 0x0FFF));
    writeRegister16(kGpStatCmd, kCmdRectFill);
    writeRegister16(kFrgdMix, kMixForeground);
}

void engineCopy(uint32_t sx, uint32_t sy, uint32_t dx, uint32_t dy, uint32_t w, uint32_t h, uint16_t command) {
    waitStatusClear(kStatusFifo4000);
    writeRegister16(kMultifuncCntl, kPixelControl);
    writeRegister16(kFrgdMix, kMixVideoMemory);
    writeRegister16(kCurX, static_cast<uint16_t>(sx));
    writeRegister16(kCurY, static_cast<uint16_t>(sy));
    writeRegister16(kDestXDiaStp, static_cast<uint16_t>(dx));
    writeRegister16(kDestYAxStp, static_cast<uint16_t>(dy));
    writeRegister16(kMajAxisPcnt, static_cast<uint16_t>(w - 1));
    writeRegister16(kMultifuncCntl, static_cast<uint16_t>((h - 1) & 0x0FFF));
    writeRegister16(kGpStatCmd, command);
    writeRegister16(kFrgdMix, kMixForeground);
}

uint32_t gcd(uint32_t a, uint32_t b) { return b ? gcd(b, a % b) : a; }

// Fills with a surface colour of `surfaceBytes` bytes. The colour repeats every lcm(surface, screen)
// bytes; when that span is one screen pixel a single fill does it. Otherwise the span is laid down
// pixel by pixel at the rectangle's corner and doubled by copies along the first row and then down,
// all inside the rectangle.
void colourFill(const GridRect& g, uint32_t colour, uint32_t surfaceBytes, uint32_t screenBytes) {
    honourRemeasureRequest();
    const uint32_t span = surfaceBytes / gcd(surfaceBytes, screenBytes) * screenBytes;
    uint32_t chunks[12] = {};
    bool uniform = true;
    for (uint32_t j = 0; j < span / screenBytes; ++j) {
        for (uint32_t b = 0; b < screenBytes; ++b) {
            const uint32_t byteOfColour = (j * screenBytes + b) % surfaceBytes;
            chunks[j] |= ((colour >> (8 * byteOfColour)) & 0xFF) << (8 * b);
        }
        uniform = uniform && chunks[j] == chunks[0];
    }
    if (uniform) {
        engineFill(g.x, g.y, g.w, g.h, chunks[0], screenBytes);
        return;
    }
    const uint32_t seed = span / screenBytes;
    for (uint32_t j = 0; j < seed; ++j)
        engineFill(g.x + j, g.y, 1, 1, chunks[j], screenBytes);
    const auto forwards = static_cast<uint16_t>(kCmdBitBlt | kIncreasingXY);
    for (uint32_t done = seed; done < g.w;) {
        const uint32_t n = done < g.w - done ? done : g.w - done;
        engineCopy(g.x, g.y, g.x + done, g.y, n, 1, forwards);
        done += n;
    }
    for (uint32_t rows = 1; rows < g.h;) {
        const uint32_t n = rows < g.h - rows ? rows : g.h - rows;
        engineCopy(g.x, g.y, g.x, g.y + rows, g.w, n, forwards);
        rows += n;
    }
}

bool overlap(const GridRect& a, const GridRect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

DWORD answer(DDHAL_BLTDATA* d, HRESULT result) {
    d->ddRVal = result;
    return DDHAL_DRIVER_HANDLED;
}

}  // namespace

DWORD Blt(DDHAL_BLTDATA* d) {
    DDRAWI_DDRAWSURFACE_LCL* dest = d->lpDDDestSurface;
    d->ddRVal = DD_OK;
    if (hasOwnFormat(dest) && isYuvFourCC(dest->lpGbl->ddpfSurface)) {
        d->ddRVal = DDERR_UNSUPPORTED;
        return DDHAL_DRIVER_NOTHANDLED;
    }
    if (flipPending(dest))
        return answer(d, DDERR_WASSTILLDRAWING);
    if ((d->dwFlags & DDBLT_ASYNC) && (readRegister16(kGpStatCmd) & kStatusFifo800))
        return answer(d, DDERR_WASSTILLDRAWING);
    if (!(d->dwFlags & (DDBLT_ROP | DDBLT_COLORFILL)))
        return DDHAL_DRIVER_NOTHANDLED;

    const uint32_t screenBytes = screenFormat().dwRGBBitCount / 8;
    const uint32_t destBytes = bytesOf(dest, screenBytes);
    const RECTL& rd = d->rDest;
    if (!insideSurface(rd, dest))
        return answer(d, DDERR_INVALIDPARAMS);
    if (rd.right == rd.left || rd.bottom == rd.top)
        return answer(d, DD_OK);
    GridRect to{};
    if (!gridRect(dest, rd, destBytes, screenBytes, to))
        return answer(d, DDERR_UNSUPPORTED);

    if (!(d->dwFlags & DDBLT_ROP)) {
        colourFill(to, d->bltFX.dwFillColor, destBytes, screenBytes);
        return DDHAL_DRIVER_HANDLED;
    }

    DDRAWI_DDRAWSURFACE_LCL* src = d->lpDDSrcSurface;
    if (!src || ((d->bltFX.dwROP >> 16) & 0xFF) != 0xCC)
        return DDHAL_DRIVER_HANDLED;  // only SRCCOPY draws
    // The engine neither stretches nor converts between depths.
    const RECTL& rs = d->rSrc;
    if (rs.right - rs.left != rd.right - rd.left || rs.bottom - rs.top != rd.bottom - rd.top)
        return answer(d, DDERR_UNSUPPORTED);
    if (!insideSurface(rs, src))
        return answer(d, DDERR_INVALIDPARAMS);
    GridRect from{};
    if (bytesOf(src, screenBytes) != destBytes || !gridRect(src, rs, destBytes, screenBytes, from))
        return answer(d, DDERR_UNSUPPORTED);
    const bool keyed = (d->dwFlags & DDBLT_KEYSRCOVERRIDE) != 0;
    // The colour compare looks at whole screen pixels, which are surface pixels only at the screen's depth.
    if (keyed && destBytes != screenBytes)
        return answer(d, DDERR_UNSUPPORTED);

    // Copying onto an overlapping part of the same memory must not read pixels it has already
    // written: run backwards from the bottom-right when the destination lies after the source.
    uint16_t direction = kIncreasingXY;
    uint32_t sx = from.x, sy = from.y, dx = to.x, dy = to.y;
    if (overlap(from, to) && (to.y > from.y || (to.y == from.y && to.x > from.x))) {
        direction = 0;
        sx = from.x + from.w - 1;
        sy = from.y + from.h - 1;
        dx = to.x + to.w - 1;
        dy = to.y + to.h - 1;
    }
    const auto command = static_cast<uint16_t>(kCmdBitBlt | direction);
    if (!keyed) {
        engineCopy(sx, sy, dx, dy, to.w, to.h, command);
        return DDHAL_DRIVER_HANDLED;
    }

    waitStatusClear(kStatusFifo800);
    writeRegister16(kMultifuncCntl, kCompareOn);
    writeColour(kColorCmp, kCompareOn, d->bltFX.ddckSrcColorkey.dwColorSpaceLowValue, screenBytes);
    writeRegister16(kMultifuncCntl, kPixelControl);
    writeRegister16(kFrgdMix, kMixVideoMemory);
    writeRegister16(kCurX, static_cast<uint16_t>(sx));
    writeRegister16(kCurY, static_cast<uint16_t>(sy));
    writeRegister16(kDestXDiaStp, static_cast<uint16_t>(dx));
    writeRegister16(kDestYAxStp, static_cast<uint16_t>(dy));
    writeRegister16(kMajAxisPcnt, static_cast<uint16_t>(to.w - 1));
    writeRegister16(kMultifuncCntl, static_cast<uint16_t>((to.h - 1) & 0x0FFF));
    writeRegister16(kGpStatCmd, command);
    writeRegister16(kFrgdMix, kMixForeground);
    writeRegister16(kMultifuncCntl, kCompareOff);
    // A one-pixel copy of (0, 0) onto itself follows every keyed copy.
    engineCopy(0, 0, 0, 0, 1, 1, command);
    return DDHAL_DRIVER_HANDLED;
}

}  // namespace ddhal
