#include "orrery/codec/orientation.h"

#include <cstring>

namespace orrery {

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;

// The orientation from a TIFF structure (the body of an Exif segment).
int tiffOrientation(std::span<const uint8_t> t) {
    if (t.size() < 8) return 1;
    bool little = t[0] == 'I' && t[1] == 'I';
    if (!little && !(t[0] == 'M' && t[1] == 'M')) return 1;
    auto u16 = [&](size_t at) -> uint16_t {
        return little ? uint16_t(t[at] | t[at + 1] << 8) : uint16_t(t[at] << 8 | t[at + 1]);
    };
    auto u32 = [&](size_t at) -> uint32_t {
        return little ? uint32_t(t[at]) | uint32_t(t[at + 1]) << 8 | uint32_t(t[at + 2]) << 16 | uint32_t(t[at + 3]) << 24
                      : uint32_t(t[at]) << 24 | uint32_t(t[at + 1]) << 16 | uint32_t(t[at + 2]) << 8 | uint32_t(t[at + 3]);
    };
    if (u16(2) != 42) return 1;
    size_t ifd = u32(4);
    if (ifd + 2 > t.size()) return 1;
    size_t entries = u16(ifd);
    for (size_t i = 0; i < entries; ++i) {
        size_t at = ifd + 2 + i * 12;
        if (at + 12 > t.size()) return 1;
        if (u16(at) == kOrientationTag && u16(at + 2) == kTypeShort) {
            int value = u16(at + 8);
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

bool startsWith(std::span<const uint8_t> data, const char* text, size_t length) {
    return data.size() >= length && std::memcmp(data.data(), text, length) == 0;
}

}  // namespace

int exifOrientation(std::span<const uint8_t> data) {
    if (startsWith(data, "Exif\0\0", 6)) return tiffOrientation(data.subspan(6));
    if (startsWith(data, "II*\0", 4) || startsWith(data, "MM\0*", 4)) return tiffOrientation(data);
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return 1;
    // Segments up to the first scan; the Exif segment is an APP1.
    size_t at = 2;
    while (at + 4 <= data.size()) {
        if (data[at] != 0xFF) return 1;
        uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;
        size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > data.size()) return 1;
        std::span<const uint8_t> body = data.subspan(at + 4, length - 2);
        if (marker == 0xE1 && startsWith(body, "Exif\0\0", 6)) return tiffOrientation(body.subspan(6));
        at += 2 + length;
    }
    return 1;
}

Picture applyOrientation(const Picture& source, int orientation) {
    if (orientation < 2 || orientation > 8 || source.empty()) return source;
    const int w = source.width, h = source.height;
    bool swap = orientation >= 5;
    Picture out(swap ? h : w, swap ? w : h);
    for (int oy = 0; oy < out.height; ++oy) {
        uint8_t* row = out.row(oy);
        for (int ox = 0; ox < out.width; ++ox) {
            int sx = ox, sy = oy;
            switch (orientation) {
            case 2: sx = w - 1 - ox; break;
            case 3: sx = w - 1 - ox, sy = h - 1 - oy; break;
            case 4: sy = h - 1 - oy; break;
            case 5: sx = oy, sy = ox; break;
            case 6: sx = oy, sy = h - 1 - ox; break;
            case 7: sx = w - 1 - oy, sy = h - 1 - ox; break;
            case 8: sx = w - 1 - oy, sy = ox; break;
            }
            std::memcpy(row + ox * 3, source.row(sy) + sx * 3, 3);
        }
    }
    return out;
}

}  // namespace orrery
