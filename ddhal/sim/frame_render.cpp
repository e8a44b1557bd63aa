// What the streams processor puts on the monitor, from the registers as it has latched them:
// - primary stream: from 0x81C0 (or the CRTC start address when the processor is off), rows
//   0x81D8 bits 0 to 11 apart;
// - secondary stream: from 0x81D0, rows 0x81D8 bits 16 to 27 apart, format 0x8190 bits 24 to 26
//   (1 YUY2, 3 RGB 5-5-5, 4 Y211, 5 RGB 5-6-5, 6 RGB 24, 7 RGB 32), placed by the window registers
//   0x81F8 (x + 1, y + 1) and 0x81FC (width - 1, height);
// - scaling by two DDAs (below): horizontally K1 and K2 from 0x8198 (bits 0 to 10, 16 to 26) and
//   the start from 0x8190 bits 0 to 11; vertically K1 from 0x81E0, K2 from 0x81E4, the start from
//   0x81E8. The stream never shrinks: a source step is at most one pixel; nor does it read past
//   K1 + 1 pixels or rows;
// - horizontal filter 0x8190 bits 28 to 30 over the stretched row: 0 none, 1 taps 2-4-2, 2 and 3
//   taps 1-2-2-2-1 (eighths);
// - composition mode 0x81A0 bits 24 to 26: 0 secondary over primary, 1 primary only, 2 dissolve
//   (secondary weight bits 0 to 2, in eighths), 5 secondary where the primary matches the key,
//   6 secondary except where it matches the key. The key (0x8184 low, 0x8194 high, precision
//   bits 24 to 26, on with bit 28) compares the top (precision + 1) bits of each component, of RGB
//   with 8-bit components, or for YUV sources of Y (bits 16 to 23) and U and V as signed values
//   (bits 8 to 15 and 0 to 7).
#include "ddhal/sim/frame_render.h"

#include <algorithm>

