// Depth change: exact going up; going down, a palette chosen by the flags and
// each pixel mapped onto it, nearest or with Floyd-Steinberg error diffusion.
#include "imaging/depth.h"

#include "imaging/imaging.h"
#include "imaging/parallel.h"
#include "imaging/pixels.h"
#include "imaging/quantize.h"
#include "imaging/rgb_rows.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace imaging {
namespace {

inline int clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline int luminance(int r, int g, int b) { return (77 * r + 150 * g + 29 * b + 128) >> 8; }

Bitmap resultLike(const Bitmap& source, int bits) {
    Bitmap result;
    initializeLike(result, source, source.width, source.height, bits);
    return result;
}

// Floyd-Steinberg over rows of R, G, B triplets, serpentine: even rows run left
// to right, odd rows right to left. Errors are kept in sixteenths.
class Diffuser {
public:
    Diffuser(int width, int channels)
        : m_width(width), m_channels(channels),
          m_current(size_t(width + 2) * size_t(channels), 0),
          m_next(size_t(width + 2) * size_t(channels), 0) {}

    // map(x, value[3]) writes the chosen colour back into value and stores the pixel.
    template <typename Map>
    void row(int y, const uint8_t* in, Map&& map) {
        const int n = m_channels;
        std::fill(m_next.begin(), m_next.end(), 0);
        const bool forward = (y & 1) == 0;
        const int step = forward ? 1 : -1;
        for (int i = 0; i < m_width; ++i) {
            const int x = forward ? i : m_width - 1 - i;
            int* cur = m_current.data() + size_t(x + 1) * n;
            int* nxt = m_next.data() + size_t(x + 1) * n;
            int wanted[3] = {0, 0, 0}, chosen[3] = {0, 0, 0};
            for (int c = 0; c < n; ++c) {
                wanted[c] = clamp255(in[x * n + c] + ((cur[c] + 8) >> 4));
                chosen[c] = wanted[c];
            }
            map(x, chosen);
            for (int c = 0; c < n; ++c) {
                const int e = wanted[c] - chosen[c];
                cur[step * n + c] += 7 * e;
                nxt[-step * n + c] += 3 * e;
                nxt[c] += 5 * e;
                nxt[step * n + c] += e;
            }
        }
        std::swap(m_current, m_next);
    }

private:
    int m_width, m_channels;
    std::vector<int> m_current, m_next;
};

// 1 bit, black and white: threshold or diffuse the luminance.
void reduceToBlackAndWhite(const Bitmap& source, Bitmap& result, bool diffuse) {
    const int w = source.width;
    std::vector<uint8_t> rgb(size_t(w) * 3);
    std::vector<uint8_t> grey(static_cast<size_t>(w));
    Diffuser diffuser(w, 1);
    for (int y = 0; y < source.height; ++y) {
        unpackRgbRow(source, source.storedRow(y), rgb.data());
        for (int x = 0; x < w; ++x)
            grey[size_t(x)] = uint8_t(luminance(rgb[3 * size_t(x)], rgb[3 * size_t(x) + 1], rgb[3 * size_t(x) + 2]));
        uint8_t* out = result.storedRow(y);
        std::memset(out, 0, size_t(result.bytesPerLine));
        if (!diffuse) {
            for (int x = 0; x < w; ++x)
                if (grey[size_t(x)] >= 128) out[x >> 3] |= uint8_t(0x80 >> (x & 7));
            continue;
        }
        diffuser.row(y, grey.data(), [&](int x, int* v) {
            const bool white = v[0] >= 128;
            v[0] = white ? 255 : 0;
            if (white) out[x >> 3] |= uint8_t(0x80 >> (x & 7));
        });
    }
}

// Floyd-Steinberg onto a palette, rows left to right. Row y takes its errors
// from row y - 1 only once that row has passed the pixels that feed them, so
// rows run in a wavefront over the cores; each pixel sees exactly the errors
// it would see on one core, and the picture is the same at any thread count.
class Wavefront {
public:
    Wavefront(int width, int height, int threads)
        : m_width(width), m_height(height), m_threads(threads), m_ring(threads + 2),
          m_errors(size_t(m_ring) * size_t(width + 2) * 3, 0), m_progress(size_t(m_ring)) {
        for (auto& p : m_progress) p.store(-1);
    }

