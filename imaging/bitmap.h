// The bitmap record: one picture's pixels and properties.
//
// Pixel layout by depth (rows are bytesPerLine apart, 4-byte aligned):
//   1, 4, 8   palette indices, leftmost pixel in the most significant bits
//   15        16-bit little-endian words, 0RRRRRGGGGGBBBBB
//   16        16-bit little-endian words, RRRRRGGGGGGBBBBB
//   24        3 bytes a pixel, in the colour order (B,G,R or R,G,B)
//   32        4 bytes a pixel, the colour order's 3 bytes then one unused byte
// The row order code says how stored rows map to the picture's rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace imaging {

struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

enum RowOrder : int {
    kTopDown = 0,
    kTopDownMirrored = 1,
    kBottomUp = 2,
    kBottomUpMirrored = 3,
};

enum ColorOrder : int {
    kRgb = 0,
    kBgr = 1,
};

// Bits of the flag word.
namespace flag {
constexpr uint32_t kAllocated = 0x0001;         // the record owns pixel memory
constexpr uint32_t kStretched = 0x0002;         // paint stretched (zoom is not 100)
constexpr uint32_t kDisplay16 = 0x0004;         // opened for a 16-bit screen
constexpr uint32_t kPaletteInstalled = 0x0008;  // a palette was set on the picture
constexpr uint32_t kInterlaced = 0x0010;        // read from an interlaced file
constexpr uint32_t kFixedPalette = 0x0020;      // the palette may not be replaced
}  // namespace flag

// COLORREF: 0x00BBGGRR.
using ColorRef = uint32_t;
constexpr ColorRef makeColorRef(int r, int g, int b) {
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}
constexpr int redOf(ColorRef c) { return int(c & 0xFF); }
constexpr int greenOf(ColorRef c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(ColorRef c) { return int((c >> 16) & 0xFF); }

struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};
using PixelMemory = std::unique_ptr<uint8_t[], FreeDeleter>;

constexpr int kDefaultResolution = 96;

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int bytesPerLine = 0;
    int rowOrder = kTopDown;
    int colorOrder = kBgr;
    int xResolution = kDefaultResolution;  // dots per inch
    int yResolution = kDefaultResolution;
    std::array<RgbQuad, 256> palette{};
    int paletteCount = 0;
    uint8_t formatCode = 0;  // format code of the file the picture came from
    uint32_t flags = 0;
    int lockCount = 0;
    PixelMemory pixels;

    bool hasPixels() const { return pixels != nullptr; }
    size_t byteCount() const { return size_t(bytesPerLine) * size_t(height); }
    // Stored row, no row order conversion.
    uint8_t* storedRow(int row) { return pixels.get() + size_t(row) * size_t(bytesPerLine); }
    const uint8_t* storedRow(int row) const {
        return pixels.get() + size_t(row) * size_t(bytesPerLine);
    }
    bool isIndexed() const { return bitsPerPixel <= 8; }
    bool isBottomUp() const { return rowOrder == kBottomUp || rowOrder == kBottomUpMirrored; }
};

// The largest picture any role will allocate: 2^28 pixels and 2 GiB of rows.
constexpr int64_t kMaxPixels = int64_t(1) << 28;
constexpr int64_t kMaxBytes = int64_t(1) << 31;

bool isValidDepth(int bits);
// Bytes in one row, 4-byte aligned; 0 for bad input.
int bytesPerLineFor(int width, int bits);
// Checks a picture size before anything is allocated: kSuccess, kErrBadBits,
// kErrBadParameter (zero or negative sides) or kErrNoMemory (too large).
int checkPictureSize(int64_t width, int64_t height, int bits);

// Default palette for a new picture of that depth: black and white for 1 bit,
// the 16 VGA colours for 4 bits, a grey ramp for 8 bits; none above.
void setDefaultPalette(Bitmap& bitmap);

}  // namespace imaging
