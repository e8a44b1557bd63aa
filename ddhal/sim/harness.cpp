#include "ddhal/sim/harness.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifndef VORTAL32_DEFAULT_PATH
#define VORTAL32_DEFAULT_PATH "libVortal32.so"
#endif

namespace ddhal::sim {

DDPIXELFORMAT rgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b) {
    DDPIXELFORMAT f{};
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB;
    f.dwRGBBitCount = bits;
    f.dwRBitMask = r;
    f.dwGBitMask = g;
    f.dwBBitMask = b;
    return f;
}

DDPIXELFORMAT fourccFormat(DWORD fourcc) {
    DDPIXELFORMAT f{};
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_FOURCC;
    f.dwFourCC = fourcc;
    return f;
}

DDPIXELFORMAT palette8Format() {
    DDPIXELFORMAT f{};
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    f.dwRGBBitCount = 8;
    return f;
}

DDSURFACEDESC surfaceDesc(DWORD width, DWORD height, DWORD caps, const DDPIXELFORMAT* format) {
    DDSURFACEDESC d{};
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = width;
    d.dwHeight = height;
    d.ddsCaps.dwCaps = caps;
    if (format) {
        d.dwFlags |= DDSD_PIXELFORMAT;
        d.ddpfPixelFormat = *format;
    }
    return d;
}

namespace {

DDPIXELFORMAT screenFormatFor(const ChipConfig& c) {
    switch (c.bitsPerPixel) {
    case 16: return rgbFormat(16, 0xF800, 0x7E0, 0x1F);
    case 32: return rgbFormat(32, 0xFF0000, 0xFF00, 0xFF);
    default: return palette8Format();
    }
}

bool sameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return a.dwFlags == b.dwFlags && a.dwFourCC == b.dwFourCC && a.dwRGBBitCount == b.dwRGBBitCount &&
           a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask;
}

}  // namespace

Harness::Harness(const HarnessConfig& config) : config_(config) {
    chip_ = std::make_unique<S3Chip>(config.chip);
    host_ = std::make_unique<SimHost>(*chip_);
    rowUsed_.assign(chip_->videoMemorySize() / config.chip.pitch, false);

    block_ = std::make_unique<DriverDataBlock>();
    *block_ = DriverDataBlock{};
    block_->videoMemoryStart = reinterpret_cast<uintptr_t>(chip_->videoMemory());
    block_->screenPitch = config.chip.pitch;
    block_->screenFormat = screenFormatFor(config.chip);
    block_->chipId = config.chipId;
    block_->capabilities = config.capabilities;

    pointers_ = std::make_unique<DriverInitPointers>();
    pointers_->registerWindow = host_->addSelector(chip_->registerWindow(), 0x10000);
    pointers_->streamsWindow = host_->addSelector(chip_->streamsWindow(), 0x10000);
    pointers_->dataBlock = host_->addSelector(block_.get(), sizeof(DriverDataBlock));
    initPointer_ = host_->addSelector(pointers_.get(), sizeof(DriverInitPointers));

    // The primary surface is the visible screen at the start of video memory.
    auto primary = std::make_unique<Surface>();
    primary->lcl.lpGbl = &primary->gbl;
    primary->lcl.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE | DDSCAPS_FRONTBUFFER | DDSCAPS_VIDEOMEMORY;
    primary->gbl.fpVidMem = block_->videoMemoryStart;
    primary->gbl.lPitch = static_cast<LONG>(config.chip.pitch);
    primary->gbl.wWidth = static_cast<WORD>(config.chip.width);
    primary->gbl.wHeight = static_cast<WORD>(config.chip.height);
    primary->firstRow = allocateRows(config.chip.height);
    primary->rows = config.chip.height;
    primary_ = primary.get();
    surfaces_.push_back(std::move(primary));

    host_->install();
    const std::string path = config.library.empty() ? VORTAL32_DEFAULT_PATH : config.library;
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dlerror());
        return;
    }
    driverInit_ = reinterpret_cast<uint32_t (*)(uint32_t)>(dlsym(library_, "DriverInit"));
    if (config.initialise && driverInit_)
        driverInit(initPointer_);
}

