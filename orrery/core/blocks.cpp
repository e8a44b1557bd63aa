#include "orrery/core/blocks.h"

#include <atomic>
#include <cstring>

namespace orrery {

namespace {

std::atomic<bool> allocationFault{false};

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

constexpr size_t kInfoHeader = 40;

}  // namespace

void setAllocationFault(bool fail) { allocationFault = fail; }

GlobalHandle allocateBlock(std::span<const uint8_t> bytes) {
    if (allocationFault || bytes.empty()) return 0;
    GlobalHandle handle = gmemAlloc(bytes.size());
    if (!handle) return 0;
    std::memcpy(gmemLock(handle), bytes.data(), bytes.size());
    gmemUnlock(handle);
    return handle;
}

GlobalHandle pictureToDib(const Picture& picture) {
    if (picture.empty() || allocationFault) return 0;
    size_t stride = (size_t(picture.width) * 3 + 3) & ~size_t(3);
    size_t imageBytes = stride * size_t(picture.height);
    GlobalHandle handle = gmemAlloc(kInfoHeader + imageBytes);
    if (!handle) return 0;
    auto* p = static_cast<uint8_t*>(gmemLock(handle));
    put32(p, 40);
    put32(p + 4, uint32_t(picture.width));
    put32(p + 8, uint32_t(picture.height));
    p[12] = 1;   // planes
    p[14] = 24;  // bits
    put32(p + 20, uint32_t(imageBytes));
    put32(p + 24, 2835);  // 72 dpi in pixels per metre
    put32(p + 28, 2835);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* in = picture.row(y);
        uint8_t* out = p + kInfoHeader + stride * size_t(picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            out[x * 3] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3];
        }
    }
    gmemUnlock(handle);
    return handle;
}

bool dibToPicture(std::span<const uint8_t> dib, bool firstRowIsTop, Picture& out) {
    if (dib.size() < kInfoHeader) return false;
    const uint8_t* p = dib.data();
    uint32_t headerSize = le32(p);
    int32_t width = int32_t(le32(p + 4));
    int32_t rawHeight = int32_t(le32(p + 8));
    int bits = le16(p + 14);
    uint32_t compression = le32(p + 16);
    uint32_t used = le32(p + 32);
    if (headerSize < kInfoHeader || headerSize > dib.size() || width <= 0 || rawHeight == 0 ||
        rawHeight == INT32_MIN || compression != 0)
        return false;
    bool topDown = rawHeight < 0 || firstRowIsTop;
    int height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (width > 32768 || height > 32768) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    size_t colours = bits <= 8 ? (used ? used : (1u << bits)) : 0;
    if (colours > 256) return false;
    size_t paletteAt = headerSize;
    size_t pixelsAt = paletteAt + colours * 4;
    size_t stride = ((size_t(width) * size_t(bits) + 31) / 32) * 4;
    if (pixelsAt > dib.size() || stride * size_t(height) > dib.size() - pixelsAt) return false;
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = p + pixelsAt + stride * size_t(topDown ? y : height - 1 - y);
        uint8_t* o = picture.row(y);
        for (int x = 0; x < width; ++x) {
            uint8_t r, g, b;
            if (bits >= 24) {
                const uint8_t* px = in + size_t(x) * size_t(bits / 8);
                b = px[0], g = px[1], r = px[2];
            } else {
                size_t bit = size_t(x) * size_t(bits);
                unsigned index = (in[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours) index = 0;
                const uint8_t* q = p + paletteAt + index * 4;
                b = q[0], g = q[1], r = q[2];
            }
            o[x * 3] = r, o[x * 3 + 1] = g, o[x * 3 + 2] = b;
        }
    }
    out = std::move(picture);
    return true;
}

}  // namespace orrery
