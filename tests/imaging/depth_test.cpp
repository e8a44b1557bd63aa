#include "effect_helpers.h"
#include "imaging/quantize.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <set>

namespace imaging {
namespace {

using namespace imaging::testing;

// Padding bytes after the last pixel must be zero: a conversion that writes
// past a row's pixels shows up there (and under the sanitizers).
bool paddingIsClear(const Bitmap& b) {
    const int stored = b.bitsPerPixel == 15 ? 16 : b.bitsPerPixel;
    const int64_t usedBits = int64_t(b.width) * stored;
    for (int y = 0; y < b.height; ++y) {
        const uint8_t* row = b.storedRow(y);
        if (usedBits % 8 && (row[usedBits / 8] & (0xFF >> (usedBits % 8)))) return false;
        for (int i = int((usedBits + 7) / 8); i < b.bytesPerLine; ++i)
            if (row[i]) return false;
    }
    return true;
}

TEST(ChangeColorDepth, EveryDepthToEveryDepthWithEveryFlagSet) {
    const uint32_t flagSets[] = {0, depth::kOptimizedPalette, depth::kFixedPalette,
                                 depth::kErrorDiffusion | depth::kOptimizedPalette,
                                 depth::kErrorDiffusion | depth::kFixedPalette};
    for (int from : allDepths())
        for (int to : allDepths())
            for (uint32_t flags : flagSets) {
                SCOPED_TRACE(::testing::Message() << from << " -> " << to << " flags " << flags);
                const Bitmap source = patterned(19, 5, from);
                Bitmap out;
                ASSERT_EQ(changeColorDepth(out, source, to, flags), kSuccess);
                EXPECT_EQ(out.bitsPerPixel, to);
                EXPECT_EQ(out.width, 19);
                EXPECT_EQ(out.height, 5);
                EXPECT_EQ(out.bytesPerLine, bytesPerLineFor(19, to));
                EXPECT_TRUE(paddingIsClear(out));
                if (to <= 8) {
                    EXPECT_GE(out.paletteCount, 1);
                    EXPECT_LE(out.paletteCount, 1 << to);
                    for (int y = 0; y < 5; ++y)
                        for (int x = 0; x < 19; ++x)
                            ASSERT_LT(indexAt(out.storedRow(y), x, to), out.paletteCount);
                }
            }
}

TEST(ChangeColorDepth, GoingUpKeepsEveryColour) {
    for (int from : allDepths())
        for (int to : {15, 16, 24, 32}) {
            // 15 and 16 bits expand green differently: neither holds all of the other's greens.
            if (to < from || (from == 16 && to == 15) || (from == 15 && to == 16)) continue;
            SCOPED_TRACE(::testing::Message() << from << " -> " << to);
            Bitmap source = patterned(21, 6, from);
            source.rowOrder = kBottomUp;
            if ((from == 4 || from == 8) && to < 24) {
                // 15/16 bits cannot hold every palette colour: use representable ones.
                for (int i = 0; i < source.paletteCount; ++i)
                    source.palette[size_t(i)] = RgbQuad{expand5(unsigned(i) & 31), 0, expand5(31 - (unsigned(i) & 31)), 0};
                if (from == 8) continue;  // 256 entries would repeat colours
            }
            Bitmap out;
            ASSERT_EQ(changeColorDepth(out, source, to, depth::kNearest), kSuccess);
            EXPECT_EQ(out.rowOrder, kBottomUp);
            EXPECT_TRUE(samePixels(out, source));
            Bitmap back;
            ASSERT_EQ(changeColorDepth(back, out, from, depth::kOptimizedPalette), kSuccess);
            EXPECT_TRUE(samePixels(back, source)) << "down again keeps the colours";
        }
}

TEST(ChangeColorDepth, FewColoursSurviveTheTripTo8BitsExactly) {
    // 200 distinct colours spread over the cube, scattered over the picture.
    Rgb8Picture p{40, 25, {}};
    for (int i = 0; i < 1000; ++i) {
        const int k = (i * 37) % 200;
        p.rgb.push_back(uint8_t(k * 53)), p.rgb.push_back(uint8_t(k * 97 + 5)), p.rgb.push_back(uint8_t(k * 11));
    }
    const Bitmap source = fromRgb8(p);
    for (uint32_t flags : {depth::kOptimizedPalette, depth::kOptimizedPalette | depth::kErrorDiffusion}) {
        Bitmap eight, back;
        ASSERT_EQ(changeColorDepth(eight, source, 8, flags), kSuccess);
        EXPECT_EQ(eight.paletteCount, 200);
        ASSERT_EQ(changeColorDepth(back, eight, 24, depth::kNearest), kSuccess);
        EXPECT_EQ(maxDifference(toRgb8(back), p), 0) << "flags " << flags;
    }
}

TEST(ChangeColorDepth, GivenPaletteIsTheOnlyOneUsed) {
    const RgbQuad given[5] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {200, 200, 200, 0}};
    const Bitmap source = fromRgb8(photoLike(64, 48));
    for (int bits : {4, 8})
        for (uint32_t flags : {depth::kGivenPalette, depth::kGivenPalette | depth::kErrorDiffusion}) {
            SCOPED_TRACE(::testing::Message() << bits << " bits, flags " << flags);
            Bitmap out;
            ASSERT_EQ(changeColorDepth(out, source, bits, flags, given, 5), kSuccess);
            ASSERT_EQ(out.paletteCount, 5);
            for (int i = 0; i < 5; ++i) EXPECT_EQ(out.palette[size_t(i)], given[i]);
            std::set<int> used;
            for (int y = 0; y < out.height; ++y)
                for (int x = 0; x < out.width; ++x) used.insert(indexAt(out.storedRow(y), x, bits));
            EXPECT_LE(*used.rbegin(), 4);
            EXPECT_GE(used.size(), 3u) << "a colourful picture uses several entries";
        }
    // A palette larger than the depth holds is cut to 2^bits entries.
    RgbQuad many[256];
    for (int i = 0; i < 256; ++i) many[i] = RgbQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    Bitmap out;
    ASSERT_EQ(changeColorDepth(out, source, 4, depth::kGivenPalette, many, 256), kSuccess);
    EXPECT_EQ(out.paletteCount, 16);
    EXPECT_EQ(changeColorDepth(out, source, 8, depth::kGivenPalette, nullptr, 0), kErrNoPalette);
    EXPECT_EQ(changeColorDepth(out, source, 12, 0), kErrBadBits);
    Bitmap empty;
    EXPECT_EQ(changeColorDepth(out, empty, 8, 0), kErrNoBitmap);
}

TEST(ChangeColorDepth, ErrorDiffusionOfMidGreyToOneBitIsHalfBlack) {
    for (int grey : {128, 64, 200}) {
        Rgb8Picture p{101, 60, std::vector<uint8_t>(101 * 60 * 3, uint8_t(grey))};
        const Bitmap source = fromRgb8(p);
        Bitmap out;
        ASSERT_EQ(changeColorDepth(out, source, 1, depth::kOptimizedPalette | depth::kErrorDiffusion), kSuccess);
        ASSERT_EQ(out.paletteCount, 2);
        EXPECT_EQ(out.palette[0], (RgbQuad{0, 0, 0, 0}));
        EXPECT_EQ(out.palette[1], (RgbQuad{255, 255, 255, 0}));
        int white = 0;
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) white += indexAt(out.storedRow(y), x, 1);
        const double share = double(white) / (101 * 60);
        EXPECT_NEAR(share, grey / 255.0, 0.02) << "grey " << grey;
        // Without diffusion every pixel takes the one nearest entry.
        ASSERT_EQ(changeColorDepth(out, source, 1, depth::kOptimizedPalette), kSuccess);
        const int first = indexAt(out.storedRow(0), 0, 1);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) ASSERT_EQ(indexAt(out.storedRow(y), x, 1), first);
    }
}