namespace ddhal::sim {

namespace {

uint32_t readBytes(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

uint32_t rgb(int r, int g, int b) {
    auto c = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return c(r) << 16 | c(g) << 8 | c(b);
}

// The chip widens 16-bit components by moving them to the top of the byte (low bits zero), the
// same form the driver gives its colour keys in.
uint32_t expand565(uint32_t c) { return (c & 0xF800) << 8 | (c & 0x7E0) << 5 | (c & 0x1F) << 3; }
uint32_t expand555(uint32_t c) { return (c & 0x7C00) << 9 | (c & 0x3E0) << 6 | (c & 0x1F) << 3; }

uint32_t yuvToRgb(uint32_t yuv) {
    const int c = static_cast<int>((yuv >> 16) & 0xFF) - 16;
    const int d = static_cast<int>((yuv >> 8) & 0xFF) - 128;
    const int e = static_cast<int>(yuv & 0xFF) - 128;
    return rgb((298 * c + 409 * e + 128) >> 8, (298 * c - 100 * d - 208 * e + 128) >> 8, (298 * c + 516 * d + 128) >> 8);
}

int signExtend(uint32_t v, int bits) {
    const uint32_t sign = 1u << (bits - 1);
    return static_cast<int>((v & ((sign << 1) - 1)) ^ sign) - static_cast<int>(sign);
}

bool isYuv(uint32_t format) { return format == 1 || format == 4; }

struct Streams {
    uint32_t primaryBase, primaryStride;
    uint32_t base, stride, format, filter;
    int hStart, hK1, hK2;
    int vStart, vK1, vK2;
    uint32_t blend, keyControl, keyUpper;
};

Streams latched(const S3Chip& chip) {
    auto r = [&](uint32_t reg) { return chip.shownStreams(reg); };
    const uint32_t control = r(0x8190), stretch = r(0x8198);
    return {r(0x81C0), r(0x81D8) & 0xFFF,
            r(0x81D0), (r(0x81D8) >> 16) & 0xFFF, (control >> 24) & 7, (control >> 28) & 7,
            signExtend(control, 12), static_cast<int>(stretch & 0x7FF), signExtend(stretch >> 16, 11),
            signExtend(r(0x81E8), 12), static_cast<int>(r(0x81E0) & 0x7FF), signExtend(r(0x81E4), 11),
            r(0x81A0), r(0x8184), r(0x8194)};
}

// Source positions of each output pixel along the row: a Bresenham walk that steps the source
// when the accumulator is not negative, adding 2 x K2 then and 2 x (K1 + 1) otherwise.
std::vector<int> horizontalDda(int outputs, int start, int k1, int k2) {
    std::vector<int> at(static_cast<size_t>(outputs));
    int source = 0;
    int64_t e = start;
    for (int i = 0; i < outputs; ++i) {
        at[static_cast<size_t>(i)] = std::min(source, k1);
        if (e >= 0) {
            ++source;
            e += 2 * static_cast<int64_t>(k2);
        } else {
            e += 2 * (static_cast<int64_t>(k1) + 1);
        }
    }
    return at;
}

// Source rows of each output line: after each line the accumulator gains K1 + 1; once that makes it
// positive the source steps a row and the accumulator takes K2 instead.
std::vector<int> verticalDda(int outputs, int start, int k1, int k2) {
    std::vector<int> at(static_cast<size_t>(outputs));
    int source = 0;
    int64_t e = start;
    for (int i = 0; i < outputs; ++i) {
        at[static_cast<size_t>(i)] = std::min(source, k1);
        if (e + k1 + 1 > 0) {
            ++source;
            e += k2;
        } else {
            e += k1 + 1;
        }
    }
    return at;
}

uint32_t primaryPixel(const S3Chip& chip, size_t start, size_t stride, int x, int y) {
    const ChipConfig& c = chip.config();
    const int bytes = static_cast<int>(c.bitsPerPixel / 8);
    const size_t at = start + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * bytes;
    if (at + bytes > chip.videoMemorySize())
        return 0;
    const uint32_t v = readBytes(chip.videoMemory() + at, bytes);
    if (c.bitsPerPixel == 8) {
        const auto e = chip.paletteEntry(static_cast<uint8_t>(v));
        return (static_cast<uint32_t>(e[0]) << 2) << 16 | (static_cast<uint32_t>(e[1]) << 2) << 8 | (e[2] << 2);
    }
    if (c.bitsPerPixel == 16)
        return expand565(v);
    return v & 0xFFFFFF;
}

// One pixel of the secondary stream at source position (x, y), as 0x00RRGGBB, or for the YUV
// formats as 0x00YYUUVV.
uint32_t secondaryPixel(const S3Chip& chip, const Streams& s, int x, int y) {
    const uint8_t* vram = chip.videoMemory();
    const size_t row = s.base + static_cast<size_t>(y) * s.stride;
    auto safe = [&](size_t at, size_t n) { return at + n <= chip.videoMemorySize(); };
    switch (s.format) {
    case 1: {  // YUY2: Y0 U Y1 V for each pixel pair
        const size_t pair = row + static_cast<size_t>(x / 2) * 4;
        if (!safe(pair, 4))
            return 0;
        const uint8_t* p = vram + pair;
        return static_cast<uint32_t>(x % 2 ? p[2] : p[0]) << 16 | p[1] << 8 | p[3];
    }
    case 4: {  // Y211: Y0 U Y2 V for each four pixels; the odd pixels repeat the luma before them
        const size_t quad = row + static_cast<size_t>(x / 4) * 4;
        if (!safe(quad, 4))
            return 0;
        const uint8_t* p = vram + quad;
        return static_cast<uint32_t>(x % 4 < 2 ? p[0] : p[2]) << 16 | p[1] << 8 | p[3];
    }
    case 3: return safe(row + x * 2, 2) ? expand555(readBytes(vram + row + x * 2, 2)) : 0;
    case 5: return safe(row + x * 2, 2) ? expand565(readBytes(vram + row + x * 2, 2)) : 0;
    case 6: return safe(row + x * 3, 3) ? readBytes(vram + row + x * 3, 3) : 0;
    case 7: return safe(row + x * 4, 4) ? readBytes(vram + row + x * 4, 4) & 0xFFFFFF : 0;
    default: return 0;
    }
}

// Components 2 (bits 16 to 23) and 1, 0; for YUV the two chroma components compare as signed
// values, which is the form the driver's key conversion gives them.
bool keyMatches(uint32_t colour, uint32_t keyControl, uint32_t upper, bool yuv) {
    const int precision = static_cast<int>((keyControl >> 24) & 7) + 1;
    const uint32_t mask = (0xFFu << (8 - precision)) & 0xFF;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t c = (colour >> shift) & 0xFF;
        uint32_t lo = (keyControl >> shift) & 0xFF;
        uint32_t hi = (upper >> shift) & 0xFF;
        if (yuv && shift < 16) {
            // The key's chroma is signed; signed order is unsigned order with the sign bit flipped.
            lo ^= 0x80;
            hi ^= 0x80;
        }
        c &= mask;
        lo &= mask;
        hi = std::max(lo, hi & mask);
        if (c < lo || c > hi)
            return false;
    }
    return true;
}

// Filter taps in eighths over the stretched row, centred.
std::vector<int> filterTaps(uint32_t filter) {
    switch (filter) {
    case 0: return {8};
    case 1: return {2, 4, 2};
    default: return {1, 2, 2, 2, 1};
    }
}

uint32_t filtered(const std::vector<uint32_t>& row, int x, const std::vector<int>& taps) {
    const int radius = static_cast<int>(taps.size() / 2);
    int sum[3] = {};
    for (int t = 0; t < static_cast<int>(taps.size()); ++t) {
        const int at = std::clamp(x + t - radius, 0, static_cast<int>(row.size()) - 1);
        for (int c = 0; c < 3; ++c)
            sum[c] += taps[static_cast<size_t>(t)] * static_cast<int>((row[static_cast<size_t>(at)] >> (8 * c)) & 0xFF);
    }
    return rgb(sum[2] / 8, sum[1] / 8, sum[0] / 8);
}

struct Secondary {
    RgbImage picture;
    std::vector<uint8_t> transparent;  // source pixels that match a source key
};

std::optional<Secondary> composeSecondary(const S3Chip& chip) {
    const auto w = overlayWindow(chip);
    if (!w)
        return std::nullopt;
    const Streams s = latched(chip);
    const std::vector<int> xs = horizontalDda(w->width, s.hStart, s.hK1, s.hK2);
    const std::vector<int> ys = verticalDda(w->height, s.vStart, s.vK1, s.vK2);
    const bool keying = (s.keyControl & 0x10000000) != 0 && ((s.blend >> 24) & 7) == 6;
    const std::vector<int> taps = filterTaps(s.filter);
    Secondary out{{w->width, w->height, {}}, {}};
    out.picture.pixels.resize(static_cast<size_t>(w->width) * w->height);
    out.transparent.resize(out.picture.pixels.size());
    std::vector<uint32_t> row(static_cast<size_t>(w->width));
    for (int y = 0; y < w->height; ++y) {
        for (int x = 0; x < w->width; ++x) {
            const uint32_t v = secondaryPixel(chip, s, xs[static_cast<size_t>(x)], ys[static_cast<size_t>(y)]);
            const size_t i = static_cast<size_t>(y) * w->width + x;
            out.transparent[i] = keying && keyMatches(v, s.keyControl, s.keyUpper, isYuv(s.format));
            row[static_cast<size_t>(x)] = isYuv(s.format) ? yuvToRgb(v) : v;
        }
        for (int x = 0; x < w->width; ++x)
            out.picture.pixels[static_cast<size_t>(y) * w->width + x] = filtered(row, x, taps);
    }
    return out;
}

}  // namespace

std::optional<OverlayWindow> overlayWindow(const S3Chip& chip) {
    if ((chip.crtc(0x67) & 0x0C) != 0x0C)
        return std::nullopt;
    const uint32_t start = chip.shownStreams(0x81F8);
    const uint32_t size = chip.shownStreams(0x81FC);
    const uint32_t mode = (chip.shownStreams(0x81A0) >> 24) & 7;
    if (mode == 1 || size == 0)
        return std::nullopt;
    OverlayWindow w{static_cast<int>((start >> 16) & 0x7FF) - 1, static_cast<int>(start & 0x7FF) - 1,
                    static_cast<int>((size >> 16) & 0x7FF) + 1, static_cast<int>(size & 0x7FF)};
    if (w.width <= 0 || w.height <= 0)
        return std::nullopt;
    return w;
}

RgbImage renderPrimary(const S3Chip& chip) {
    const ChipConfig& c = chip.config();
    RgbImage img{static_cast<int>(c.width), static_cast<int>(c.height), {}};
    img.pixels.resize(static_cast<size_t>(img.width) * img.height);
    const bool streams = (chip.crtc(0x67) & 0x0C) == 0x0C;
    const size_t start = streams ? chip.shownStreams(0x81C0) : chip.crtcStartAddress();
    const size_t stride = streams ? latched(chip).primaryStride : c.pitch;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            img.pixels[static_cast<size_t>(y) * img.width + x] = primaryPixel(chip, start, stride, x, y);
    return img;
}

std::optional<RgbImage> renderOverlayWindow(const S3Chip& chip) {
    auto secondary = composeSecondary(chip);
    if (!secondary)
        return std::nullopt;
    return std::move(secondary->picture);
}

RgbImage renderVisibleFrame(const S3Chip& chip) {
    RgbImage frame = renderPrimary(chip);
    const auto window = overlayWindow(chip);
    const auto secondary = composeSecondary(chip);
    if (!window || !secondary)
        return frame;
    const Streams s = latched(chip);
    const uint32_t mode = (s.blend >> 24) & 7;
    const bool keying = (s.keyControl & 0x10000000) != 0;
    for (int y = 0; y < secondary->picture.height; ++y) {
        for (int x = 0; x < secondary->picture.width; ++x) {
            const int fx = window->x + x, fy = window->y + y;
            if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height)
                continue;
            uint32_t& out = frame.pixels[static_cast<size_t>(fy) * frame.width + fx];
            const size_t i = static_cast<size_t>(y) * secondary->picture.width + x;
            const uint32_t over = secondary->picture.pixels[i];
            switch (mode) {
            case 0: out = over; break;
            case 2: {
                const int k = static_cast<int>(s.blend & 7);
                auto mix = [&](int sh) {
                    return (static_cast<int>((over >> sh) & 0xFF) * k + static_cast<int>((out >> sh) & 0xFF) * (8 - k)) / 8;
                };
                out = rgb(mix(16), mix(8), mix(0));
                break;
            }
            case 5:
                if (!keying || keyMatches(out, s.keyControl, s.keyUpper, false))
                    out = over;
                break;
            case 6:
                if (!secondary->transparent[i])
                    out = over;
                break;
            default: break;
            }
        }
    }
    return frame;
}

}  // namespace ddhal::sim
