// Wu's colour quantiser (X. Wu, "Efficient statistical computations for
// optimal color quantization", Graphics Gems II): cumulative moments over a
// 33 x 33 x 33 grid let the variance of any box be read in constant time, so
// the box with the largest variance is cut, again and again, at the plane that
// leaves the two halves with the least total variance.
#include "imaging/quantize.h"

#include "imaging/rgb_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imaging {
namespace {

constexpr int kSide = 33;  // 32 levels per channel, plus the zero plane of the sums
constexpr int kCells = kSide * kSide * kSide;

inline int at(int r, int g, int b) { return (r * kSide + g) * kSide + b; }

struct Moments {
    std::vector<int64_t> w, r, g, b;
    std::vector<double> m2;
    Moments() : w(kCells), r(kCells), g(kCells), b(kCells), m2(kCells) {}
};

// Distinct colours, counted only while there are few of them.
class FewColours {
public:
    explicit FewColours(int limit) : m_limit(limit), m_slots(2048, 0) {}
    bool overflowed() const { return m_overflow; }
    const std::vector<uint32_t>& colours() const { return m_list; }
    void add(uint32_t rgb) {
        if (m_overflow) return;
        const uint32_t key = rgb + 1;
        size_t i = (rgb * 2654435761u) >> 21;
        while (m_slots[i] != 0) {
            if (m_slots[i] == key) return;
            i = (i + 1) & 2047;
        }
        if (int(m_list.size()) == m_limit) {
            m_overflow = true;
            return;
        }
        m_slots[i] = key;
        m_list.push_back(rgb);
    }

private:
    int m_limit;
    bool m_overflow = false;
    std::vector<uint32_t> m_slots;
    std::vector<uint32_t> m_list;
};

struct Box {
    int r0, r1, g0, g1, b0, b1;  // exclusive lower, inclusive upper bounds
    int volume() const { return (r1 - r0) * (g1 - g0) * (b1 - b0); }
};

template <typename T>
T volumeOf(const Box& c, const std::vector<T>& m) {
    return m[at(c.r1, c.g1, c.b1)] - m[at(c.r1, c.g1, c.b0)] - m[at(c.r1, c.g0, c.b1)] +
           m[at(c.r1, c.g0, c.b0)] - m[at(c.r0, c.g1, c.b1)] + m[at(c.r0, c.g1, c.b0)] +
           m[at(c.r0, c.g0, c.b1)] - m[at(c.r0, c.g0, c.b0)];
}

enum Axis { kRed, kGreen, kBlue };

// The part of the box's volume that does not move with its upper bound on the axis.
int64_t bottom(const Box& c, Axis axis, const std::vector<int64_t>& m) {
    switch (axis) {
    case kRed:
        return -m[at(c.r0, c.g1, c.b1)] + m[at(c.r0, c.g1, c.b0)] + m[at(c.r0, c.g0, c.b1)] -
               m[at(c.r0, c.g0, c.b0)];
    case kGreen:
        return -m[at(c.r1, c.g0, c.b1)] + m[at(c.r1, c.g0, c.b0)] + m[at(c.r0, c.g0, c.b1)] -
               m[at(c.r0, c.g0, c.b0)];
    default:
        return -m[at(c.r1, c.g1, c.b0)] + m[at(c.r1, c.g0, c.b0)] + m[at(c.r0, c.g1, c.b0)] -
               m[at(c.r0, c.g0, c.b0)];
    }
}

// The part that does, with the upper bound at pos.
int64_t top(const Box& c, Axis axis, int pos, const std::vector<int64_t>& m) {
    switch (axis) {
    case kRed:
        return m[at(pos, c.g1, c.b1)] - m[at(pos, c.g1, c.b0)] - m[at(pos, c.g0, c.b1)] +
               m[at(pos, c.g0, c.b0)];
    case kGreen:
        return m[at(c.r1, pos, c.b1)] - m[at(c.r1, pos, c.b0)] - m[at(c.r0, pos, c.b1)] +
               m[at(c.r0, pos, c.b0)];
    default:
        return m[at(c.r1, c.g1, pos)] - m[at(c.r1, c.g0, pos)] - m[at(c.r0, c.g1, pos)] +
               m[at(c.r0, c.g0, pos)];
    }
}

double variance(const Box& c, const Moments& m) {
    const double r = double(volumeOf(c, m.r)), g = double(volumeOf(c, m.g)),
                 b = double(volumeOf(c, m.b));
    const double w = double(volumeOf(c, m.w));
    if (w <= 0) return 0;
    return volumeOf(c, m.m2) - (r * r + g * g + b * b) / w;
}

// The best cut plane on one axis: the value to maximise is the sum over both
// halves of |sum|^2 / weight, which is the variance removed by the cut.
double bestCut(const Box& c, Axis axis, int first, int last, int& cut, const Moments& m,
               int64_t wr, int64_t wg, int64_t wb, int64_t ww) {
    const int64_t br = bottom(c, axis, m.r), bg = bottom(c, axis, m.g), bb = bottom(c, axis, m.b),
                  bw = bottom(c, axis, m.w);
    double best = 0;
    cut = -1;
    for (int i = first; i < last; ++i) {
        const int64_t hr = br + top(c, axis, i, m.r), hg = bg + top(c, axis, i, m.g),
                      hb = bb + top(c, axis, i, m.b), hw = bw + top(c, axis, i, m.w);
        if (hw == 0) continue;
        const int64_t rw = ww - hw;
        if (rw == 0) continue;
        const double lo = (double(hr) * hr + double(hg) * hg + double(hb) * hb) / double(hw);
        const int64_t rr = wr - hr, rg = wg - hg, rb = wb - hb;
        const double hi = (double(rr) * rr + double(rg) * rg + double(rb) * rb) / double(rw);
        if (lo + hi > best) {
            best = lo + hi;
            cut = i;
        }
    }
    return best;
}

bool cutBox(Box& a, Box& b, const Moments& m) {
    const int64_t wr = volumeOf(a, m.r), wg = volumeOf(a, m.g), wb = volumeOf(a, m.b),
                  ww = volumeOf(a, m.w);
    int cr, cg, cb;
    const double mr = bestCut(a, kRed, a.r0 + 1, a.r1, cr, m, wr, wg, wb, ww);
    const double mg = bestCut(a, kGreen, a.g0 + 1, a.g1, cg, m, wr, wg, wb, ww);
    const double mb = bestCut(a, kBlue, a.b0 + 1, a.b1, cb, m, wr, wg, wb, ww);
    b = a;
    if (mr >= mg && mr >= mb) {
        if (cr < 0) return false;
        a.r1 = b.r0 = cr;
    } else if (mg >= mr && mg >= mb) {
        a.g1 = b.g0 = cg;
    } else {
        a.b1 = b.b0 = cb;
    }
    return true;
}

void accumulate(Moments& m) {
    // Three passes of running sums turn the cell counts into cumulative moments.
    for (int r = 1; r < kSide; ++r)
        for (int g = 1; g < kSide; ++g)
            for (int b = 1; b < kSide; ++b) {
                const int i = at(r, g, b), ib = at(r, g, b - 1);
                m.w[i] += m.w[ib], m.r[i] += m.r[ib], m.g[i] += m.g[ib], m.b[i] += m.b[ib];
                m.m2[i] += m.m2[ib];
            }
    for (int r = 1; r < kSide; ++r)
        for (int g = 2; g < kSide; ++g)
            for (int b = 1; b < kSide; ++b) {
                const int i = at(r, g, b), ig = at(r, g - 1, b);
                m.w[i] += m.w[ig], m.r[i] += m.r[ig], m.g[i] += m.g[ig], m.b[i] += m.b[ig];
                m.m2[i] += m.m2[ig];
            }
    for (int r = 2; r < kSide; ++r)
        for (int g = 1; g < kSide; ++g)
            for (int b = 1; b < kSide; ++b) {
                const int i = at(r, g, b), ir = at(r - 1, g, b);
                m.w[i] += m.w[ir], m.r[i] += m.r[ir], m.g[i] += m.g[ir], m.b[i] += m.b[ir];
                m.m2[i] += m.m2[ir];
            }
}

// Lloyd's k-means over the occupied histogram cells, each standing for its
// pixels' mean colour with their count as weight.
void refine(const Moments& cellsOnly, RgbQuad* palette, int count, int passes) {
    struct Cell { float r, g, b; double w; };
    std::vector<Cell> cells;
    for (int i = 0; i < kCells; ++i)
        if (cellsOnly.w[size_t(i)] > 0) {
            const double w = double(cellsOnly.w[size_t(i)]);
            cells.push_back({float(cellsOnly.r[size_t(i)] / w), float(cellsOnly.g[size_t(i)] / w),
                             float(cellsOnly.b[size_t(i)] / w), w});
        }
    const size_t slots = static_cast<size_t>(count);
    std::vector<double> sr(slots), sg(slots), sb(slots), sw(slots);
    for (int pass = 0; pass < passes; ++pass) {
        std::fill(sr.begin(), sr.end(), 0.0), std::fill(sg.begin(), sg.end(), 0.0);
        std::fill(sb.begin(), sb.end(), 0.0), std::fill(sw.begin(), sw.end(), 0.0);
        for (const Cell& c : cells) {
            int best = 0;
            float bestD = 1e30f;
            for (int k = 0; k < count; ++k) {
                const float dr = c.r - palette[k].red, dg = c.g - palette[k].green,
                            db = c.b - palette[k].blue;
                const float d = dr * dr + dg * dg + db * db;
                if (d < bestD) bestD = d, best = k;
            }
            sr[size_t(best)] += c.r * c.w, sg[size_t(best)] += c.g * c.w;
            sb[size_t(best)] += c.b * c.w, sw[size_t(best)] += c.w;
        }
        for (int k = 0; k < count; ++k) {
            if (sw[size_t(k)] <= 0) continue;
            palette[k].red = uint8_t(std::lround(sr[size_t(k)] / sw[size_t(k)]));
            palette[k].green = uint8_t(std::lround(sg[size_t(k)] / sw[size_t(k)]));
            palette[k].blue = uint8_t(std::lround(sb[size_t(k)] / sw[size_t(k)]));
        }
    }
}

template <typename RowSource>
int quantize(int width, int height, int maxColours, RgbQuad* palette, RowSource&& rowAt) {
    maxColours = std::clamp(maxColours, 1, 256);
    Moments m;
    FewColours few(maxColours);
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = rowAt(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int r = p[0], g = p[1], b = p[2];
            const int i = at((r >> 3) + 1, (g >> 3) + 1, (b >> 3) + 1);
            m.w[size_t(i)] += 1, m.r[size_t(i)] += r, m.g[size_t(i)] += g, m.b[size_t(i)] += b;
            m.m2[size_t(i)] += double(r * r + g * g + b * b);
        }
        if (!few.overflowed()) {
            p = rowAt(y);
            for (int x = 0; x < width; ++x, p += 3)
                few.add(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    }
    if (!few.overflowed()) {
        std::vector<uint32_t> exact = few.colours();
        std::sort(exact.begin(), exact.end());
        for (size_t k = 0; k < exact.size(); ++k)
            palette[k] = RgbQuad{uint8_t(exact[k]), uint8_t(exact[k] >> 8), uint8_t(exact[k] >> 16), 0};
        return int(exact.size());
    }
    const Moments cells = m;
    accumulate(m);

    std::vector<Box> boxes(static_cast<size_t>(maxColours));
    std::vector<double> spread(size_t(maxColours), 0.0);
    boxes[0] = Box{0, kSide - 1, 0, kSide - 1, 0, kSide - 1};
    int count = maxColours;
    int next = 0;
    for (int i = 1; i < maxColours; ++i) {
        if (cutBox(boxes[size_t(next)], boxes[size_t(i)], m)) {
            spread[size_t(next)] = boxes[size_t(next)].volume() > 1 ? variance(boxes[size_t(next)], m) : 0;
            spread[size_t(i)] = boxes[size_t(i)].volume() > 1 ? variance(boxes[size_t(i)], m) : 0;
        } else {
            spread[size_t(next)] = 0;
            --i;
        }
        next = int(std::max_element(spread.begin(), spread.begin() + i + 1) - spread.begin());
        if (spread[size_t(next)] <= 0) {
            count = i + 1;
            break;
        }
    }
    int used = 0;
    for (int k = 0; k < count; ++k) {
        const int64_t w = volumeOf(boxes[size_t(k)], m.w);
        if (w <= 0) continue;
        palette[used++] = RgbQuad{uint8_t((volumeOf(boxes[size_t(k)], m.b) + w / 2) / w),
                                  uint8_t((volumeOf(boxes[size_t(k)], m.g) + w / 2) / w),
                                  uint8_t((volumeOf(boxes[size_t(k)], m.r) + w / 2) / w), 0};
    }
    refine(cells, palette, used, 2);
    return used;
}

}  // namespace

int buildOptimizedPalette(const uint8_t* rgb, int width, int height, size_t rowStride,
                          int maxColours, RgbQuad* palette) {
    return quantize(width, height, maxColours, palette,
                    [&](int y) { return rgb + size_t(y) * rowStride; });
}

int buildOptimizedPalette(const Bitmap& picture, int maxColours, RgbQuad* palette) {
    std::vector<uint8_t> row(size_t(picture.width) * 3);
    return quantize(picture.width, picture.height, maxColours, palette, [&](int y) {
        unpackRgbRow(picture, picture.storedRow(y), row.data());
        return static_cast<const uint8_t*>(row.data());
    });
}

// ------------------------------------------------------------ nearest entry

PaletteMatcher::PaletteMatcher(const RgbQuad* palette, int count)
    : m_palette(palette, palette + std::max(count, 1)), m_cellStart(size_t(1) << 15, -1),
      m_cellCount(size_t(1) << 15, 0) {
    if (count <= 0) m_palette[0] = RgbQuad{};
    for (const RgbQuad& q : m_palette) m_red.push_back(q.red), m_green.push_back(q.green), m_blue.push_back(q.blue);
    m_scratch.resize(m_palette.size());
}

void PaletteMatcher::prepareAll() {
    for (int cell = 0; cell < int(m_cellStart.size()); ++cell)
        if (m_cellStart[size_t(cell)] < 0) fillCell(cell);
}

void PaletteMatcher::fillCell(int cell) {
    // Centre of the 8 x 8 x 8 cell and its half diagonal.
    const float cr = float((cell >> 10) * 8) + 3.5f, cg = float(((cell >> 5) & 31) * 8) + 3.5f,
                cb = float((cell & 31) * 8) + 3.5f;
    const float half = 3.5f * std::sqrt(3.0f);
    const size_t n = m_palette.size();
    float nearest = 1e30f;
    for (size_t i = 0; i < n; ++i) {
        const float dr = m_red[i] - cr, dg = m_green[i] - cg, db = m_blue[i] - cb;
        m_scratch[i] = dr * dr + dg * dg + db * db;
        nearest = std::min(nearest, m_scratch[i]);
    }
    // An entry farther from the centre than nearest + 2 * half cannot be the
    // nearest for any colour in the cell (triangle inequality); a little slack
    // covers rounding.
    const float reach = std::sqrt(nearest) + 2 * half + 0.01f;
    const float limit = reach * reach;
    const size_t start = m_candidates.size();
    for (size_t i = 0; i < n; ++i) {
        if (m_scratch[i] > limit) continue;
        const float gap = std::max(0.0f, std::sqrt(m_scratch[i]) - half - 0.01f);
        m_candidates.push_back(Candidate{m_palette[i].red, m_palette[i].green, m_palette[i].blue,
                                         uint8_t(i), gap * gap * 0.9999f});
    }
    std::sort(m_candidates.begin() + std::ptrdiff_t(start), m_candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.bound < b.bound || (a.bound == b.bound && a.index < b.index); });
    m_cellStart[size_t(cell)] = int32_t(start);
    m_cellCount[size_t(cell)] = uint16_t(m_candidates.size() - start);
}

}  // namespace imaging
