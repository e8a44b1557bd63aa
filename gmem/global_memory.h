// Movable global memory blocks: the currency in which packed DIBs and picture
// blocks pass between the program, the clipboard code and the capture-device
// library. A block is created by one side and freed by the receiver, so both
// sides must use this one API (it is plain C so a dlopen'ed library can too).
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// A handle is an opaque pointer-sized integer; 0 is "no block".
typedef uintptr_t GlobalHandle;

// Allocates size bytes, zero-filled. Returns 0 when out of memory or size is 0.
GlobalHandle gmemAlloc(size_t size);
// Returns the block's memory and counts a lock; 0 for a bad handle.
void* gmemLock(GlobalHandle handle);
// Drops one lock; returns the locks still held.
int gmemUnlock(GlobalHandle handle);
// Size in bytes as allocated; 0 for a bad handle.
size_t gmemSize(GlobalHandle handle);
// Frees the block; a 0 handle is ignored. Returns 0 on success, the handle on a bad handle.
GlobalHandle gmemFree(GlobalHandle handle);

#ifdef __cplusplus
}
#endif
