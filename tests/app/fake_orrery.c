/* A stand-in capture library for the binding tests. The build makes one
   library per answer set: FAKE_VERSION, FAKE_BOARD and FAKE_CAPS, or no entry
   point at all with FAKE_NO_ENTRY. */
#include <stdint.h>

#ifndef FAKE_NO_ENTRY
__attribute__((visibility("default"))) intptr_t OrreryEntry(intptr_t request, intptr_t a1, intptr_t a2,
                                                            intptr_t a3, intptr_t a4) {
    (void)a1, (void)a2, (void)a3, (void)a4;
    switch (request) {
    case 0: return FAKE_VERSION;
    case 9: return FAKE_BOARD;
    case 11: return FAKE_CAPS;
    default: return 0;
    }
}
#else
__attribute__((visibility("default"))) int SomethingElse(void) { return 1; }
#endif