    // pixel(y, x, r, g, b) stores the pixel and returns the colour it took.
    template <typename RowInput, typename Pixel>
    void run(RowInput&& rowInput, Pixel&& pixel) {
        auto work = [&](int first) {
            std::vector<uint8_t> rgb(size_t(m_width) * 3);
            for (int y = first; y < m_height; y += m_threads) {
                rowInput(y, rgb.data());
                runRow(y, rgb.data(), pixel);
            }
        };
        std::vector<std::thread> pool;
        for (int t = 1; t < m_threads; ++t) pool.emplace_back(work, t);
        work(0);
        for (std::thread& thread : pool) thread.join();
    }

private:
    int64_t mark(int y, int done) const { return int64_t(y) * (m_width + 8) + done; }
    int* errors(int y) { return m_errors.data() + size_t(y % m_ring) * size_t(m_width + 2) * 3 + 3; }
    void publish(int y, int done) { m_progress[size_t(y % m_ring)].store(mark(y, done), std::memory_order_release); }
    void waitFor(int y, int done) {
        if (y < 0) return;
        const int64_t wanted = mark(y, done);
        for (int spins = 0; m_progress[size_t(y % m_ring)].load(std::memory_order_acquire) < wanted; ++spins)
            if (spins > 64) std::this_thread::yield();
    }

    template <typename Pixel>
    void runRow(int y, const uint8_t* in, Pixel& pixel) {
        constexpr int kChunk = 64;
        const int w = m_width;
        int* cur = errors(y);
        int* next = errors(y + 1);
        std::fill(next - 3, next + size_t(w + 1) * 3, 0);
        publish(y, 0);
        int right[3] = {0, 0, 0};
        for (int x = 0; x < w; ++x) {
            if (x % kChunk == 0) {
                waitFor(y - 1, std::min(x + kChunk + 1, w + 8));
                if (x) publish(y, x);
            }
            int v[3];
            for (int c = 0; c < 3; ++c) v[c] = clamp255(in[3 * x + c] + ((cur[3 * x + c] + right[c] + 8) >> 4));
            int chosen[3];
            pixel(y, x, v, chosen);
            for (int c = 0; c < 3; ++c) {
                const int e = v[c] - chosen[c];
                right[c] = 7 * e;
                next[3 * (x - 1) + c] += 3 * e;
                next[3 * x + c] += 5 * e;
                next[3 * (x + 1) + c] += e;
            }
        }
        publish(y, w + 8);
    }

    int m_width, m_height, m_threads, m_ring;
    std::vector<int> m_errors;
    std::vector<std::atomic<int64_t>> m_progress;
};

void mapToPalette(const Bitmap& source, Bitmap& result, bool diffuse) {
    const int w = source.width, h = source.height, bits = result.bitsPerPixel;
    PaletteMatcher matcher(result.palette.data(), result.paletteCount);
    const bool big = int64_t(w) * h >= 1 << 18;
    if (big) matcher.prepareAll();  // read-only from here on, for the threads
    if (!diffuse) {
        auto rows = [&](int first, int last) {
            std::vector<uint8_t> rgb(size_t(w) * 3);
            for (int y = first; y < last; ++y) {
                unpackRgbRow(source, source.storedRow(y), rgb.data());
                uint8_t* out = result.storedRow(y);
                std::memset(out, 0, size_t(result.bytesPerLine));
                for (int x = 0; x < w; ++x) {
                    const uint8_t* p = rgb.data() + 3 * size_t(x);
                    setIndexAt(out, x, bits, matcher.nearest(p[0], p[1], p[2]));
                }
            }
        };
        if (big) forEachBand(h, int64_t(w) * 8, rows);
        else rows(0, h);
        return;
    }
    const int threads = big ? std::min(threadCount(), 4) : 1;
    Wavefront wavefront(w, h, std::min(threads, h));
    wavefront.run(
        [&](int y, uint8_t* rgb) {
            unpackRgbRow(source, source.storedRow(y), rgb);
            std::memset(result.storedRow(y), 0, size_t(result.bytesPerLine));
        },
        [&](int y, int x, const int* v, int* chosen) {
            const int index = matcher.nearest(v[0], v[1], v[2]);
            const RgbQuad& q = matcher.entry(index);
            chosen[0] = q.red, chosen[1] = q.green, chosen[2] = q.blue;
            setIndexAt(result.storedRow(y), x, bits, index);
        });
}

void copyIndices(const Bitmap& source, Bitmap& result) {
    for (int y = 0; y < source.height; ++y) {
        const uint8_t* from = source.storedRow(y);
        uint8_t* to = result.storedRow(y);
        std::memset(to, 0, size_t(result.bytesPerLine));
        if (source.bitsPerPixel == result.bitsPerPixel) {
            std::memcpy(to, from, size_t(result.bytesPerLine));
            continue;
        }
        for (int x = 0; x < source.width; ++x)
            setIndexAt(to, x, result.bitsPerPixel, indexAt(from, x, source.bitsPerPixel));
    }
}

void convertDirect(const Bitmap& source, Bitmap& result) {
    const bool sameLayout = source.bitsPerPixel == result.bitsPerPixel &&
                            (source.bitsPerPixel < 24 || source.colorOrder == result.colorOrder);
    std::vector<uint8_t> rgb(size_t(source.width) * 3);
    for (int y = 0; y < source.height; ++y) {
        uint8_t* to = result.storedRow(y);
        if (sameLayout) {
            std::memcpy(to, source.storedRow(y), size_t(result.bytesPerLine));
            continue;
        }
        std::memset(to, 0, size_t(result.bytesPerLine));
        unpackRgbRow(source, source.storedRow(y), rgb.data());
        packRgbRow(result, rgb.data(), to);
    }
}

}  // namespace

