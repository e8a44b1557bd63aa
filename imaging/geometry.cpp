// Rotations and resampling. Every output row is computed from the input alone,
// so the rows are shared out over the cores without changing the result.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif
#include "imaging/geometry.h"

#include "imaging/imaging.h"
#include "imaging/parallel.h"
#include "imaging/pixels.h"
#include "imaging/via24.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imaging {
namespace {

constexpr double kPi = 3.14159265358979323846;

const uint8_t* visualRow(const Bitmap& b, int y) {
    return b.storedRow(b.isBottomUp() ? b.height - 1 - y : y);
}
uint8_t* visualRow(Bitmap& b, int y) { return b.storedRow(b.isBottomUp() ? b.height - 1 - y : y); }

int storedBytesPerPixel(int bits) { return bits == 15 ? 2 : bits / 8; }

// A record like source but of another size, with zeroed pixels.
int makeLike(Bitmap& result, const Bitmap& source, int width, int height) {
    initializeLike(result, source, width, height, source.bitsPerPixel);
    result.palette = source.palette;
    result.paletteCount = source.paletteCount;
    return allocate(result);
}

// Quarter turns move pixels without touching their values. clockwise: the
// left column becomes the top row.
int quarterTurn(Bitmap& bitmap, bool clockwise) {
    Bitmap result;
    const int status = makeLike(result, bitmap, bitmap.height, bitmap.width);
    if (status != kSuccess) return status;
    std::swap(result.xResolution, result.yResolution);
    const int w = bitmap.width, h = bitmap.height, bits = bitmap.bitsPerPixel;
    const int pb = bits >= 8 ? storedBytesPerPixel(bits) : 0;
    const Bitmap& source = bitmap;
    // Output row y' is source column (clockwise) y' or (counter-clockwise) w-1-y'.
    forEachBand(result.height, result.width, [&](int first, int last) {
        std::vector<const uint8_t*> rows(static_cast<size_t>(h));
        for (int y = 0; y < h; ++y) rows[size_t(y)] = visualRow(source, clockwise ? h - 1 - y : y);
        // rows[x'] is the source row that output column x' reads.
        for (int yo = first; yo < last; ++yo) {
            const int column = clockwise ? yo : w - 1 - yo;
            uint8_t* out = visualRow(result, yo);
            if (pb == 0) {
                for (int xo = 0; xo < h; ++xo)
                    setIndexAt(out, xo, bits, indexAt(rows[size_t(xo)], column, bits));
            } else if (pb == 3) {
                for (int xo = 0; xo < h; ++xo) {
                    const uint8_t* p = rows[size_t(xo)] + 3 * size_t(column);
                    out[3 * xo] = p[0], out[3 * xo + 1] = p[1], out[3 * xo + 2] = p[2];
                }
            } else {
                for (int xo = 0; xo < h; ++xo)
                    std::memcpy(out + size_t(xo) * pb, rows[size_t(xo)] + size_t(column) * pb, size_t(pb));
            }
        }
    });
    bitmap = std::move(result);
    return kSuccess;
}

int halfTurn(Bitmap& bitmap) {
    const int status = flipVertical(bitmap);
    return status == kSuccess ? mirror(bitmap) : status;
}

// Where output pixel centres fall in the source, in 1/65536 pixel, measured
// from the first pixel's centre.
struct Mapping {
    double cosA, sinA;
    double cx, cy, ocx, ocy;
    int64_t du, dv;
    void rowStart(int y, int64_t& u, int64_t& v) const {
        const double dx = 0.5 - ocx, dy = y + 0.5 - ocy;
        u = int64_t(std::llround((cx + dx * cosA + dy * sinA - 0.5) * 65536.0));
        v = int64_t(std::llround((cy - dx * sinA + dy * cosA - 0.5) * 65536.0));
    }
};

// The output columns [first, last) of a row whose bilinear taps all lie inside
// the source: where 0 <= u0 + du x < limitU and likewise for v (16.16 units).
void interiorSpan(int64_t u0, int64_t du, int64_t limitU, int64_t v0, int64_t dv, int64_t limitV, int width,
                  int& first, int& last) {
    double lo = 0, hi = width;
    auto clip = [&](int64_t s0, int64_t ds, int64_t limit) {
        // s0 + ds x in [0, limit)
        if (ds == 0) {
            if (s0 < 0 || s0 >= limit) lo = hi;
            return;
        }
        double a = double(-s0) / double(ds), b = double(limit - s0) / double(ds);
        if (ds < 0) std::swap(a, b);
        lo = std::max(lo, std::ceil(a)), hi = std::min(hi, std::floor(b));
    };
    clip(u0, du, limitU);
    clip(v0, dv, limitV);
    // One column of slack on each side; the checked loop takes those.
    first = int(std::clamp(lo + 1, 0.0, double(width)));
    last = int(std::clamp(hi - 1, double(first), double(width)));
}

template <int N>
void bilinearSpan(const Bitmap& source, uint8_t* out, int64_t u, int64_t v, int64_t du, int64_t dv, int count) {
    for (int k = 0; k < count; ++k, u += du, v += dv, out += N) {
        const int i0 = int(u >> 16), j0 = int(v >> 16);
        const int fx = int((u >> 8) & 255), fy = int((v >> 8) & 255);
        const uint8_t* p = visualRow(source, j0) + size_t(i0) * N;
        const uint8_t* q = visualRow(source, j0 + 1) + size_t(i0) * N;
        const int w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy, w11 = fx * fy;
        for (int c = 0; c < N; ++c)
            out[c] = uint8_t((p[c] * w00 + p[c + N] * w10 + q[c] * w01 + q[c + N] * w11 + 32768) >> 16);
    }
}

void rotateDirect(const Bitmap& source, Bitmap& result, const Mapping& m, ColorRef fill) {
    const int w = source.width, h = source.height, n = source.bitsPerPixel / 8;
    uint8_t fillBytes[4] = {0, 0, 0, 0};
    const uint8_t r = uint8_t(redOf(fill)), g = uint8_t(greenOf(fill)), b = uint8_t(blueOf(fill));
    if (source.colorOrder == kBgr) fillBytes[0] = b, fillBytes[1] = g, fillBytes[2] = r;
    else fillBytes[0] = r, fillBytes[1] = g, fillBytes[2] = b;
    // Any tap near or past the border: taps outside the picture count as the fill colour.
    auto checked = [&](uint8_t* o, int64_t u, int64_t v) {
        const int64_t i0 = u >> 16, j0 = v >> 16;
        const int fx = int((u >> 8) & 255), fy = int((v >> 8) & 255);
        if (i0 < -1 || i0 >= w || j0 < -1 || j0 >= h) {
            std::memcpy(o, fillBytes, size_t(n));
            return;
        }
        const uint8_t* taps[4];
        const int64_t ii[4] = {i0, i0 + 1, i0, i0 + 1}, jj[4] = {j0, j0, j0 + 1, j0 + 1};
        for (int k = 0; k < 4; ++k)
            taps[k] = (ii[k] >= 0 && ii[k] < w && jj[k] >= 0 && jj[k] < h)
                          ? visualRow(source, int(jj[k])) + size_t(ii[k]) * n : fillBytes;
        const int wk[4] = {(256 - fx) * (256 - fy), fx * (256 - fy), (256 - fx) * fy, fx * fy};
        for (int c = 0; c < n; ++c) {
            int sum = 32768;
            for (int k = 0; k < 4; ++k) sum += taps[k][c] * wk[k];
            o[c] = uint8_t(sum >> 16);
        }
    };
    forEachBand(result.height, int64_t(result.width) * 4, [&](int first, int last) {
        for (int yo = first; yo < last; ++yo) {
            uint8_t* out = visualRow(result, yo);
            int64_t u, v;
            m.rowStart(yo, u, v);
            int from, to;
            interiorSpan(u, m.du, int64_t(w - 1) << 16, v, m.dv, int64_t(h - 1) << 16, result.width, from, to);
            for (int xo = 0; xo < from; ++xo) checked(out + size_t(xo) * n, u + m.du * xo, v + m.dv * xo);
            if (n == 3) bilinearSpan<3>(source, out + size_t(from) * 3, u + m.du * from, v + m.dv * from, m.du, m.dv, to - from);
            else bilinearSpan<4>(source, out + size_t(from) * 4, u + m.du * from, v + m.dv * from, m.du, m.dv, to - from);
            for (int xo = to; xo < result.width; ++xo) checked(out + size_t(xo) * n, u + m.du * xo, v + m.dv * xo);
        }
    });
}

void rotateIndexed(const Bitmap& source, Bitmap& result, const Mapping& m, ColorRef fill) {
    const int w = source.width, h = source.height, bits = source.bitsPerPixel;
    const Rgb f{uint8_t(redOf(fill)), uint8_t(greenOf(fill)), uint8_t(blueOf(fill))};
    int fillIndex = nearestPaletteIndex(source, f);
    const RgbQuad& near = source.palette[size_t(fillIndex)];
    if ((near.red != f.r || near.green != f.g || near.blue != f.b) && result.paletteCount < (1 << bits)) {
        // A palette with room takes the fill colour as a new entry.
        fillIndex = result.paletteCount++;
        result.palette[size_t(fillIndex)] = RgbQuad{f.b, f.g, f.r, 0};
    }
    forEachBand(result.height, result.width, [&](int first, int last) {
        for (int yo = first; yo < last; ++yo) {
            uint8_t* out = visualRow(result, yo);
            int64_t u, v;
            m.rowStart(yo, u, v);
            for (int xo = 0; xo < result.width; ++xo, u += m.du, v += m.dv) {
                const int64_t i = (u + 32768) >> 16, j = (v + 32768) >> 16;
                const bool inside = i >= 0 && i < w && j >= 0 && j < h;
                setIndexAt(out, xo, bits, inside ? indexAt(visualRow(source, int(j)), int(i), bits) : fillIndex);
            }
        }
    });
}

int rotateAny(Bitmap& bitmap, double degrees, bool grow, ColorRef fill) {
    const double a = degrees * kPi / 180.0;
    Mapping m{};
    m.cosA = std::cos(a), m.sinA = std::sin(a);
    if (std::fabs(m.cosA) < 1e-12) m.cosA = 0;
    if (std::fabs(m.sinA) < 1e-12) m.sinA = 0;
    int width = bitmap.width, height = bitmap.height;
    if (grow) {
        const double ac = std::fabs(m.cosA), as = std::fabs(m.sinA);
        width = int(std::ceil(bitmap.width * ac + bitmap.height * as - 1e-9));
        height = int(std::ceil(bitmap.width * as + bitmap.height * ac - 1e-9));
    }
    m.cx = bitmap.width / 2.0, m.cy = bitmap.height / 2.0;
    m.ocx = width / 2.0, m.ocy = height / 2.0;
    m.du = int64_t(std::llround(m.cosA * 65536.0));
    m.dv = int64_t(std::llround(-m.sinA * 65536.0));
    auto turn = [&](Bitmap& b) {
        Bitmap result;
        const int status = makeLike(result, b, width, height);
        if (status != kSuccess) return status;
        if (b.isIndexed()) rotateIndexed(b, result, m, fill);
        else rotateDirect(b, result, m, fill);
        b = std::move(result);
        return int(kSuccess);
    };
    if (bitmap.isIndexed()) return turn(bitmap);
    return throughDirectColour(bitmap, turn);
}

// ---------------------------------------------------------------- resize

// One output position's source taps and their weights in 1/16384.
struct Taps {
    int count = 0;
    std::vector<int32_t> index, weight;  // count entries per output position
};

constexpr int kWeightBits = 14;

void normalise(std::vector<double>& w, int32_t* out) {
    double sum = 0;
    for (double v : w) sum += v;
    int total = 0, largest = 0;
    for (size_t k = 0; k < w.size(); ++k) {
        out[k] = int32_t(std::lround(w[k] / sum * (1 << kWeightBits)));
        total += out[k];
        if (std::fabs(w[k]) > std::fabs(w[size_t(largest)])) largest = int(k);
    }
    out[largest] += (1 << kWeightBits) - total;
}

double catmullRom(double t) {
    t = std::fabs(t);
    if (t < 1) return 1.5 * t * t * t - 2.5 * t * t + 1;
    if (t < 2) return -0.5 * t * t * t + 2.5 * t * t - 4 * t + 2;
    return 0;
}

Taps makeTaps(int from, int to) {
    Taps taps;
    if (to < from) {
        // Area averaging with a tent window: each output pixel averages the
        // source span under it and its neighbours' halves, weighted by distance,
        // which keeps fine detail from folding back as moire.
        const double scale = double(from) / to;
        taps.count = int(std::ceil(2 * scale)) + 2;
        taps.index.assign(size_t(to) * taps.count, 0);
        taps.weight.assign(size_t(to) * taps.count, 0);
        for (int i = 0; i < to; ++i) {
            const double centre = (i + 0.5) * scale - 0.5;
            const int k0 = int(std::floor(centre - scale));
            std::vector<double> w(size_t(taps.count), 0.0);
            for (int k = 0; k < taps.count; ++k) {
                taps.index[size_t(i) * taps.count + k] = std::clamp(k0 + k, 0, from - 1);
                const double t = std::fabs(k0 + k - centre) / scale;
                w[size_t(k)] = t < 1 ? 1 - t : 0;
            }
            normalise(w, taps.weight.data() + size_t(i) * taps.count);
        }
        return taps;
    }
    if (to == from) {
        taps.count = 1;
        for (int i = 0; i < to; ++i) taps.index.push_back(i), taps.weight.push_back(1 << kWeightBits);
        return taps;
    }
    taps.count = 4;
    taps.index.assign(size_t(to) * 4, 0);
    taps.weight.assign(size_t(to) * 4, 0);
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) * from / to - 0.5;
        const int k0 = int(std::floor(centre)) - 1;
        std::vector<double> w(4);
        for (int k = 0; k < 4; ++k) {
            taps.index[size_t(i) * 4 + k] = std::clamp(k0 + k, 0, from - 1);
            w[size_t(k)] = catmullRom(centre - (k0 + k));
        }
        normalise(w, taps.weight.data() + size_t(i) * 4);
    }
    return taps;
}