Harness::~Harness() {
    unload();
    host_->uninstall();
}

void Harness::unload() {
    if (library_)
        dlclose(library_);
    library_ = nullptr;
    driverInit_ = nullptr;
}

uint32_t Harness::driverInit(uint32_t farPointer) {
    framePeriod_ = driverInit_ ? driverInit_(farPointer) : 0;
    return framePeriod_;
}

template <typename Data>
CallResult Harness::call(int slot, Data& data) {
    LPDDHAL_CALLBACK routine = block_->callbacks[slot];
    if (!routine)
        return {DDHAL_DRIVER_NOTHANDLED, DDERR_UNSUPPORTED};
    const DWORD handled = routine(&data);
    return {handled, data.ddRVal};
}

size_t Harness::allocateRows(size_t rows) {
    size_t run = 0;
    for (size_t r = 0; r < rowUsed_.size(); ++r) {
        run = rowUsed_[r] ? 0 : run + 1;
        if (run == rows) {
            const size_t first = r + 1 - rows;
            std::fill(rowUsed_.begin() + static_cast<long>(first), rowUsed_.begin() + static_cast<long>(r + 1), true);
            return first;
        }
    }
    return SIZE_MAX;
}

void Harness::releaseRows(Surface* s) {
    for (size_t r = s->firstRow; r < s->firstRow + s->rows && r < rowUsed_.size(); ++r)
        rowUsed_[r] = false;
    s->rows = 0;
}

HRESULT Harness::canCreate(DDSURFACEDESC& desc) {
    DDHAL_CANCREATESURFACEDATA data{};
    data.lpDDSurfaceDesc = &desc;
    data.bIsDifferentPixelFormat =
        (desc.dwFlags & DDSD_PIXELFORMAT) && !sameFormat(desc.ddpfPixelFormat, block_->screenFormat);
    return call(kSlotCanCreateSurface, data).rval;
}

CreateResult Harness::createSurfaces(const DDSURFACEDESC& request, int count) {
    DDSURFACEDESC desc = request;
    const HRESULT can = canCreate(desc);
    if (can != DD_OK)
        return {DDHAL_DRIVER_HANDLED, can, {}};

    const bool ownFormat =
        (desc.dwFlags & DDSD_PIXELFORMAT) && !sameFormat(desc.ddpfPixelFormat, block_->screenFormat);
    std::vector<std::unique_ptr<Surface>> made;
    std::vector<DDRAWI_DDRAWSURFACE_LCL*> list;
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<Surface>();
        s->lcl.lpGbl = &s->gbl;
        s->lcl.ddsCaps = desc.ddsCaps;
        if (count > 1)
            s->lcl.ddsCaps.dwCaps |= DDSCAPS_FLIP | DDSCAPS_COMPLEX | (i == 0 ? DDSCAPS_FRONTBUFFER : DDSCAPS_BACKBUFFER);
        s->gbl.wWidth = static_cast<WORD>(desc.dwWidth);
        s->gbl.wHeight = static_cast<WORD>(desc.dwHeight);
        if (ownFormat) {
            s->lcl.dwFlags |= DDRAWISURF_HASPIXELFORMAT;
            s->gbl.ddpfSurface = desc.ddpfPixelFormat;
        }
        list.push_back(&s->lcl);
        made.push_back(std::move(s));
    }

    DDHAL_CREATESURFACEDATA data{};
    data.lpDDSurfaceDesc = &desc;
    data.lplpSList = list.data();
    data.dwSCnt = static_cast<DWORD>(count);
    const CallResult r = call(kSlotCreateSurface, data);
    if (r.handled == DDHAL_DRIVER_HANDLED || r.rval != DD_OK)
        return {r.handled, r.rval, {}};

    // DirectDraw's allocation: a block of the asked width (bytes) and height (rows) from the
    // rectangular video memory heap, one screen pitch wide.
    CreateResult result{r.handled, r.rval, {}};
    const size_t pitch = block_->screenPitch;
    for (auto& s : made) {
        size_t rows = s->gbl.wHeight;
        if (s->gbl.fpVidMem == DDHAL_PLEASEALLOC_BLOCKSIZE)
            rows = s->gbl.dwBlockSizeX <= pitch ? s->gbl.dwBlockSizeY
                                                : (static_cast<size_t>(s->gbl.dwBlockSizeX) * s->gbl.dwBlockSizeY + pitch - 1) / pitch;
        const size_t first = allocateRows(rows);
        if (first == SIZE_MAX) {
            for (Surface* done : result.surfaces)
                releaseRows(done);
            return {DDHAL_DRIVER_HANDLED, DDERR_OUTOFMEMORY, {}};
        }
        s->firstRow = first;
        s->rows = rows;
        s->gbl.fpVidMem = block_->videoMemoryStart + first * pitch;
        result.surfaces.push_back(s.get());
        surfaces_.push_back(std::move(s));
    }
    return result;
}