TEST(ChangeColorDepth, PalettePictureGoingToADeeperPaletteKeepsItsIndices) {
    const Bitmap four = patterned(17, 4, 4);
    Bitmap eight;
    ASSERT_EQ(changeColorDepth(eight, four, 8, depth::kOptimizedPalette | depth::kErrorDiffusion), kSuccess);
    EXPECT_EQ(eight.paletteCount, four.paletteCount);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 17; ++x) ASSERT_EQ(indexAt(eight.storedRow(y), x, 8), indexAt(four.storedRow(y), x, 4));
}

TEST(ChangeColorDepth, OptimisedPaletteBeatsTheFixedOneAndDiffusionBeatsNearestOnSmoothAreas) {
    const Rgb8Picture p = photoLike(160, 120);
    const Bitmap source = fromRgb8(p);
    auto quality = [&](int bits, uint32_t flags) {
        Bitmap out, back;
        EXPECT_EQ(changeColorDepth(out, source, bits, flags), kSuccess);
        changeColorDepth(back, out, 24, 0);
        return psnr(toRgb8(back), p);
    };
    EXPECT_GT(quality(8, depth::kOptimizedPalette), quality(8, depth::kFixedPalette) + 3);
    EXPECT_GT(quality(4, depth::kOptimizedPalette), quality(4, depth::kFixedPalette) + 3);
    EXPECT_GT(quality(8, depth::kOptimizedPalette), 30);
}

// Only our rules define the dithered pixels: pin them, so that a change to the
// quantiser or the diffusion is a deliberate one.
TEST(ChangeColorDepth, PinnedResults) {
    const Bitmap source = fromRgb8(photoLike(96, 64));
    struct Case { int bits; uint32_t flags; uint64_t hash; };
    const Case cases[] = {
        {8, depth::kOptimizedPalette | depth::kErrorDiffusion, 5877668798237864990ull},
        {4, depth::kOptimizedPalette | depth::kErrorDiffusion, 7310133965528509269ull},
        {8, depth::kFixedPalette | depth::kErrorDiffusion, 14052780859628866118ull},
        {1, depth::kErrorDiffusion, 17614733707245290314ull},
        {8, depth::kOptimizedPalette, 6370848145375435185ull},
    };
    for (const Case& c : cases) {
        Bitmap out;
        ASSERT_EQ(changeColorDepth(out, source, c.bits, c.flags), kSuccess);
        EXPECT_EQ(pictureHash(out), c.hash) << c.bits << " bits, flags 0x" << std::hex << c.flags;
    }
}

TEST(PaletteMatcher, FindsWhatAFullSearchFinds) {
    // Palettes with near and equal entries, where a cell's candidate list matters.
    for (int seed : {1, 2, 3}) {
        Bitmap b;
        initialize(b, 1, 1, 8);
        uint32_t s = uint32_t(seed);
        auto next = [&] { s = s * 1103515245u + 12345u; return uint8_t(s >> 23); };
        for (int i = 0; i < 256; ++i) b.palette[size_t(i)] = RgbQuad{next(), next(), next(), 0};
        b.palette[7] = b.palette[3];  // equal entries: the lower index wins
        b.paletteCount = seed == 3 ? 11 : 256;
        PaletteMatcher matcher(b.palette.data(), b.paletteCount);
        for (int k = 0; k < 20000; ++k) {
            const Rgb c{next(), next(), next()};
            ASSERT_EQ(matcher.nearest(c.r, c.g, c.b), nearestPaletteIndex(b, c));
        }
    }
}

}  // namespace
}  // namespace imaging
