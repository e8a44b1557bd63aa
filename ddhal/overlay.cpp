// UpdateOverlay and SetOverlayPosition: the streams processor's secondary stream. Every update
// recomputes the surface's whole register set into its record; the registers are loaded only for the
// overlay on show, and only at the start of a vertical retrace so the picture never tears.
#include "ddhal/callbacks.h"
#include "ddhal/driver_state.h"
#include "ddhal/overlay_record.h"
#include "ddhal/pixel_format.h"
#include "ddhal/register_access.h"
#include "ddhal/timing.h"

namespace ddhal {

namespace {

constexpr DWORD kKeyFlags = DDOVER_KEYDEST | DDOVER_KEYDESTOVERRIDE | DDOVER_KEYSRC | DDOVER_KEYSRCOVERRIDE;
constexpr DWORD kAlphaFlags =
    DDOVER_ALPHADEST | DDOVER_ALPHADESTCONSTOVERRIDE | DDOVER_ALPHASRC | DDOVER_ALPHASRCCONSTOVERRIDE;
constexpr uint32_t kBlendSourceKey = 0x06000000;
constexpr uint32_t kBlendDestKey = 0x05000000;
constexpr uint32_t kBlendConstAlpha = 0x02000001;

// Source format code of the secondary stream (bits 24 to 26), or -1 for a format it cannot read.
int sourceFormatCode(const DDPIXELFORMAT& f) {
    if (isFourCC(f)) {
        if (f.dwFourCC == FOURCC_YUY2)
            return 1;
        if (f.dwFourCC == FOURCC_Y211)
            return 4;
        return -1;
    }
    if (isPalette8(f) || !isRgb(f))
        return -1;
    if (isRgb555(f))
        return 3;
    if (isRgb565(f))
        return 5;
    if (isRgb888(f))
        return f.dwRGBBitCount == 24 ? 6 : 7;
    return -1;
}

// An overlay colour key in the chip's terms: 8-bit RGB components at the top of each byte, or the
// YUV key with its sign bits adjusted. False for a format the key cannot be given in.
bool convertOverlayKey(const DDPIXELFORMAT& f, uint32_t& low, uint32_t& high) {
    if (isFourCC(f)) {
        if (!isYuvFourCC(f))
            return false;
        low ^= 0xFF008080;
        high ^= 0xFF008080;
        return true;
    }
    if (isPalette8(f) || (isRgb(f) && f.dwRGBBitCount == 8)) {
        low = high = readPaletteColour(static_cast<uint8_t>(low));
        return true;
    }
    if (isRgb555(f)) {
        low = expand555(low);
        high = expand555(high);
        return true;
    }
    if (isRgb565(f)) {
        low = expand565(low);
        high = expand565(high);
        return true;
    }
    return isRgb888(f);
}

void loadRecord(const OverlayRecord& r, bool keyOrAlpha) {
    waitEngineIdle();
    waitRetraceStart();
    writeStreams(0x81D0, r.frameBufferAddress);
    writeStreams(0x81F8, r.windowStart);
    writeStreams(0x81FC, r.windowSize);
    writeStreams(0x81D8, r.stride);
    writeStreams(0x8190, r.streamControl);
    writeStreams(0x8198, r.horizontalStretch);
    writeStreams(0x81E0, r.verticalFactor1);
    writeStreams(0x81E4, r.verticalFactor2);
    writeStreams(0x81E8, r.verticalAccumulator);
    if (keyOrAlpha) {
        writeStreams(0x8184, r.keyControl);
        writeStreams(0x8194, r.keyUpperBound);
    }
    writeStreams(0x81A0, r.blendControl);
    writeStreams(0x81EC, r.fifoControl);
}

}  // namespace

void hideOverlay() {
    gShared.overlay.visibleOverlay = nullptr;
    if (!streamsProcessorOn())
        return;
    waitRetraceStart();
    writeStreams(0x81A0, 0x01000000);
    writeStreams(0x81FC, 0x00090002);
    writeStreams(0x81DC, 0);
}

DWORD UpdateOverlay(DDHAL_UPDATEOVERLAYDATA* d) {
    d->ddRVal = DD_OK;
    const DWORD flags = d->dwFlags;
    if ((flags & kKeyFlags) && (flags & kAlphaFlags)) {
        d->ddRVal = DDERR_INVALIDPARAMS;
        return DDHAL_DRIVER_HANDLED;
    }

    DDRAWI_DDRAWSURFACE_LCL* src = d->lpDDSrcSurface;
    DDRAWI_DDRAWSURFACE_LCL* dst = d->lpDDDestSurface;
    OverlayState& overlay = gShared.overlay;
    OverlayRecord* record = ownRecord(src);
    if (!record) {
        record = allocateRecord(src);
        if (!record) {
            d->ddRVal = DDERR_OUTOFMEMORY;
            return DDHAL_DRIVER_HANDLED;
        }
        src->lpGbl->dwReserved1 = reinterpret_cast<ULONG_PTR>(record);
        if (dst)
            dst->lpGbl->dwReserved1 = reinterpret_cast<ULONG_PTR>(src);
    }
    overlay.currentRecord = record;

    if (flags & DDOVER_HIDE) {
        if (overlay.visibleOverlay == src)
            hideOverlay();
        return DDHAL_DRIVER_HANDLED;
    }
    // The one secondary stream is taken only once the update has passed every check below.
    const bool show = (flags & DDOVER_SHOW) != 0;
    DDRAWI_DDRAWSURFACE_LCL* displaced = nullptr;
    if (show && overlay.visibleOverlay && overlay.visibleOverlay != src) {
        // Only live video or a hardware codec may take it over from another surface.
        if (!(src->ddsCaps.dwCaps & (DDSCAPS_LIVEVIDEO | DDSCAPS_HWCODEC))) {
            d->ddRVal = DDERR_OUTOFCAPS;
            return DDHAL_DRIVER_HANDLED;
        }
        displaced = overlay.visibleOverlay;
    }

    const RECTL& rs = d->rSrc;
    const RECTL& rd = d->rDest;
    const int32_t srcW = rs.right - rs.left;
    const int32_t srcH = rs.bottom - rs.top;
    const int32_t dstW = rd.right - rd.left;
    const int32_t dstH = rd.bottom - rd.top;

    uint32_t streamControl = static_cast<uint32_t>(2 * srcW - dstW - 1) & 0xFFF;

    const DDPIXELFORMAT& srcFormat = formatOf(src);
    const int code = sourceFormatCode(srcFormat);
    if (code < 0) {
        d->ddRVal = DDERR_INVALIDPIXELFORMAT;
        return DDHAL_DRIVER_HANDLED;
    }
    streamControl |= static_cast<uint32_t>(code) << 24;

    // The stream starts on an 8-byte boundary; 24-bit pixels step back to the 8-pixel boundary.
    const uint32_t bytes = srcFormat.dwRGBBitCount / 8;
    const uint32_t pitch = static_cast<uint32_t>(src->lpGbl->lPitch);
    uint32_t offset = bytes * static_cast<uint32_t>(rs.left) + static_cast<uint32_t>(rs.top) * pitch;
    if (bytes == 3)
        offset -= 3 * (static_cast<uint32_t>(rs.left) % 8);
    else
        offset &= ~7u;
    const auto frameBuffer =
        static_cast<uint32_t>(src->lpGbl->fpVidMem - gShared.dataBlock->videoMemoryStart + offset);

    if (srcW != dstW || srcH != dstH) {
        const uint32_t filter = dstW >= 4 * srcW ? 3 : dstW >= 2 * srcW ? 2 : 1;
        streamControl |= filter << 28;
    }
    const uint32_t fifoControl = (0x294C | gShared.savedFifoBits) | 0x40000;

    uint32_t keyControl = 0;
    uint32_t keyUpper = 0;
    uint32_t blend = 0;
    bool keyOrAlpha = false;
    if (flags & kKeyFlags) {
        DDCOLORKEY key{};
        const DDPIXELFORMAT* keyFormat = &srcFormat;
        bool destKey = false;
        if (flags & DDOVER_KEYSRC) {
            key = src->ddckCKSrcOverlay;
        } else if (flags & DDOVER_KEYSRCOVERRIDE) {
            key = d->overlayFX.dckSrcColorkey;
        } else {
            if (!dst) {
                d->ddRVal = DDERR_INVALIDPARAMS;
                return DDHAL_DRIVER_HANDLED;
            }
            key = (flags & DDOVER_KEYDEST) ? dst->ddckCKDestOverlay : d->overlayFX.dckDestColorkey;
            keyFormat = &formatOf(dst);
            destKey = true;
        }
        blend = destKey ? kBlendDestKey : kBlendSourceKey;
        uint32_t low = key.dwColorSpaceLowValue;
        uint32_t high = key.dwColorSpaceHighValue;
        if (destKey && (low & 0xFFFFFF) != high) {
            d->ddRVal = DDERR_INVALIDPARAMS;  // the chip matches one destination colour only
            return DDHAL_DRIVER_HANDLED;
        }
        if (!convertOverlayKey(*keyFormat, low, high)) {
            d->ddRVal = DDERR_INVALIDPARAMS;
            return DDHAL_DRIVER_HANDLED;
        }
        keyControl = low | 0x17000000;
        keyUpper = high;
        keyOrAlpha = true;
    } else {
        if (flags & DDOVER_ALPHASRC) {
            blend |= kBlendSourceKey;
            keyOrAlpha = true;
        }
        if (flags & DDOVER_ALPHADEST) {
            blend |= kBlendDestKey;
            keyOrAlpha = true;
        }
        if (flags & DDOVER_ALPHASRCCONSTOVERRIDE) {
            if ((d->overlayFX.dwAlphaSrcConst & 7) == 0) {
                if (overlay.visibleOverlay == src)
                    hideOverlay();  // a fully transparent overlay is simply not shown
                return DDHAL_DRIVER_HANDLED;
            }
            blend |= kBlendConstAlpha;
        }
        if ((flags & DDOVER_ALPHADESTCONSTOVERRIDE) && (d->overlayFX.dwAlphaDestConst & 7) != 0)
            blend |= kBlendConstAlpha;
    }

    // Kept until here so a refused update leaves the shown start as it was.
    overlay.sourceOffset = offset;
    record->sourceSurface = src;
    record->frameBufferAddress = frameBuffer;
    record->windowStart = ((static_cast<uint32_t>(rd.left) + 1) & 0x7FF) << 16 | ((static_cast<uint32_t>(rd.top) + 1) & 0x7FF);
    record->windowSize = (static_cast<uint32_t>(dstW - 1) & 0x7FF) << 16 | (static_cast<uint32_t>(dstH) & 0x7FF);
    // One register holds both strides: the secondary's in the high half, the primary's (the
    // screen's pitch) in the low half.
    record->stride = (pitch & 0xFFF) << 16 | (gShared.dataBlock->screenPitch & 0xFFF);
    record->streamControl = streamControl;
    record->horizontalStretch = (static_cast<uint32_t>(srcW - dstW) & 0x7FF) << 16 | (static_cast<uint32_t>(srcW - 1) & 0x7FF);
    record->verticalFactor1 = static_cast<uint32_t>(srcH - 1) & 0x7FF;
    record->verticalFactor2 = static_cast<uint32_t>(srcH - dstH) & 0x7FF;
    record->verticalAccumulator = static_cast<uint32_t>(1 - dstH) & 0xFFF;
    record->keyControl = keyControl;
    record->keyUpperBound = keyUpper;
    record->blendControl = blend;
    record->fifoControl = fifoControl;

    if (show) {
        if (displaced)
            displaced->ddsCaps.dwCaps &= ~DDSCAPS_VISIBLE;
        overlay.visibleOverlay = src;
    }
    if (overlay.visibleOverlay == src && streamsProcessorOn())
        loadRecord(*record, keyOrAlpha);
    return DDHAL_DRIVER_HANDLED;
}

DWORD SetOverlayPosition(DDHAL_SETOVERLAYPOSITIONDATA* d) {
    const uint32_t start = ((static_cast<uint32_t>(d->lXPos) + 1) & 0x7FF) << 16 |
                           ((static_cast<uint32_t>(d->lYPos) + 1) & 0x7FF);
    if (OverlayRecord* record = ownRecord(d->lpDDSrcSurface)) {
        record->windowStart = start;
        gShared.overlay.currentRecord = record;
    }
    if (streamsProcessorOn()) {
        waitRetraceStart();
        writeStreams(0x81F8, start);
    }
    d->ddRVal = DD_OK;
    return DDHAL_DRIVER_HANDLED;
}

}  // namespace ddhal
