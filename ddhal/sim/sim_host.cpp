#include "ddhal/sim/sim_host.h"

#include <cstdlib>
#include <cstring>

namespace ddhal::sim {

namespace {
SimHost* self(void* c) { return static_cast<SimHost*>(c); }
}  // namespace

SimHost::SimHost(S3Chip& chip) : chip_(chip) {
    selectors_.reserve(16);
    services_.context = this;
    services_.portIn8 = &SimHost::portIn;
    services_.portOut8 = &SimHost::portOut;
    services_.disableInterrupts = &SimHost::disableInterrupts;
    services_.enableInterrupts = &SimHost::enableInterrupts;
    services_.deviceRead = &SimHost::deviceRead;
    services_.deviceWrite = &SimHost::deviceWrite;
    services_.heapCreate = &SimHost::heapCreate;
    services_.heapAlloc = &SimHost::heapAlloc;
    services_.heapFree = &SimHost::heapFree;
    services_.heapDestroy = &SimHost::heapDestroy;
    if (chip.clock().mode() == VirtualClock::Mode::Virtual) {
        services_.performanceCounter = &SimHost::counter;
        services_.performanceFrequency = 1000000000;
    }
}

SimHost::~SimHost() {
    uninstall();
    for (auto& [heap, blocks] : heaps_) {
        for (void* b : blocks)
            std::free(b);
        std::free(heap);
    }
}

uint32_t SimHost::addSelector(void* base, uint32_t limit) {
    const uint16_t selector = nextSelector_;
    nextSelector_ = static_cast<uint16_t>(nextSelector_ + 8);
    selectors_.push_back({selector, base, limit});
    services_.selectors = selectors_.data();
    services_.selectorCount = selectors_.size();
    return static_cast<uint32_t>(selector) << 16;
}

void SimHost::install() { vortalInstallHost(&services_); }

void SimHost::uninstall() {
    if (vortalHost() == &services_)
        vortalInstallHost(nullptr);
}

size_t SimHost::liveHeapBlocks() const {
    size_t n = 0;
    for (const auto& [heap, blocks] : heaps_)
        n += blocks.size();
    return n;
}

bool SimHost::ownsHeapBlock(const void* block) const {
    for (const auto& [heap, blocks] : heaps_)
        if (blocks.count(const_cast<void*>(block)))
            return true;
    return false;
}

uint8_t SimHost::portIn(void* c, uint16_t port) { return self(c)->chip_.portIn(port); }
void SimHost::portOut(void* c, uint16_t port, uint8_t value) { self(c)->chip_.portOut(port, value); }
void SimHost::disableInterrupts(void* c) { self(c)->chip_.setInterruptsDisabled(true); }
void SimHost::enableInterrupts(void* c) { self(c)->chip_.setInterruptsDisabled(false); }

bool SimHost::deviceRead(void* c, const volatile void* address, int bytes, uint32_t* value) {
    return self(c)->chip_.deviceRead(address, bytes, value);
}

bool SimHost::deviceWrite(void* c, volatile void* address, int bytes, uint32_t value) {
    return self(c)->chip_.deviceWrite(address, bytes, value);
}

void* SimHost::heapCreate(void* c, uint32_t options, size_t initialSize, size_t) {
    SimHost* h = self(c);
    void* heap = std::malloc(1);  // a distinct handle
    h->heaps_[heap];
    ++h->heapsCreated_;
    h->lastHeapOptions_ = options;
    h->lastHeapInitialSize_ = initialSize;
    return heap;
}

void* SimHost::heapAlloc(void* c, void* heap, uint32_t flags, size_t bytes) {
    SimHost* h = self(c);
    auto it = h->heaps_.find(heap);
    if (it == h->heaps_.end() || h->failAllocations_)
        return nullptr;
    void* block = std::malloc(bytes);
    if (!block)
        return nullptr;
    std::memset(block, 0xCD, bytes);  // callers asking for zeroed memory must say so
    if (flags & 0x8)
        std::memset(block, 0, bytes);
    it->second.insert(block);
    return block;
}

bool SimHost::heapFree(void* c, void* heap, void* block) {
    SimHost* h = self(c);
    auto it = h->heaps_.find(heap);
    if (it == h->heaps_.end() || !it->second.erase(block)) {
        ++h->badFrees_;
        return false;
    }
    std::free(block);
    return true;
}

bool SimHost::heapDestroy(void* c, void* heap) {
    SimHost* h = self(c);
    auto it = h->heaps_.find(heap);
    if (it == h->heaps_.end())
        return false;
    for (void* b : it->second)
        std::free(b);
    h->heaps_.erase(it);
    std::free(heap);
    ++h->heapsDestroyed_;
    return true;
}

bool SimHost::counter(void* c, int64_t* value) {
    *value = self(c)->chip_.clock().now();
    return true;
}

}  // namespace ddhal::sim