inline uint8_t clampByte(int v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); }

int resizeDirect(Bitmap& bitmap, int width, int height) {
    Bitmap result;
    const int status = makeLike(result, bitmap, width, height);
    if (status != kSuccess) return status;
    const int n = bitmap.bitsPerPixel / 8;
    const Taps across = makeTaps(bitmap.width, width), down = makeTaps(bitmap.height, height);
    // Horizontal pass into 16-bit values with 6 fractional bits.
    const size_t interStride = size_t(width) * n;
    std::vector<int16_t> inter(interStride * size_t(bitmap.height));
    const Bitmap& source = bitmap;
    forEachBand(source.height, int64_t(width) * across.count * n, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const uint8_t* in = source.storedRow(y);
            int16_t* out = inter.data() + interStride * size_t(y);
            for (int x = 0; x < width; ++x) {
                const int32_t* idx = across.index.data() + size_t(x) * across.count;
                const int32_t* wt = across.weight.data() + size_t(x) * across.count;
                int sum[4] = {128, 128, 128, 128};
                for (int k = 0; k < across.count; ++k) {
                    const uint8_t* p = in + size_t(idx[k]) * n;
                    for (int c = 0; c < n; ++c) sum[c] += wt[k] * p[c];
                }
                for (int c = 0; c < n; ++c) out[size_t(x) * n + c] = int16_t(sum[c] >> 8);
            }
        }
    });
    // Vertical pass, a whole row at a time so the inner loop runs along memory.
    forEachBand(height, int64_t(interStride) * down.count, [&](int first, int last) {
        std::vector<int32_t> acc(interStride);
        for (int y = first; y < last; ++y) {
            std::fill(acc.begin(), acc.end(), 1 << 19);
            for (int k = 0; k < down.count; ++k) {
                const int32_t wt = down.weight[size_t(y) * down.count + k];
                if (wt == 0) continue;
                const int16_t* in = inter.data() + interStride * size_t(down.index[size_t(y) * down.count + k]);
                for (size_t i = 0; i < interStride; ++i) acc[i] += wt * in[i];
            }
            uint8_t* out = result.storedRow(y);
            for (size_t i = 0; i < interStride; ++i) out[i] = clampByte(acc[i] >> 20);
        }
    });
    bitmap = std::move(result);
    return kSuccess;
}

}  // namespace

