// DirectDraw's side of Vortal32, over the chip model: it loads the library by name as DirectDraw
// does, keeps the 16-bit driver's data block and the far pointers DriverInit gets, creates surfaces
// and allocates their video memory by the block sizes CreateSurface asks for, and calls every
// callback through the table DriverInit filled, with the HAL structures DirectDraw would pass.
#pragma once

#include "ddhal/ddraw_hal.h"
#include "ddhal/driver_data_block.h"
#include "ddhal/sim/s3_chip.h"
#include "ddhal/sim/sim_host.h"

#include <memory>
#include <string>
#include <vector>

namespace ddhal::sim {

struct Surface {
    DDRAWI_DDRAWSURFACE_LCL lcl{};
    DDRAWI_DDRAWSURFACE_GBL gbl{};
    size_t firstRow = 0;  // video memory held, in screen rows
    size_t rows = 0;
};

struct CallResult {
    DWORD handled;
    HRESULT rval;
};

struct HarnessConfig {
    ChipConfig chip;
    uint32_t chipId = 0xE1;
    uint32_t capabilities = 0;
    std::string library;   // empty: the Vortal32 built beside the model
    bool initialise = true;  // call DriverInit on construction
};

struct CreateResult {
    DWORD handled;
    HRESULT rval;
    std::vector<Surface*> surfaces;
};

// Pixel formats used by tests and the demo.
DDPIXELFORMAT rgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b);
DDPIXELFORMAT fourccFormat(DWORD fourcc);
DDPIXELFORMAT palette8Format();
DDSURFACEDESC surfaceDesc(DWORD width, DWORD height, DWORD caps, const DDPIXELFORMAT* format = nullptr);
inline RECTL rect(LONG left, LONG top, LONG right, LONG bottom) { return {left, top, right, bottom}; }

class Harness {
public:
    explicit Harness(const HarnessConfig& config = {});
    ~Harness();
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    S3Chip& chip() { return *chip_; }
    SimHost& host() { return *host_; }
    DriverDataBlock& block() { return *block_; }
    bool loaded() const { return library_ != nullptr; }
    void unload();  // as when the last process lets the library go

    uint32_t initPointer() const { return initPointer_; }
    DriverInitPointers& initPointers() { return *pointers_; }  // the three 16:16 pointers
    uint32_t driverInit(uint32_t farPointer);
    uint32_t framePeriod() const { return framePeriod_; }
    LPDDHAL_CALLBACK callback(int slot) const { return block_->callbacks[slot]; }

    Surface* primary() { return primary_; }
    HRESULT canCreate(DDSURFACEDESC& desc);
    CreateResult createSurfaces(const DDSURFACEDESC& desc, int count = 1);
    CallResult destroySurface(Surface* surface);
    uint8_t* pixels(Surface* surface);
    size_t offsetOf(const Surface* surface) const;

    CallResult blt(Surface* dest, RECTL destRect, Surface* src, RECTL srcRect, DWORD flags, DDBLTFX fx = {});
    CallResult fill(Surface* dest, RECTL destRect, DWORD colour, DWORD flags = 0);
    CallResult copy(Surface* dest, RECTL destRect, Surface* src, RECTL srcRect, DWORD flags = 0);
    // DDBLT_WAIT as DirectDraw does it: ask again while the driver answers "still drawing".
    CallResult waitFor(CallResult (Harness::*call)(Surface*, RECTL, Surface*, RECTL, DWORD, DDBLTFX), Surface* dest,
                       RECTL destRect, Surface* src, RECTL srcRect, DWORD flags, DDBLTFX fx = {});
    CallResult flip(Surface* current, Surface* target);  // swaps the two on success
    CallResult lock(Surface* surface);
    CallResult getBltStatus(Surface* surface, DWORD flags);
    CallResult getFlipStatus(Surface* surface, DWORD flags);
    CallResult waitForVerticalBlank(DWORD flags, DWORD* isInVB = nullptr);
    CallResult updateOverlay(Surface* src, RECTL srcRect, Surface* dest, RECTL destRect, DWORD flags,
                             DDOVERLAYFX fx = {});
    CallResult setOverlayPosition(Surface* src, Surface* dest, LONG x, LONG y);
    CallResult setColorKey(Surface* surface, DWORD flags, DDCOLORKEY key);
    DWORD decline(void* argument);

private:
    template <typename Data>
    CallResult call(int slot, Data& data);
    size_t allocateRows(size_t rows);
    void releaseRows(Surface* surface);

    HarnessConfig config_;
    std::unique_ptr<S3Chip> chip_;
    std::unique_ptr<SimHost> host_;
    std::unique_ptr<DriverDataBlock> block_;
    std::unique_ptr<DriverInitPointers> pointers_;
    uint32_t initPointer_ = 0;
    void* library_ = nullptr;
    uint32_t (*driverInit_)(uint32_t) = nullptr;
    uint32_t framePeriod_ = 0;
    std::vector<std::unique_ptr<Surface>> surfaces_;
    std::vector<bool> rowUsed_;
    Surface* primary_ = nullptr;
};

}  // namespace ddhal::sim
