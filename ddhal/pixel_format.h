// Questions the callbacks ask of DirectDraw pixel formats and surfaces.
#pragma once

#include "ddhal/ddraw_hal.h"

namespace ddhal {

inline bool isFourCC(const DDPIXELFORMAT& f) { return (f.dwFlags & DDPF_FOURCC) != 0; }
inline bool isRgb(const DDPIXELFORMAT& f) { return (f.dwFlags & DDPF_RGB) != 0; }
inline bool isPalette8(const DDPIXELFORMAT& f) { return (f.dwFlags & DDPF_PALETTEINDEXED8) != 0; }

inline bool isYuvFourCC(const DDPIXELFORMAT& f) {
    return isFourCC(f) && (f.dwFourCC == FOURCC_YUY2 || f.dwFourCC == FOURCC_Y211);
}

inline bool hasMasks(const DDPIXELFORMAT& f, DWORD r, DWORD g, DWORD b) {
    return f.dwRBitMask == r && f.dwGBitMask == g && f.dwBBitMask == b;
}

inline bool isRgb555(const DDPIXELFORMAT& f) {
    return isRgb(f) && f.dwRGBBitCount == 16 && hasMasks(f, 0x7C00, 0x3E0, 0x1F);
}
inline bool isRgb565(const DDPIXELFORMAT& f) {
    return isRgb(f) && f.dwRGBBitCount == 16 && hasMasks(f, 0xF800, 0x7E0, 0x1F);
}
inline bool isRgb888(const DDPIXELFORMAT& f) {
    return isRgb(f) && (f.dwRGBBitCount == 24 || f.dwRGBBitCount == 32) && hasMasks(f, 0xFF0000, 0xFF00, 0xFF);
}

inline bool hasOwnFormat(const DDRAWI_DDRAWSURFACE_LCL* s) { return (s->dwFlags & DDRAWISURF_HASPIXELFORMAT) != 0; }

// A surface's own pixel format, or the screen's when it has none.
const DDPIXELFORMAT& formatOf(const DDRAWI_DDRAWSURFACE_LCL* surface);
const DDPIXELFORMAT& screenFormat();

// 16-bit 5-5-5 and 5-6-5 colours with each component moved to the top of its byte.
inline DWORD expand555(DWORD c) { return (c & 0x7C00) * 512 | (c & 0x3E0) * 64 | (c & 0x1F) * 8; }
inline DWORD expand565(DWORD c) { return (c & 0xF800) * 256 | (c & 0x7E0) * 32 | (c & 0x1F) * 8; }

}  // namespace ddhal
