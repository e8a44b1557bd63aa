#include "orrery/core/picture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orrery {

namespace {

struct Tap {
    int first = 0;
    std::vector<float> weights;
};

// Filter taps for one axis of the resample.
std::vector<Tap> makeTaps(int from, int to) {
    std::vector<Tap> taps(static_cast<size_t>(to));
    double scale = double(from) / double(to);
    double support = std::max(1.0, scale);
    for (int i = 0; i < to; ++i) {
        double centre = (i + 0.5) * scale - 0.5;
        int lo = int(std::floor(centre - support)) + 1;
        int hi = int(std::ceil(centre + support)) - 1;
        lo = std::max(lo, 0);
        hi = std::min(hi, from - 1);
        Tap& tap = taps[size_t(i)];
        tap.first = lo;
        double total = 0;
        for (int s = lo; s <= hi; ++s) {
            double w = 1.0 - std::abs(s - centre) / support;
            if (w < 0) w = 0;
            tap.weights.push_back(float(w));
            total += w;
        }
        if (total <= 0) {
            tap.first = std::clamp(int(std::lround(centre)), 0, from - 1);
            tap.weights.assign(1, 1.0f);
            total = 1;
        }
        for (float& w : tap.weights) w = float(w / total);
    }
    return taps;
}

}  // namespace

Picture resize(const Picture& source, int width, int height) {
    if (source.empty() || width <= 0 || height <= 0) return {};
    if (source.width == width && source.height == height) return source;
    std::vector<Tap> xTaps = makeTaps(source.width, width);
    std::vector<Tap> yTaps = makeTaps(source.height, height);

    // Horizontal pass into floats, then vertical pass into bytes.
    std::vector<float> mid(size_t(width) * size_t(source.height) * 3);
    for (int y = 0; y < source.height; ++y) {
        const uint8_t* in = source.row(y);
        float* out = mid.data() + size_t(y) * size_t(width) * 3;
        for (int x = 0; x < width; ++x) {
            const Tap& tap = xTaps[size_t(x)];
            float r = 0, g = 0, b = 0;
            for (size_t k = 0; k < tap.weights.size(); ++k) {
                const uint8_t* p = in + size_t(tap.first + int(k)) * 3;
                r += tap.weights[k] * p[0];
                g += tap.weights[k] * p[1];
                b += tap.weights[k] * p[2];
            }
            out[x * 3] = r;
            out[x * 3 + 1] = g;
            out[x * 3 + 2] = b;
        }
    }
    Picture result(width, height);
    for (int y = 0; y < height; ++y) {
        const Tap& tap = yTaps[size_t(y)];
        uint8_t* out = result.row(y);
        for (int x = 0; x < width * 3; ++x) {
            float v = 0;
            for (size_t k = 0; k < tap.weights.size(); ++k)
                v += tap.weights[k] * mid[size_t(tap.first + int(k)) * size_t(width) * 3 + size_t(x)];
            out[x] = uint8_t(std::clamp(std::lround(v), 0L, 255L));
        }
    }
    return result;
}

void fitInside(int width, int height, int maxWidth, int maxHeight, int& outWidth, int& outHeight) {
    if (width <= 0 || height <= 0) {
        outWidth = outHeight = 0;
        return;
    }
    if (int64_t(width) * maxHeight >= int64_t(height) * maxWidth) {
        outWidth = maxWidth;
        outHeight = std::max(1, int(int64_t(height) * maxWidth / width));
    } else {
        outHeight = maxHeight;
        outWidth = std::max(1, int(int64_t(width) * maxHeight / height));
    }
}

void applyToneCurve(Picture& picture) {
    static const std::array<uint8_t, 256> curve = [] {
        std::array<uint8_t, 256> table {};
        for (int i = 0; i < 256; ++i)
            table[size_t(i)] = uint8_t(std::lround(255.0 * std::pow(i / 255.0, 1.0 / 1.25)));
        return table;
    }();
    for (uint8_t& v : picture.rgb) v = curve[v];
}

}  // namespace orrery
