// Depth change: exact going up; going down, a palette chosen by the flags and
// each pixel mapped onto it, nearest or with Floyd-Steinberg error diffusion.
#include "imaging/depth.h"

#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "imaging/quantize.h"
#include "imaging/rgb_rows.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace imaging {
namespace {

inline int clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline int luminance(int r, int g, int b) { return (77 * r + 150 * g + 29 * b + 128) >> 8; }

Bitmap resultLike(const Bitmap& source, int bits) {
    Bitmap result;
    initialize(result, source.width, source.height, bits);
    result.rowOrder = source.rowOrder;
    result.colorOrder = source.colorOrder;
    result.xResolution = source.xResolution;
    result.yResolution = source.yResolution;
    result.formatCode = source.formatCode;
    result.flags = source.flags & ~flag::kAllocated;
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

void mapToPalette(const Bitmap& source, Bitmap& result, bool diffuse) {
    const int w = source.width, bits = result.bitsPerPixel;
    PaletteMatcher matcher(result.palette.data(), result.paletteCount);
    std::vector<uint8_t> rgb(size_t(w) * 3);
    Diffuser diffuser(w, 3);
    for (int y = 0; y < source.height; ++y) {
        unpackRgbRow(source, source.storedRow(y), rgb.data());
        uint8_t* out = result.storedRow(y);
        std::memset(out, 0, size_t(result.bytesPerLine));
        if (!diffuse) {
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = rgb.data() + 3 * size_t(x);
                setIndexAt(out, x, bits, matcher.nearest(p[0], p[1], p[2]));
            }
            continue;
        }
        diffuser.row(y, rgb.data(), [&](int x, int* v) {
            const int index = matcher.nearest(v[0], v[1], v[2]);
            const RgbQuad& q = matcher.entry(index);
            v[0] = q.red, v[1] = q.green, v[2] = q.blue;
            setIndexAt(out, x, bits, index);
        });
    }
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