int rotateDegrees(Bitmap& bitmap, int degrees, bool resize) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int a = ((degrees % 360) + 360) % 360;
    if (a == 0) return kSuccess;
    if (a == 180) return halfTurn(bitmap);
    if (resize && (a == 90 || a == 270)) return quarterTurn(bitmap, a == 90);
    return rotateAny(bitmap, a, false, makeColorRef(0, 0, 0));
}

int rotateFine(Bitmap& bitmap, int hundredths, int flags, ColorRef fill) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (flags & ~rotation::kGrow) return kErrBadParameter;
    const int a = ((hundredths % 36000) + 36000) % 36000;
    if (a == 0) return kSuccess;
    if (a == 18000) return halfTurn(bitmap);
    if ((flags & rotation::kGrow) && (a == 9000 || a == 27000)) return quarterTurn(bitmap, a == 9000);
    return rotateAny(bitmap, a / 100.0, (flags & rotation::kGrow) != 0, fill);
}

int resize(Bitmap& bitmap, int width, int height) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int check = checkPictureSize(width, height, bitmap.bitsPerPixel);
    if (check != kSuccess) return check;
    if (width == bitmap.width && height == bitmap.height) return kSuccess;
    return throughDirectColour(bitmap, [&](Bitmap& b) { return resizeDirect(b, width, height); });
}

}  // namespace imaging
