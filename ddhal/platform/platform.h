// The services Windows 95 gave the driver, under their Windows names, so the driver's own code reads
// the same on every host. On Linux the performance counter and the priority class are real (the
// monotonic clock, the scheduler's nice value); selectors, ports, interrupt masking, device windows
// and the shared heap come from the host's table (ddhal/host/vortal_host.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ddhal::platform {

using HANDLE = void*;

constexpr uint32_t HEAP_SHARED = 0x04000000;
constexpr uint32_t HEAP_ZERO_MEMORY = 0x00000008;

constexpr uint32_t IDLE_PRIORITY_CLASS = 0x40;
constexpr uint32_t NORMAL_PRIORITY_CLASS = 0x20;
constexpr uint32_t HIGH_PRIORITY_CLASS = 0x80;
constexpr uint32_t REALTIME_PRIORITY_CLASS = 0x100;

// 16:16 (selector:offset) to a linear address; null for an unknown selector or an offset past its limit.
void* MapSLFix(uint32_t farPointer);

bool QueryPerformanceCounter(int64_t* count);
bool QueryPerformanceFrequency(int64_t* frequency);

HANDLE GetCurrentProcess();
uint32_t GetPriorityClass(HANDLE process);
bool SetPriorityClass(HANDLE process, uint32_t priorityClass);

HANDLE HeapCreate(uint32_t options, size_t initialSize, size_t maximumSize);
void* HeapAlloc(HANDLE heap, uint32_t flags, size_t bytes);
bool HeapFree(HANDLE heap, uint32_t flags, void* block);
bool HeapDestroy(HANDLE heap);

int32_t InterlockedExchange(volatile int32_t* target, int32_t value);
bool DisableThreadLibraryCalls(HANDLE module);

// Port instructions and the interrupt flag (in/out, cli/sti).
uint8_t inp(uint16_t port);
void outp(uint16_t port, uint8_t value);
void disableInterrupts();
void enableInterrupts();

// Loads and stores at memory-mapped device registers: never cached, never merged.
uint8_t mmioRead8(const volatile void* address);
uint16_t mmioRead16(const volatile void* address);
uint32_t mmioRead32(const volatile void* address);
void mmioWrite8(volatile void* address, uint8_t value);
void mmioWrite16(volatile void* address, uint16_t value);
void mmioWrite32(volatile void* address, uint32_t value);

}  // namespace ddhal::platform
