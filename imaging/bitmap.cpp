#include "imaging/bitmap.h"

#include "imaging/result.h"

namespace imaging {

bool isValidDepth(int bits) {
    switch (bits) {
    case 1: case 4: case 8: case 15: case 16: case 24: case 32: return true;
    default: return false;
    }
}

int bytesPerLineFor(int width, int bits) {
    if (width <= 0 || !isValidDepth(bits)) return 0;
    const int storedBits = bits == 15 ? 16 : bits;
    const int64_t bytes = ((int64_t(width) * storedBits + 31) / 32) * 4;
    return bytes > INT32_MAX ? 0 : int(bytes);
}

int checkPictureSize(int64_t width, int64_t height, int bits) {
    if (!isValidDepth(bits)) return kErrBadBits;
    if (width <= 0 || height <= 0) return kErrBadParameter;
    if (width > kMaxPixels || height > kMaxPixels || width * height > kMaxPixels) return kErrNoMemory;
    const int storedBits = bits == 15 ? 16 : bits;
    const int64_t rowBytes = ((width * storedBits + 31) / 32) * 4;
    if (rowBytes * height > kMaxBytes) return kErrNoMemory;
    return kSuccess;
}

namespace {
constexpr RgbQuad vga(uint8_t r, uint8_t g, uint8_t b) { return RgbQuad{b, g, r, 0}; }
constexpr RgbQuad kVga16[16] = {
    vga(0, 0, 0),       vga(128, 0, 0),   vga(0, 128, 0),   vga(128, 128, 0),
    vga(0, 0, 128),     vga(128, 0, 128), vga(0, 128, 128), vga(192, 192, 192),
    vga(128, 128, 128), vga(255, 0, 0),   vga(0, 255, 0),   vga(255, 255, 0),
    vga(0, 0, 255),     vga(255, 0, 255), vga(0, 255, 255), vga(255, 255, 255),
};
}  // namespace

void setDefaultPalette(Bitmap& bitmap) {
    bitmap.palette.fill(RgbQuad{});
    switch (bitmap.bitsPerPixel) {
    case 1:
        bitmap.paletteCount = 2;
        bitmap.palette[1] = vga(255, 255, 255);
        break;
    case 4:
        bitmap.paletteCount = 16;
        for (int i = 0; i < 16; ++i) bitmap.palette[i] = kVga16[i];
        break;
    case 8:
        bitmap.paletteCount = 256;
        for (int i = 0; i < 256; ++i) bitmap.palette[i] = vga(uint8_t(i), uint8_t(i), uint8_t(i));
        break;
    default: bitmap.paletteCount = 0;
    }
}

}  // namespace imaging