CallResult Harness::destroySurface(Surface* surface) {
    DDHAL_DESTROYSURFACEDATA data{};
    data.lpDDSurface = &surface->lcl;
    const CallResult r = call(kSlotDestroySurface, data);
    if (r.handled == DDHAL_DRIVER_NOTHANDLED && surface != primary_)
        releaseRows(surface);
    return r;
}

uint8_t* Harness::pixels(Surface* s) { return reinterpret_cast<uint8_t*>(s->lcl.lpGbl->fpVidMem); }

size_t Harness::offsetOf(const Surface* s) const { return s->lcl.lpGbl->fpVidMem - block_->videoMemoryStart; }

CallResult Harness::blt(Surface* dest, RECTL destRect, Surface* src, RECTL srcRect, DWORD flags, DDBLTFX fx) {
    DDHAL_BLTDATA data{};
    data.lpDDDestSurface = &dest->lcl;
    data.rDest = destRect;
    data.lpDDSrcSurface = src ? &src->lcl : nullptr;
    data.rSrc = srcRect;
    data.bltFX = fx;
    data.bltFX.dwSize = sizeof(DDBLTFX);
    // DirectDraw hands the driver the source surface's blit key as an override.
    if ((flags & DDBLT_KEYSRC) && src) {
        flags = (flags & ~DDBLT_KEYSRC) | DDBLT_KEYSRCOVERRIDE;
        data.bltFX.ddckSrcColorkey = src->lcl.ddckCKSrcBlt;
    }
    data.dwFlags = flags & ~DDBLT_WAIT;
    return call(kSlotBlt, data);
}

CallResult Harness::fill(Surface* dest, RECTL destRect, DWORD colour, DWORD flags) {
    DDBLTFX fx{};
    fx.dwFillColor = colour;
    return blt(dest, destRect, nullptr, {}, flags | DDBLT_COLORFILL, fx);
}

CallResult Harness::copy(Surface* dest, RECTL destRect, Surface* src, RECTL srcRect, DWORD flags) {
    DDBLTFX fx{};
    fx.dwROP = SRCCOPY;
    return blt(dest, destRect, src, srcRect, flags | DDBLT_ROP, fx);
}

CallResult Harness::waitFor(CallResult (Harness::*op)(Surface*, RECTL, Surface*, RECTL, DWORD, DDBLTFX), Surface* dest,
                            RECTL destRect, Surface* src, RECTL srcRect, DWORD flags, DDBLTFX fx) {
    for (int attempt = 0; attempt < 100000; ++attempt) {
        const CallResult r = (this->*op)(dest, destRect, src, srcRect, flags, fx);
        if (r.rval != DDERR_WASSTILLDRAWING)
            return r;
        chip_->advance(100000);
    }
    return {DDHAL_DRIVER_HANDLED, DDERR_WASSTILLDRAWING};
}

