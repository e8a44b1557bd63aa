// What the machine Vortal32 runs on serves to its platform layer: the selector table behind 16:16
// pointers, port input and output, interrupt masking, accesses to device memory windows and the
// shared heap. On the board's own machine these are the processor and the kernel; here a host (the
// chip model and its harness) installs a table of them before the driver is loaded.
//
// This small library is the only thing Vortal32 imports of ours, so the driver exports nothing but
// DriverInit. Every entry may be null: the platform layer then falls back to plain memory or fails.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct VortalSelector {
    uint16_t selector;
    void* base;
    uint32_t limit;  // bytes reachable from base
};

struct VortalHostServices {
    void* context;

    // 16:16 to linear: the table the host keeps of its selectors.
    const VortalSelector* selectors;
    size_t selectorCount;

    uint8_t (*portIn8)(void* context, uint16_t port);
    void (*portOut8)(void* context, uint16_t port, uint8_t value);
    void (*disableInterrupts)(void* context);
    void (*enableInterrupts)(void* context);

    // Device memory: answers true when the address lies in a window the host serves.
    bool (*deviceRead)(void* context, const volatile void* address, int bytes, uint32_t* value);
    bool (*deviceWrite)(void* context, volatile void* address, int bytes, uint32_t value);

    void* (*heapCreate)(void* context, uint32_t options, size_t initialSize, size_t maximumSize);
    void* (*heapAlloc)(void* context, void* heap, uint32_t flags, size_t bytes);
    bool (*heapFree)(void* context, void* heap, void* block);
    bool (*heapDestroy)(void* context, void* heap);

    // Optional: a counter of the host's own (a simulated clock). Null means the real clock.
    bool (*performanceCounter)(void* context, int64_t* value);
    int64_t performanceFrequency;
};

// Installs the services (the table must outlive its use); null removes them.
void vortalInstallHost(const VortalHostServices* services);
const VortalHostServices* vortalHost();

}  // extern "C"
