// Separable Gaussian over rows of bytes: the horizontal pass fills a ring of
// filtered rows, the vertical pass combines the ring into each output row. An
// output row depends only on the input, so bands of rows run on their own cores.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif
#include "imaging/filters.h"

#include "imaging/imaging.h"
#include "imaging/parallel.h"
#include "imaging/result.h"
#include "imaging/via24.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imaging {
namespace {

constexpr int kWeightBits = 14;

// Integer Gaussian taps summing to exactly 1 << kWeightBits.
std::vector<int32_t> gaussianTaps(double sigma) {
    const int radius = std::max(1, int(std::ceil(3.0 * sigma)));
    std::vector<double> w(size_t(2 * radius + 1));
    double sum = 0;
    for (int k = -radius; k <= radius; ++k) sum += w[size_t(k + radius)] = std::exp(-k * k / (2 * sigma * sigma));
    std::vector<int32_t> taps(w.size());
    int total = 0;
    for (size_t k = 0; k < w.size(); ++k) total += taps[k] = int32_t(std::lround(w[k] / sum * (1 << kWeightBits)));
    taps[size_t(radius)] += (1 << kWeightBits) - total;
    return taps;
}

struct Filter {
    std::vector<int32_t> taps;
    int strength256 = 0;  // 0: plain blur; else unsharp strength in 1/256
};

// Horizontal pass of one row: bytes, n per pixel, into 8.8 fixed point.
void filterRow(const uint8_t* in, int width, int n, const std::vector<int32_t>& taps,
               std::vector<uint8_t>& padded, uint16_t* out) {
    const int radius = int(taps.size() / 2);
    const size_t bytes = size_t(width) * n;
    // Repeat the border pixels radius times on both sides.
    uint8_t* p = padded.data();
    for (int k = 0; k < radius; ++k) std::memcpy(p + size_t(k) * n, in, size_t(n));
    std::memcpy(p + size_t(radius) * n, in, bytes);
    for (int k = 0; k < radius; ++k)
        std::memcpy(p + size_t(radius) * n + bytes + size_t(k) * n, in + bytes - n, size_t(n));
    const int count = int(taps.size());
    for (size_t i = 0; i < bytes; ++i) {
        int32_t sum = 32;
        for (int k = 0; k < count; ++k) sum += taps[size_t(k)] * p[i + size_t(k) * n];
        out[i] = uint16_t(sum >> 6);
    }
}

void filterPicture(const Bitmap& source, Bitmap& result, const Filter& f) {
    const int w = source.width, h = source.height, n = source.bitsPerPixel / 8;
    const int radius = int(f.taps.size() / 2), count = int(f.taps.size());
    const size_t bytes = size_t(w) * n;
    forEachBand(h, int64_t(bytes) * count * 2, [&](int first, int last) {
        std::vector<uint8_t> padded(bytes + size_t(2 * radius) * n);
        // ring[k] holds the filtered source row whose number is k modulo the ring size.
        const int ringSize = count;
        std::vector<uint16_t> ring(bytes * size_t(ringSize));
        std::vector<int32_t> acc(bytes);
        auto ringRow = [&](int y) { return ring.data() + bytes * size_t(((y % ringSize) + ringSize) % ringSize); };
        auto fill = [&](int y) {
            const int s = std::clamp(y, 0, h - 1);
            filterRow(source.storedRow(s), w, n, f.taps, padded, ringRow(y));
        };
        for (int y = first - radius; y < first + radius; ++y) fill(y);
        for (int y = first; y < last; ++y) {
            fill(y + radius);
            std::fill(acc.begin(), acc.end(), 1 << (kWeightBits - 1));
            for (int k = 0; k < count; ++k) {
                const int32_t wt = f.taps[size_t(k)];
                const uint16_t* row = ringRow(y - radius + k);
                for (size_t i = 0; i < bytes; ++i) acc[i] += wt * row[i];
            }
            // acc is the blurred value in 8.8 fixed point, shifted up by kWeightBits.
            const uint8_t* in = source.storedRow(y);
            uint8_t* out = result.storedRow(y);
            if (f.strength256 == 0) {
                for (size_t i = 0; i < bytes; ++i) out[i] = uint8_t(((acc[i] >> kWeightBits) + 128) >> 8);
            } else {
                const int s = f.strength256;
                for (size_t i = 0; i < bytes; ++i) {
                    const int blurred = acc[i] >> kWeightBits;  // 8.8
                    const int detail = (in[i] << 8) - blurred;
                    const int v = in[i] + ((detail * s + (1 << 15)) >> 16);
                    out[i] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
                }
            }
            if (n == 4)
                for (int x = 0; x < w; ++x) out[4 * x + 3] = in[4 * x + 3];
        }
    });
}

int filterDirect(Bitmap& bitmap, const Filter& f) {
    Bitmap result;
    initialize(result, bitmap.width, bitmap.height, bitmap.bitsPerPixel);
    result.rowOrder = bitmap.rowOrder;
    result.colorOrder = bitmap.colorOrder;
    result.xResolution = bitmap.xResolution;
    result.yResolution = bitmap.yResolution;
    result.formatCode = bitmap.formatCode;
    result.flags = bitmap.flags & ~flag::kAllocated;
    const int status = allocate(result);
    if (status != kSuccess) return status;
    filterPicture(bitmap, result, f);
    bitmap = std::move(result);
    return kSuccess;
}

}  // namespace

int sharpen(Bitmap& bitmap, int amount) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (amount < -kMaxFilterAmount || amount > kMaxFilterAmount) return kErrBadParameter;
    if (amount == 0) return kSuccess;
    Filter f;
    if (amount < 0) {
        f.taps = gaussianTaps(-amount / 250.0);
    } else {
        f.taps = gaussianTaps(1.0);
        f.strength256 = amount * 256 / 500;
    }
    return throughDirectColour(bitmap, [&](Bitmap& b) { return filterDirect(b, f); });
}

}  // namespace imaging
