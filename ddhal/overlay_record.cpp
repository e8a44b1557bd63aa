#include "ddhal/overlay_record.h"

#include "ddhal/driver_state.h"

#include <cstring>

namespace ddhal {

namespace {

// Each heap block carries a link ahead of the record so the driver can tell its records apart from
// whatever else a reserved field holds, without reading through an unknown pointer.
}  // namespace

struct OverlayRecordBlock {
    OverlayRecordBlock* next;
    OverlayRecord record;
};

namespace {

using RecordBlock = OverlayRecordBlock;

RecordBlock* blockOf(OverlayRecord* record) {
    return reinterpret_cast<RecordBlock*>(reinterpret_cast<uint8_t*>(record) - offsetof(RecordBlock, record));
}

RecordBlock*& listHead() { return gShared.overlay.liveRecords; }

OverlayRecord* findLive(ULONG_PTR value) {
    for (RecordBlock* b = listHead(); b; b = b->next)
        if (reinterpret_cast<ULONG_PTR>(&b->record) == value)
            return &b->record;
    return nullptr;
}

}  // namespace

OverlayRecord* ownRecord(const DDRAWI_DDRAWSURFACE_LCL* surface) {
    if (!surface || !surface->lpGbl || !surface->lpGbl->dwReserved1)
        return nullptr;
    return findLive(surface->lpGbl->dwReserved1);
}

OverlayRecord* recordFor(const DDRAWI_DDRAWSURFACE_LCL* surface) {
    if (OverlayRecord* own = ownRecord(surface))
        return own;
    if (!surface || !surface->lpGbl || !surface->lpGbl->dwReserved1)
        return nullptr;
    const ULONG_PTR value = surface->lpGbl->dwReserved1;
    for (RecordBlock* b = listHead(); b; b = b->next)
        if (reinterpret_cast<ULONG_PTR>(b->record.sourceSurface) == value)
            return &b->record;
    return nullptr;
}

OverlayRecord* allocateRecord(DDRAWI_DDRAWSURFACE_LCL* source) {
    void* memory = platform::HeapAlloc(gShared.sharedHeap, platform::HEAP_ZERO_MEMORY, sizeof(RecordBlock));
    if (!memory)
        return nullptr;
    auto* block = static_cast<RecordBlock*>(memory);
    std::memset(block, 0, sizeof(RecordBlock));
    block->record.sourceSurface = source;
    block->next = listHead();
    listHead() = block;
    return &block->record;
}

void freeRecord(OverlayRecord* record) {
    RecordBlock* target = blockOf(record);
    for (RecordBlock** link = &listHead(); *link; link = &(*link)->next) {
        if (*link == target) {
            *link = target->next;
            platform::HeapFree(gShared.sharedHeap, 0, target);
            return;
        }
    }
}

}  // namespace ddhal
