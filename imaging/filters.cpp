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

// x86-64 builds carry an AVX2 copy of the inner loops beside the baseline
// one; the loader picks the one the processor runs. The arithmetic is integer,
// so both give the same bytes.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUILLON_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUILLON_VECTOR_CLONES
#endif

// acc[i] = centre * row[i] + sum over k of w[k] * (row[i - k step] + row[i + k step]).
QUILLON_VECTOR_CLONES
void foldedTaps(const uint8_t* row, size_t count, size_t step, const int32_t* taps, int radius, int32_t* acc) {
    const int32_t centre = taps[radius];
    for (size_t i = 0; i < count; ++i) acc[i] = 32 + centre * row[i];
    for (int k = 1; k <= radius; ++k) {
        const int32_t w = taps[radius + k];
        const uint8_t* left = row - size_t(k) * step;
        const uint8_t* right = row + size_t(k) * step;
        for (size_t i = 0; i < count; ++i) acc[i] += w * (left[i] + right[i]);
    }
}

QUILLON_VECTOR_CLONES
void narrow(const int32_t* acc, size_t count, uint16_t* out) {
    for (size_t i = 0; i < count; ++i) out[i] = uint16_t(acc[i] >> 6);
}

// The same down a column of filtered rows: rows[k] is the row k - radius away.
QUILLON_VECTOR_CLONES
void foldedRows(const uint16_t* const* rows, size_t count, const int32_t* taps, int radius, int32_t* acc) {
    const int32_t centre = taps[radius];
    const uint16_t* mid = rows[radius];
    for (size_t i = 0; i < count; ++i) acc[i] = (1 << 13) + centre * mid[i];
    for (int k = 1; k <= radius; ++k) {
        const int32_t w = taps[radius + k];
        const uint16_t* up = rows[radius - k];
        const uint16_t* down = rows[radius + k];
        for (size_t i = 0; i < count; ++i) acc[i] += w * (up[i] + down[i]);
    }
}

// Horizontal pass of one row: bytes, n per pixel, into 8.8 fixed point.
void filterRow(const uint8_t* in, int width, int n, const std::vector<int32_t>& taps,
               std::vector<uint8_t>& padded, std::vector<int32_t>& acc, uint16_t* out) {
    const int radius = int(taps.size() / 2);
    const size_t bytes = size_t(width) * n;
    // Repeat the border pixels radius times on both sides.
    uint8_t* p = padded.data();
    for (int k = 0; k < radius; ++k) std::memcpy(p + size_t(k) * n, in, size_t(n));
    std::memcpy(p + size_t(radius) * n, in, bytes);
    for (int k = 0; k < radius; ++k)
        std::memcpy(p + size_t(radius) * n + bytes + size_t(k) * n, in + bytes - n, size_t(n));
    foldedTaps(p + size_t(radius) * n, bytes, size_t(n), taps.data(), radius, acc.data());
    narrow(acc.data(), bytes, out);
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
        std::vector<int32_t> acc(bytes), rowAcc(bytes);
        std::vector<const uint16_t*> window(static_cast<size_t>(count));
        auto ringRow = [&](int y) { return ring.data() + bytes * size_t(((y % ringSize) + ringSize) % ringSize); };
        auto fill = [&](int y) {
            const int s = std::clamp(y, 0, h - 1);
            filterRow(source.storedRow(s), w, n, f.taps, padded, rowAcc, ringRow(y));
        };
        for (int y = first - radius; y < first + radius; ++y) fill(y);
        for (int y = first; y < last; ++y) {
            fill(y + radius);
            for (int k = 0; k < count; ++k) window[size_t(k)] = ringRow(y - radius + k);
            foldedRows(window.data(), bytes, f.taps.data(), radius, acc.data());
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
