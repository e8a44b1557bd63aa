#include "effects/work_area.h"

#include <algorithm>
#include <memory>
#include <new>

namespace quillon {
namespace {

bool mirrored(const imaging::Bitmap& b) {
    return b.rowOrder == imaging::kTopDownMirrored || b.rowOrder == imaging::kBottomUpMirrored;
}

// 15 and 16 bits: little-endian words, 0RRRRRGGGGGBBBBB or RRRRRGGGGGGBBBBB.
void unpack16(const uint8_t* in, uint8_t* out, int count, bool sixGreen, int red, int blue) {
    for (int i = 0; i < count; ++i) {
        const unsigned w = unsigned(in[2 * i]) | (unsigned(in[2 * i + 1]) << 8);
        const unsigned r = sixGreen ? (w >> 11) & 31 : (w >> 10) & 31;
        const unsigned g = sixGreen ? (w >> 5) & 63 : (w >> 5) & 31;
        const unsigned b = w & 31;
        out[3 * i + red] = uint8_t((r << 3) | (r >> 2));
        out[3 * i + 1] = sixGreen ? uint8_t((g << 2) | (g >> 4)) : uint8_t((g << 3) | (g >> 2));
        out[3 * i + blue] = uint8_t((b << 3) | (b >> 2));
    }
}

void pack16(const uint8_t* in, uint8_t* out, int count, bool sixGreen, int red, int blue) {
    for (int i = 0; i < count; ++i) {
        const unsigned r = in[3 * i + red] >> 3, b = in[3 * i + blue] >> 3;
        const unsigned w = sixGreen ? (r << 11) | (unsigned(in[3 * i + 1] >> 2) << 5) | b
                                    : (r << 10) | (unsigned(in[3 * i + 1] >> 3) << 5) | b;
        out[2 * i] = uint8_t(w & 0xFF);
        out[2 * i + 1] = uint8_t(w >> 8);
    }
}

}  // namespace

Rect workArea(const CImageObject& image, const Rect* selection) {
    const Rect whole{0, 0, image.width(), image.height()};
    if (!selection || selection->isEmpty()) return whole;
    Rect r{std::max(selection->left, 0), std::max(selection->top, 0), std::min(selection->right, whole.right),
           std::min(selection->bottom, whole.bottom)};
    return r.isEmpty() ? whole : r;
}

bool forEachRgbRow(CImageObject& image, const Rect& area, const std::function<void(uint8_t*, int)>& visit) {
    imaging::Bitmap& b = image.bitmap();
    const int bits = b.bitsPerPixel;
    if (bits <= 8 || !b.hasPixels() || area.isEmpty()) return false;
    // Mirrored rows store picture column x at W - 1 - x; the set of columns is what counts here.
    const int left = mirrored(b) ? b.width - area.right : area.left;
    const int count = area.width();
    std::unique_ptr<uint8_t[]> scratch;
    if (bits != 24) {
        scratch.reset(new (std::nothrow) uint8_t[size_t(count) * 3]);
        if (!scratch) return false;
    }
    const int red = redByte(image), blue = blueByte(image);
    image.lock();
    for (int y = area.top; y < area.bottom; ++y) {
        uint8_t* row = b.storedRow(image.storedRow(y));
        if (bits == 24) {
            visit(row + size_t(left) * 3, count);
        } else if (bits == 32) {
            uint8_t* p = row + size_t(left) * 4;
            for (int i = 0; i < count; ++i)
                for (int c = 0; c < 3; ++c) scratch[size_t(3 * i + c)] = p[4 * i + c];
            visit(scratch.get(), count);
            for (int i = 0; i < count; ++i)
                for (int c = 0; c < 3; ++c) p[4 * i + c] = scratch[size_t(3 * i + c)];
        } else {
            uint8_t* p = row + size_t(left) * 2;
            unpack16(p, scratch.get(), count, bits == 16, red, blue);
            visit(scratch.get(), count);
            pack16(scratch.get(), p, count, bits == 16, red, blue);
        }
    }
    image.unlock();
    return true;
}

}  // namespace quillon
