// Byte input from an I/O port, the one hardware access the cleaner makes.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <intrin.h>
// Windows 95 lets any program read ports; the byte is read in place.
inline int ReadPortByte(uint16_t port, uint8_t* value) {
  *value = __inbyte(port);
  return 1;
}
#else
// Served by libdekla_win95: the hardware port (x86 Linux, needs root), or the
// byte a host supplied. Returns 1 with the byte, 0 when the port cannot be read.
extern "C" __attribute__((visibility("default"))) int ReadPortByte(uint16_t port, uint8_t* value);
#endif
