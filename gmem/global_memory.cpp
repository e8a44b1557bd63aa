#include "gmem/global_memory.h"

#include <cstdlib>
#include <cstring>

namespace {

// The header sits in front of the payload; the magic catches foreign or
// already freed handles before they are dereferenced as blocks.
constexpr uint64_t kMagic = 0x51554C4C474D454DULL;  // "QULLGMEM"

struct BlockHeader {
    uint64_t magic;
    size_t size;
    int locks;
    int padding;
};

BlockHeader* headerOf(GlobalHandle handle) {
    if (handle == 0) return nullptr;
    auto* header = reinterpret_cast<BlockHeader*>(handle);
    return header->magic == kMagic ? header : nullptr;
}

}  // namespace

extern "C" {

GlobalHandle gmemAlloc(size_t size) {
    if (size == 0 || size > SIZE_MAX - sizeof(BlockHeader)) return 0;
    auto* header = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + size));
    if (!header) return 0;
    header->magic = kMagic;
    header->size = size;
    return reinterpret_cast<GlobalHandle>(header);
}

void* gmemLock(GlobalHandle handle) {
    BlockHeader* header = headerOf(handle);
    if (!header) return nullptr;
    ++header->locks;
    return header + 1;
}

int gmemUnlock(GlobalHandle handle) {
    BlockHeader* header = headerOf(handle);
    if (!header) return 0;
    if (header->locks > 0) --header->locks;
    return header->locks;
}

size_t gmemSize(GlobalHandle handle) {
    BlockHeader* header = headerOf(handle);
    return header ? header->size : 0;
}

GlobalHandle gmemFree(GlobalHandle handle) {
    if (handle == 0) return 0;
    BlockHeader* header = headerOf(handle);
    if (!header) return handle;
    header->magic = 0;
    std::free(header);
    return 0;
}

}  // extern "C"
