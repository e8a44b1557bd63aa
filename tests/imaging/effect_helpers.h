// Helpers of the depth, geometry and filter tests: pictures built from RGB
// data, comparisons as the eye sees the picture, PSNR, and stable hashes.
#pragma once

#include "imaging/depth.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "oracle.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace imaging::testing {

// A record of the given depth holding the RGB picture, top row first.
inline Bitmap fromRgb8(const Rgb8Picture& p, int bits = 24, int rowOrder = kTopDown) {
    Bitmap b;
    initialize(b, p.width, p.height, 24);
    b.rowOrder = rowOrder;
    allocate(b);
    for (int y = 0; y < p.height; ++y) {
        uint8_t* row = b.storedRow(b.isBottomUp() ? p.height - 1 - y : y);
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* c = p.rgb.data() + (size_t(y) * p.width + x) * 3;
            writePixel(b, row, x, Rgb{c[0], c[1], c[2]});
        }
    }
    if (bits != 24) changeColorDepth(b, b, bits, depth::kOptimizedPalette);
    return b;
}

inline Rgb visualPixel(const Bitmap& b, int x, int y) {
    return readPixel(b, b.storedRow(b.isBottomUp() ? b.height - 1 - y : y), x);
}

// Peak signal-to-noise ratio in dB over all channels; 99 for identical pictures.
inline double psnr(const Rgb8Picture& a, const Rgb8Picture& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return -1;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    if (sum == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 / (sum / double(a.rgb.size())));
}

// FNV-1a over the size, depth, palette and every pixel row (without padding).
inline uint64_t pictureHash(const Bitmap& b) {
    uint64_t h = 1469598103934665603ull;
    auto add = [&](uint8_t v) { h = (h ^ v) * 1099511628211ull; };
    for (int v : {b.width, b.height, b.bitsPerPixel, b.paletteCount})
        for (int k = 0; k < 4; ++k) add(uint8_t(v >> (8 * k)));
    for (int i = 0; i < b.paletteCount; ++i) add(b.palette[size_t(i)].red), add(b.palette[size_t(i)].green), add(b.palette[size_t(i)].blue);
    const int stored = b.bitsPerPixel == 15 ? 16 : b.bitsPerPixel;
    const size_t used = (size_t(b.width) * stored + 7) / 8;
    for (int y = 0; y < b.height; ++y)
        for (size_t i = 0; i < used; ++i) add(b.storedRow(y)[i]);
    return h;
}

// A photograph-like picture: smooth gradients, texture, hard edges. Fixed seed.
inline Rgb8Picture photoLike(int width, int height) {
    Rgb8Picture p{width, height, {}};
    uint32_t seed = 12345;
    auto noise = [&] { seed = seed * 1664525u + 1013904223u; return int(seed >> 27) - 16; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width, fy = double(y) / height;
            int r = int(128 + 100 * std::sin(6.0 * fx + 2.0 * fy)) + noise() / 2;
            int g = int(120 + 90 * std::cos(4.0 * fy - 3.0 * fx * fy)) + noise() / 2;
            int b = int(100 + 80 * std::sin(9.0 * fx * fy + 1.0)) + noise() / 2;
            if ((x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) < width * width / 36)
                r = 240, g = 220, b = 180;
            if (x > width * 2 / 3 && y > height / 2) r /= 3, g /= 3, b = b / 2 + 60;
            p.rgb.push_back(uint8_t(std::clamp(r, 0, 255)));
            p.rgb.push_back(uint8_t(std::clamp(g, 0, 255)));
            p.rgb.push_back(uint8_t(std::clamp(b, 0, 255)));
        }
    return p;
}

}  // namespace imaging::testing
