// DriverInit, the library's one export, and the process attach and detach that keep the shared heap.
#include "ddhal/callbacks.h"
#include "ddhal/driver_state.h"
#include "ddhal/register_access.h"
#include "ddhal/timing.h"

namespace ddhal {

using namespace platform;

SharedData gShared{};

namespace {

constexpr uint16_t kFirstCandidatePort = 0x54E0;
constexpr uint16_t kPastLastCandidatePort = 0x54F0;
constexpr uint32_t kFifoBitsMask = 0x18000;

template <typename T>
LPDDHAL_CALLBACK entry(DWORD (*routine)(T*)) {
    return reinterpret_cast<LPDDHAL_CALLBACK>(routine);
}

void fillCallbackTable(DriverDataBlock* block) {
    LPDDHAL_CALLBACK* table = block->callbacks;
    table[kSlotBlt] = entry(Blt);
    table[kSlotFlip] = entry(Flip);
    table[kSlotLock] = entry(Lock);
    table[kSlotDecline] = entry(Decline);
    table[kSlotGetBltStatus] = entry(GetBltStatus);
    table[kSlotGetFlipStatus] = entry(GetFlipStatus);
    table[kSlotSetColorKey] = entry(SetColorKey);
    table[kSlotUpdateOverlay] = entry(UpdateOverlay);
    table[kSlotSetOverlayPosition] = entry(SetOverlayPosition);
    table[kSlotDestroySurface] = entry(DestroySurface);
    table[kSlotWaitForVerticalBlank] = entry(WaitForVerticalBlank);
    table[kSlotCanCreateSurface] = entry(CanCreateSurface);
    table[kSlotCreateSurface] = entry(CreateSurface);
}

// The board answers at one of eight ports; the others float and read all ones.
uint16_t findControlPort() {
    for (uint16_t port = kFirstCandidatePort; port < kPastLastCandidatePort; port += 2)
        if (inp(port) != 0xFF)
            return port;
    return 0;
}

// The attach count doubles as a spin lock: whoever swaps -1 in and gets a count back holds it.
int32_t lockAttachCount() {
    int32_t count;
    while ((count = InterlockedExchange(&gShared.attachCount, -1)) == -1) {
    }
    return count;
}

void unlockAttachCount(int32_t count) { InterlockedExchange(&gShared.attachCount, count); }

}  // namespace

void processAttach() {
    DisableThreadLibraryCalls(nullptr);
    const int32_t count = lockAttachCount();
    if (count == 0)
        gShared.sharedHeap = HeapCreate(HEAP_SHARED, 1024, 0);
    unlockAttachCount(count + 1);
}

void processDetach() {
    const int32_t count = lockAttachCount() - 1;
    if (count <= 0 && gShared.sharedHeap) {
        HeapDestroy(gShared.sharedHeap);
        gShared.sharedHeap = nullptr;
        gShared.overlay = OverlayState{};  // the records went with the heap
    }
    unlockAttachCount(count < 0 ? 0 : count);
}

// Returns the frame period, or 0 when there is nothing to drive: no pointers yet, a pointer that does
// not map, or no aperture control port answering (the banking could not be done).
uint32_t driverInit(uint32_t farPointer) {
    if (farPointer != 0) {
        auto* pointers = static_cast<DriverInitPointers*>(MapSLFix(farPointer));
        if (!pointers)
            return 0;
        auto* registers = static_cast<uint8_t*>(MapSLFix(pointers->registerWindow));
        auto* streams = static_cast<uint8_t*>(MapSLFix(pointers->streamsWindow));
        auto* block = static_cast<DriverDataBlock*>(MapSLFix(pointers->dataBlock));
        if (!registers || !streams || !block)
            return 0;
        gShared.registerWindow = registers;
        gShared.streamsWindow = streams;
        gShared.dataBlock = block;
    } else if (!gShared.dataBlock) {
        return 0;
    }

    const uint16_t port = findControlPort();
    if (port == 0)
        return 0;
    gShared.controlPort = port;
    gShared.directMode = (inp(port) & 0x0C) == 0x0C ? 1 : 0;

    fillCallbackTable(gShared.dataBlock);
    gShared.savedFifoBits = readStreams(0x81EC) & kFifoBitsMask;
    return measureFramePeriod();
}

}  // namespace ddhal

extern "C" __attribute__((visibility("default"))) uint32_t DriverInit(uint32_t farPointer) {
    return ddhal::driverInit(farPointer);
}

// The ELF counterparts of DLL_PROCESS_ATTACH and DLL_PROCESS_DETACH.
__attribute__((constructor)) static void vortalAttach() { ddhal::processAttach(); }
__attribute__((destructor)) static void vortalDetach() { ddhal::processDetach(); }
