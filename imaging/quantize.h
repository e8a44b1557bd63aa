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
// cut into 64 x 64 x 64 cells, and each cell keeps, once first asked, the few
// entries that can be nearest to any colour inside it.
class PaletteMatcher {
public:
    PaletteMatcher(const RgbQuad* palette, int count);
    int nearest(int r, int g, int b);
    const RgbQuad& entry(int index) const { return m_palette[size_t(index)]; }
    int count() const { return int(m_palette.size()); }

private:
    int fillCell(int cell, int r, int g, int b);

    std::vector<RgbQuad> m_palette;
    std::vector<int32_t> m_cellStart;  // offset into m_candidates, -1 until asked
    std::vector<uint8_t> m_candidates; // per cell: count, then the indices
};

}  // namespace imaging
