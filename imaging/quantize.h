// Colour quantisation: an optimised palette made from a picture, and the
// exact nearest-palette-entry search that the depth change maps pixels with.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <vector>

namespace imaging {

// Makes a palette of at most maxColours entries for the picture (any depth).
// A picture with no more distinct colours than that gets exactly its colours;
// otherwise Wu's variance-minimising box cut on a 5-bit-per-channel histogram,
// refined by two k-means passes over the histogram cells. Returns the count.
int buildOptimizedPalette(const Bitmap& picture, int maxColours, RgbQuad* palette);

// The same over rows of R, G, B triplets (rows rowStride bytes apart).
int buildOptimizedPalette(const uint8_t* rgb, int width, int height, size_t rowStride,
                          int maxColours, RgbQuad* palette);

// The nearest palette entry by squared distance, the lowest index among equals,
// exactly as a search through every entry finds it, but fast: the colour cube is
// cut into 32 x 32 x 32 cells, and each cell keeps, once first asked, the few
// entries that can be nearest to any colour inside it, nearest first.
class PaletteMatcher {
public:
    PaletteMatcher(const RgbQuad* palette, int count);
    int nearest(int r, int g, int b) {
        const int cell = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        if (m_cellStart[size_t(cell)] < 0) fillCell(cell);
        const Candidate* c = m_candidates.data() + m_cellStart[size_t(cell)];
        const int n = m_cellCount[size_t(cell)];
        int best = c[0].index;
        int bestDistance = distance(c[0], r, g, b);
        // Candidates come nearest to the cell first; once even the closest any
        // colour of the cell can be to one exceeds the best so far, stop.
        for (int k = 1; k < n && c[k].bound <= float(bestDistance); ++k) {
            const int d = distance(c[k], r, g, b);
            if (d < bestDistance || (d == bestDistance && c[k].index < best)) bestDistance = d, best = c[k].index;
        }
        return best;
    }
    const RgbQuad& entry(int index) const { return m_palette[size_t(index)]; }
    int count() const { return int(m_palette.size()); }
    // Fills every cell now, after which nearest() only reads and may be called
    // from several threads at once.
    void prepareAll();

private:
    struct Candidate {
        uint8_t r, g, b, index;
        float bound;  // lower bound of the squared distance from any colour of the cell
    };
    static int distance(const Candidate& c, int r, int g, int b) {
        const int dr = c.r - r, dg = c.g - g, db = c.b - b;
        return dr * dr + dg * dg + db * db;
    }
    void fillCell(int cell);

    std::vector<RgbQuad> m_palette;
    std::vector<float> m_red, m_green, m_blue, m_scratch;
    std::vector<int32_t> m_cellStart;  // offset into m_candidates, -1 until asked
    std::vector<uint16_t> m_cellCount;
    std::vector<Candidate> m_candidates;
};

}  // namespace imaging
