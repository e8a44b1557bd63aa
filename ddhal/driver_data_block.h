// The 16-bit display driver's shared data block, as Vortal32 reads and writes it. The 16-bit driver
// owns the block; fields not listed here are its own. On a 32-bit build the fields sit at the block's
// documented byte offsets (checked below); a 64-bit host widens the address-holding fields to pointer
// size, which moves the later fields but not their meaning.
#pragma once

#include "ddhal/ddraw_hal.h"

#include <cstddef>
#include <cstdint>

namespace ddhal {

constexpr int kCallbackCount = 13;

// Capability flags (+0x78).
constexpr uint32_t kCapsOwnFormats = 0x1;        // surfaces may have a format other than the screen's
constexpr uint32_t kCapsStreamsScreen = 0x2;     // also: the streams processor shows the screen

// Chip identifiers that set the display start the older way (CR31/CR51 instead of CR69).
constexpr uint32_t kChipOldStartA = 0x90;
constexpr uint32_t kChipOldStartB = 0xA0;

struct DriverDataBlock {
    uint32_t reserved00;
    uintptr_t videoMemoryStart;     // +4: surfaces' fpVidMem minus this is their offset
    uint32_t reserved08;
    uint32_t reserved0C;
    uint32_t screenPitch;           // +0x10: bytes per screen row
    DDPIXELFORMAT screenFormat;     // +0x14
    LPDDHAL_CALLBACK callbacks[kCallbackCount];  // +0x34 .. +0x64
    uint32_t reserved68;
    uint32_t remeasureRequest;      // +0x6C: the 16-bit driver asks for a new frame period
    uint32_t reserved70;
    uint32_t chipId;                // +0x74
    uint32_t capabilities;          // +0x78
};

// Slot numbers of the callback table, in table order.
enum CallbackSlot : int {
    kSlotBlt = 0,
    kSlotFlip,
    kSlotLock,
    kSlotDecline,  // +0x40: declines, DirectDraw does its own processing
    kSlotGetBltStatus,
    kSlotGetFlipStatus,
    kSlotSetColorKey,
    kSlotUpdateOverlay,
    kSlotSetOverlayPosition,
    kSlotDestroySurface,
    kSlotWaitForVerticalBlank,
    kSlotCanCreateSurface,
    kSlotCreateSurface,
};

// The argument of DriverInit points (16:16) at three consecutive 16:16 far pointers.
struct DriverInitPointers {
    uint32_t registerWindow;
    uint32_t streamsWindow;
    uint32_t dataBlock;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(DriverDataBlock, videoMemoryStart) == 0x04);
static_assert(offsetof(DriverDataBlock, screenPitch) == 0x10);
static_assert(offsetof(DriverDataBlock, screenFormat) == 0x14);
static_assert(offsetof(DriverDataBlock, callbacks) == 0x34);
static_assert(offsetof(DriverDataBlock, remeasureRequest) == 0x6C);
static_assert(offsetof(DriverDataBlock, chipId) == 0x74);
static_assert(offsetof(DriverDataBlock, capabilities) == 0x78);
#endif

}  // namespace ddhal
