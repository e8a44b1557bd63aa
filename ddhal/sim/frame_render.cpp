// Composition modes of the blend control (0x81A0 bits 24 to 26) as the model draws them:
// 0 secondary over primary, 1 primary only, 2 constant-alpha dissolve (secondary weight from bits
// 0 to 2, in eighths), 5 secondary where the primary matches the key, 6 secondary except where it
// matches the key. The key compares the top (precision + 1) bits of each 8-bit component.
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

uint32_t yuvToRgb(int y, int u, int v) {
    const int c = y - 16, d = u - 128, e = v - 128;
    return rgb((298 * c + 409 * e + 128) >> 8, (298 * c - 100 * d - 208 * e + 128) >> 8, (298 * c + 516 * d + 128) >> 8);
}

uint32_t primaryPixel(const S3Chip& chip, size_t start, int x, int y) {
    const ChipConfig& c = chip.config();
    const int bytes = static_cast<int>(c.bitsPerPixel / 8);
    const size_t at = start + static_cast<size_t>(y) * c.pitch + static_cast<size_t>(x) * bytes;
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

// One pixel of the secondary stream at source position (x, y).
uint32_t secondaryPixel(const S3Chip& chip, int x, int y) {
    const uint32_t base = chip.streams(0x81D0);
    const uint32_t stride = chip.streams(0x81D8);
    const uint32_t format = (chip.streams(0x8190) >> 24) & 7;
    const uint8_t* vram = chip.videoMemory();
    const size_t row = base + static_cast<size_t>(y) * stride;
    auto safe = [&](size_t at, size_t n) { return at + n <= chip.videoMemorySize(); };
    switch (format) {
    case 1: {  // YUY2: Y0 U Y1 V for each pixel pair
        const size_t pair = row + static_cast<size_t>(x / 2) * 4;
        if (!safe(pair, 4))
            return 0;
        const uint8_t* p = vram + pair;
        return yuvToRgb(x % 2 ? p[2] : p[0], p[1], p[3]);
    }
    case 3: return safe(row + x * 2, 2) ? expand555(readBytes(vram + row + x * 2, 2)) : 0;
    case 5: return safe(row + x * 2, 2) ? expand565(readBytes(vram + row + x * 2, 2)) : 0;
    case 6: return safe(row + x * 3, 3) ? readBytes(vram + row + x * 3, 3) : 0;
    case 7: return safe(row + x * 4, 4) ? readBytes(vram + row + x * 4, 4) & 0xFFFFFF : 0;
    default: return 0;
    }
}

bool keyMatches(uint32_t colour, uint32_t keyControl, uint32_t upper) {
    const int precision = static_cast<int>((keyControl >> 24) & 7) + 1;
    const uint32_t mask = (0xFFu << (8 - precision)) & 0xFF;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = (colour >> shift) & mask;
        const uint32_t lo = (keyControl >> shift) & mask;
        const uint32_t hi = std::max(lo, (upper >> shift) & mask);
        if (c < lo || c > hi)
            return false;
    }
    return true;
}

struct Scaling {
    OverlayWindow window;
    int srcW, srcH;
};

std::optional<Scaling> scaling(const S3Chip& chip) {
    const auto w = overlayWindow(chip);
    if (!w)
        return std::nullopt;
    Scaling s{*w, static_cast<int>(chip.streams(0x8198) & 0x7FF) + 1, static_cast<int>(chip.streams(0x81E0) & 0x7FF) + 1};
    return s;
}

}  // namespace

std::optional<OverlayWindow> overlayWindow(const S3Chip& chip) {
    if ((chip.crtc(0x67) & 0x0C) != 0x0C)
        return std::nullopt;
    const uint32_t start = chip.streams(0x81F8);
    const uint32_t size = chip.streams(0x81FC);
    const uint32_t mode = (chip.streams(0x81A0) >> 24) & 7;
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
    const size_t start = streams ? chip.streams(0x81C0) : chip.crtcStartAddress();
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            img.pixels[static_cast<size_t>(y) * img.width + x] = primaryPixel(chip, start, x, y);
    return img;
}

std::optional<RgbImage> renderOverlayWindow(const S3Chip& chip) {
    const auto s = scaling(chip);
    if (!s)
        return std::nullopt;
    RgbImage img{s->window.width, s->window.height, {}};
    img.pixels.resize(static_cast<size_t>(img.width) * img.height);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            img.pixels[static_cast<size_t>(y) * img.width + x] =
                secondaryPixel(chip, x * s->srcW / s->window.width, y * s->srcH / s->window.height);
    return img;
}

RgbImage renderVisibleFrame(const S3Chip& chip) {
    RgbImage frame = renderPrimary(chip);
    const auto s = scaling(chip);
    const auto secondary = renderOverlayWindow(chip);
    if (!s || !secondary)
        return frame;
    const uint32_t blend = chip.streams(0x81A0);
    const uint32_t mode = (blend >> 24) & 7;
    const uint32_t keyControl = chip.streams(0x8184);
    const uint32_t upper = chip.streams(0x8194);
    const bool keying = (keyControl & 0x10000000) != 0;
    for (int y = 0; y < secondary->height; ++y) {
        for (int x = 0; x < secondary->width; ++x) {
            const int fx = s->window.x + x, fy = s->window.y + y;
            if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height)
                continue;
            uint32_t& out = frame.pixels[static_cast<size_t>(fy) * frame.width + fx];
            const uint32_t over = secondary->at(x, y);
            switch (mode) {
            case 0: out = over; break;
            case 2: {
                const int k = static_cast<int>(blend & 7);
                auto mix = [&](int sh) {
                    return (static_cast<int>((over >> sh) & 0xFF) * k + static_cast<int>((out >> sh) & 0xFF) * (8 - k)) / 8;
                };
                out = rgb(mix(16), mix(8), mix(0));
                break;
            }
            case 5:
                if (!keying || keyMatches(out, keyControl, upper))
                    out = over;
                break;
            case 6:
                if (!keying || !keyMatches(over, keyControl, upper))
                    out = over;
                break;
            default: break;
            }
        }
    }
    return frame;
}

}  // namespace ddhal::sim
