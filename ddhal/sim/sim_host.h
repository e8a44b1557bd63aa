// Serves the model to Vortal32's platform layer: a selector table for 16:16 pointers, the ports and
// interrupt flag, the chip's device windows, a shared heap that keeps count of its blocks, and
// (in virtual-clock mode) the model's clock as the performance counter.
#pragma once

#include "ddhal/host/vortal_host.h"
#include "ddhal/sim/s3_chip.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace ddhal::sim {

class SimHost {
public:
    explicit SimHost(S3Chip& chip);
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    // Gives memory a selector; returns the 16:16 pointer to its first byte.
    uint32_t addSelector(void* base, uint32_t limit);
    void install();
    void uninstall();

    S3Chip& chip() { return chip_; }
    int heapsCreated() const { return heapsCreated_; }
    int heapsDestroyed() const { return heapsDestroyed_; }
    size_t liveHeapBlocks() const;
    uint32_t lastHeapOptions() const { return lastHeapOptions_; }
    size_t lastHeapInitialSize() const { return lastHeapInitialSize_; }
    bool ownsHeapBlock(const void* block) const;
    int badFrees() const { return badFrees_; }
    void failAllocations(bool fail) { failAllocations_ = fail; }

private:
    static uint8_t portIn(void* c, uint16_t port);
    static void portOut(void* c, uint16_t port, uint8_t value);
    static void disableInterrupts(void* c);
    static void enableInterrupts(void* c);
    static bool deviceRead(void* c, const volatile void* address, int bytes, uint32_t* value);
    static bool deviceWrite(void* c, volatile void* address, int bytes, uint32_t value);
    static void* heapCreate(void* c, uint32_t options, size_t initialSize, size_t maximumSize);
    static void* heapAlloc(void* c, void* heap, uint32_t flags, size_t bytes);
    static bool heapFree(void* c, void* heap, void* block);
    static bool heapDestroy(void* c, void* heap);
    static bool counter(void* c, int64_t* value);

    S3Chip& chip_;
    VortalHostServices services_{};
    std::vector<VortalSelector> selectors_;
    uint16_t nextSelector_ = 0x0107;
    std::map<void*, std::set<void*>> heaps_;
    int heapsCreated_ = 0;
    int heapsDestroyed_ = 0;
    int badFrees_ = 0;
    bool failAllocations_ = false;
    uint32_t lastHeapOptions_ = 0;
    size_t lastHeapInitialSize_ = 0;
};

}  // namespace ddhal::sim
