#include "ddhal/platform/platform.h"

#include "ddhal/host/vortal_host.h"

#include <sys/resource.h>
#include <time.h>

namespace ddhal::platform {

namespace {

const VortalHostServices* host() { return vortalHost(); }

// Priority classes map onto nice values; reading one back picks the class whose band holds it.
int niceForClass(uint32_t priorityClass) {
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS: return 19;
    case HIGH_PRIORITY_CLASS: return -10;
    case REALTIME_PRIORITY_CLASS: return -20;
    default: return 0;
    }
}

template <typename T>
T deviceLoad(const volatile void* address) {
    const VortalHostServices* h = host();
    uint32_t value = 0;
    if (h && h->deviceRead && h->deviceRead(h->context, address, sizeof(T), &value))
        return static_cast<T>(value);
    return *static_cast<const volatile T*>(address);
}

template <typename T>
void deviceStore(volatile void* address, T value) {
    const VortalHostServices* h = host();
    if (h && h->deviceWrite && h->deviceWrite(h->context, address, sizeof(T), value))
        return;
    *static_cast<volatile T*>(address) = value;
}

}  // namespace

void* MapSLFix(uint32_t farPointer) {
    const VortalHostServices* h = host();
    if (!h)
        return nullptr;
    const uint16_t selector = static_cast<uint16_t>(farPointer >> 16);
    const uint16_t offset = static_cast<uint16_t>(farPointer);
    for (size_t i = 0; i < h->selectorCount; ++i) {
        const VortalSelector& s = h->selectors[i];
        if (s.selector == selector)
            return offset < s.limit ? static_cast<uint8_t*>(s.base) + offset : nullptr;
    }
    return nullptr;
}

bool QueryPerformanceCounter(int64_t* count) {
    const VortalHostServices* h = host();
    if (h && h->performanceCounter)
        return h->performanceCounter(h->context, count);
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    *count = static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    return true;
}

bool QueryPerformanceFrequency(int64_t* frequency) {
    const VortalHostServices* h = host();
    *frequency = (h && h->performanceCounter) ? h->performanceFrequency : 1000000000;
    return true;
}

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }

namespace {
// Classes are coarser than nice values: remember the value seen last so that
// setting its class back restores the process exactly as it was.
int g_niceAtLastGet = 0;
uint32_t classForNice(int nice) {
    if (nice >= 10)
        return IDLE_PRIORITY_CLASS;
    if (nice <= -15)
        return REALTIME_PRIORITY_CLASS;
    if (nice <= -5)
        return HIGH_PRIORITY_CLASS;
    return NORMAL_PRIORITY_CLASS;
}
}  // namespace

uint32_t GetPriorityClass(HANDLE) {
    g_niceAtLastGet = getpriority(PRIO_PROCESS, 0);
    return classForNice(g_niceAtLastGet);
}

// Without the privilege to raise priority the call fails and the process keeps running as it was,
// as Windows quietly gives high instead of real-time to processes that may not have it.
bool SetPriorityClass(HANDLE, uint32_t priorityClass) {
    const int nice = priorityClass == classForNice(g_niceAtLastGet) ? g_niceAtLastGet
                                                                     : niceForClass(priorityClass);
    return setpriority(PRIO_PROCESS, 0, nice) == 0;
}

HANDLE HeapCreate(uint32_t options, size_t initialSize, size_t maximumSize) {
    const VortalHostServices* h = host();
    return (h && h->heapCreate) ? h->heapCreate(h->context, options, initialSize, maximumSize) : nullptr;
}

void* HeapAlloc(HANDLE heap, uint32_t flags, size_t bytes) {
    const VortalHostServices* h = host();
    return (h && h->heapAlloc && heap) ? h->heapAlloc(h->context, heap, flags, bytes) : nullptr;
}

bool HeapFree(HANDLE heap, uint32_t, void* block) {
    const VortalHostServices* h = host();
    return h && h->heapFree && heap && h->heapFree(h->context, heap, block);
}

bool HeapDestroy(HANDLE heap) {
    const VortalHostServices* h = host();
    return h && h->heapDestroy && heap && h->heapDestroy(h->context, heap);
}

int32_t InterlockedExchange(volatile int32_t* target, int32_t value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

bool DisableThreadLibraryCalls(HANDLE) { return true; }  // shared objects get no thread notifications

uint8_t inp(uint16_t port) {
    const VortalHostServices* h = host();
    return (h && h->portIn8) ? h->portIn8(h->context, port) : 0xFF;  // a floating bus reads all ones
}

void outp(uint16_t port, uint8_t value) {
    const VortalHostServices* h = host();
    if (h && h->portOut8)
        h->portOut8(h->context, port, value);
}

void disableInterrupts() {
    const VortalHostServices* h = host();
    if (h && h->disableInterrupts)
        h->disableInterrupts(h->context);
}

void enableInterrupts() {
    const VortalHostServices* h = host();
    if (h && h->enableInterrupts)
        h->enableInterrupts(h->context);
}

uint8_t mmioRead8(const volatile void* a) { return deviceLoad<uint8_t>(a); }
uint16_t mmioRead16(const volatile void* a) { return deviceLoad<uint16_t>(a); }
uint32_t mmioRead32(const volatile void* a) { return deviceLoad<uint32_t>(a); }
void mmioWrite8(volatile void* a, uint8_t v) { deviceStore<uint8_t>(a, v); }
void mmioWrite16(volatile void* a, uint16_t v) { deviceStore<uint16_t>(a, v); }
void mmioWrite32(volatile void* a, uint32_t v) { deviceStore<uint32_t>(a, v); }

}  // namespace ddhal::platform