CallResult Harness::flip(Surface* current, Surface* target) {
    DDHAL_FLIPDATA data{};
    data.lpSurfCurr = &current->lcl;
    data.lpSurfTarg = &target->lcl;
    const CallResult r = call(kSlotFlip, data);
    // After a flip DirectDraw swaps the memory behind the two local records, so the front buffer
    // always names the memory on show.
    if (r.rval == DD_OK)
        std::swap(current->lcl.lpGbl, target->lcl.lpGbl);
    return r;
}

CallResult Harness::lock(Surface* surface) {
    DDHAL_LOCKDATA data{};
    data.lpDDSurface = &surface->lcl;
    return call(kSlotLock, data);
}

CallResult Harness::getBltStatus(Surface* surface, DWORD flags) {
    DDHAL_GETBLTSTATUSDATA data{};
    data.lpDDSurface = surface ? &surface->lcl : nullptr;
    data.dwFlags = flags;
    return call(kSlotGetBltStatus, data);
}

CallResult Harness::getFlipStatus(Surface* surface, DWORD flags) {
    DDHAL_GETFLIPSTATUSDATA data{};
    data.lpDDSurface = surface ? &surface->lcl : nullptr;
    data.dwFlags = flags;
    return call(kSlotGetFlipStatus, data);
}

CallResult Harness::waitForVerticalBlank(DWORD flags, DWORD* isInVB) {
    DDHAL_WAITFORVERTICALBLANKDATA data{};
    data.dwFlags = flags;
    data.bIsInVB = 0xDEAD;
    const CallResult r = call(kSlotWaitForVerticalBlank, data);
    if (isInVB)
        *isInVB = data.bIsInVB;
    return r;
}

CallResult Harness::updateOverlay(Surface* src, RECTL srcRect, Surface* dest, RECTL destRect, DWORD flags,
                                  DDOVERLAYFX fx) {
    DDHAL_UPDATEOVERLAYDATA data{};
    data.lpDDSrcSurface = &src->lcl;
    data.rSrc = srcRect;
    data.lpDDDestSurface = dest ? &dest->lcl : nullptr;
    data.rDest = destRect;
    data.dwFlags = flags;
    data.overlayFX = fx;
    data.overlayFX.dwSize = sizeof(DDOVERLAYFX);
    const CallResult r = call(kSlotUpdateOverlay, data);
    if (r.rval == DD_OK && (flags & DDOVER_SHOW))
        src->lcl.ddsCaps.dwCaps |= DDSCAPS_VISIBLE;
    if (r.rval == DD_OK && (flags & DDOVER_HIDE))
        src->lcl.ddsCaps.dwCaps &= ~DDSCAPS_VISIBLE;
    return r;
}

CallResult Harness::setOverlayPosition(Surface* src, Surface* dest, LONG x, LONG y) {
    DDHAL_SETOVERLAYPOSITIONDATA data{};
    data.lpDDSrcSurface = &src->lcl;
    data.lpDDDestSurface = dest ? &dest->lcl : nullptr;
    data.lXPos = x;
    data.lYPos = y;
    return call(kSlotSetOverlayPosition, data);
}

CallResult Harness::setColorKey(Surface* surface, DWORD flags, DDCOLORKEY key) {
    DDHAL_SETCOLORKEYDATA data{};
    data.lpDDSurface = surface ? &surface->lcl : nullptr;
    data.dwFlags = flags;
    data.ckNew = key;
    const CallResult r = call(kSlotSetColorKey, data);
    // DirectDraw keeps the key with the surface once the driver has taken it.
    if (r.rval == DD_OK && surface) {
        if (flags & DDCKEY_SRCOVERLAY)
            surface->lcl.ddckCKSrcOverlay = key;
        else if (flags & DDCKEY_DESTOVERLAY)
            surface->lcl.ddckCKDestOverlay = key;
        else if (flags & DDCKEY_SRCBLT)
            surface->lcl.ddckCKSrcBlt = key;
    }
    return r;
}

DWORD Harness::decline(void* argument) {
    LPDDHAL_CALLBACK routine = block_->callbacks[kSlotDecline];
    return routine ? routine(argument) : DDHAL_DRIVER_HANDLED;
}

}  // namespace ddhal::sim