int fixedPalette(int bits, RgbQuad* palette) {
    if (bits == 1 || bits == 4) {
        Bitmap b;
        initialize(b, 1, 1, bits);
        std::copy(b.palette.begin(), b.palette.begin() + b.paletteCount, palette);
        return b.paletteCount;
    }
    if (bits != 8) return 0;
    int n = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette[n++] = RgbQuad{uint8_t(b * 51), uint8_t(g * 51), uint8_t(r * 51), 0};
    // Greys between the cube's steps of 51, so that grey pictures keep detail.
    for (int k = 1; n < 256; ++k) {
        const uint8_t v = uint8_t(k * 255 / 41);
        palette[n++] = RgbQuad{v, v, v, 0};
    }
    return n;
}

int changeColorDepth(Bitmap& destination, const Bitmap& source, int bits, uint32_t flags,
                     const RgbQuad* palette, int colours) {
    if (!source.hasPixels()) return kErrNoBitmap;
    if (!isValidDepth(bits)) return kErrBadBits;
    const bool given = (flags & depth::kGivenPalette) != 0;
    if (given && bits <= 8 && (!palette || colours <= 0)) return kErrNoPalette;
    const bool diffuse = (flags & depth::kErrorDiffusion) != 0;

    Bitmap result = resultLike(source, bits);
    const int maxColours = bits <= 8 ? 1 << bits : 0;
    bool keepIndices = false, blackAndWhite = false;
    if (bits <= 8) {
        if (given) {
            result.paletteCount = std::min(colours, maxColours);
            std::copy(palette, palette + result.paletteCount, result.palette.begin());
        } else if (source.isIndexed() && source.bitsPerPixel <= bits) {
            result.palette = source.palette;
            result.paletteCount = source.paletteCount;
            keepIndices = true;
        } else if (bits == 1) {
            blackAndWhite = true;  // the default palette of 1 bit: black, white
        } else if (flags & depth::kOptimizedPalette) {
            result.palette.fill(RgbQuad{});
            result.paletteCount = buildOptimizedPalette(source, maxColours, result.palette.data());
        } else {
            result.palette.fill(RgbQuad{});
            result.paletteCount = fixedPalette(bits, result.palette.data());
        }
    }
    const int status = allocate(result);
    if (status != kSuccess) return status;

    if (bits > 8) convertDirect(source, result);
    else if (keepIndices) copyIndices(source, result);
    else if (blackAndWhite) reduceToBlackAndWhite(source, result, diffuse);
    else mapToPalette(source, result, diffuse);
    destination = std::move(result);
    return kSuccess;
}

}  // namespace imaging
