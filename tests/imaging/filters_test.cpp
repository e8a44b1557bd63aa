#include "effect_helpers.h"
#include "imaging/filters.h"
#include "imaging/output_prep.h"
#include "imaging/tone.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace imaging {
namespace {

using namespace imaging::testing;

// Mean absolute difference between neighbours: high for sharp pictures.
double edgeEnergy(const Rgb8Picture& p) {
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 1; x < p.width; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int(p.rgb[(size_t(y) * p.width + x) * 3 + c]) - int(p.rgb[(size_t(y) * p.width + x - 1) * 3 + c]));
    return sum / (double(p.height) * (p.width - 1) * 3);
}

Rgb8Picture magick(const Rgb8Picture& p, const std::string& operation) {
    const std::string in = scratchPath("flt-in.ppm"), out = scratchPath("flt-out.ppm");
    Rgb8Picture theirs;
    EXPECT_TRUE(writePpm(in, p));
    EXPECT_TRUE(run(std::string(kMagick) + " " + in + " " + operation + " " + out));
    EXPECT_TRUE(readPpm(out, theirs));
    std::remove(in.c_str()), std::remove(out.c_str());
    return theirs;
}

TEST(Sharpen, BlurMatchesImageMagicksGaussianAndSharpenItsUnsharpMask) {
    const Rgb8Picture p = photoLike(90, 70);
    struct Case { int amount; const char* theirs; };
    for (const Case& c : {Case{-500, "-gaussian-blur 0x2"}, Case{-800, "-gaussian-blur 0x3.2"},
                          Case{500, "-unsharp 0x1+1+0"}, Case{800, "-unsharp 0x1+1.6+0"}}) {
        SCOPED_TRACE(c.amount);
        Bitmap b = fromRgb8(p);
        ASSERT_EQ(sharpen(b, c.amount), kSuccess);
        EXPECT_GT(psnr(toRgb8(b), magick(p, c.theirs)), 40);
    }
}

TEST(Sharpen, StrongerAmountsGoFurtherAtEveryDepth) {
    const Rgb8Picture p = photoLike(64, 48);
    for (int bits : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        auto energy = [&](int amount) {
            Bitmap b = fromRgb8(p, bits);
            EXPECT_EQ(sharpen(b, amount), kSuccess);
            EXPECT_EQ(b.bitsPerPixel, bits);
            return edgeEnergy(toRgb8(b));
        };
        const double plain = energy(0);
        EXPECT_LT(energy(-800), energy(-500));
        EXPECT_LT(energy(-500), plain * 0.7);
        EXPECT_GT(energy(500), plain * 1.2);
        EXPECT_GT(energy(800), energy(500));
    }
    Bitmap b = fromRgb8(p);
    EXPECT_EQ(sharpen(b, 1001), kErrBadParameter);
    EXPECT_EQ(sharpen(b, -1001), kErrBadParameter);
}

TEST(Sharpen, FlatPicturesStayFlatUpToTheBorders) {
    for (int bits : allDepths()) {
        SCOPED_TRACE(bits);
        Rgb8Picture flat{23, 17, {}};
        for (int i = 0; i < 23 * 17; ++i) flat.rgb.push_back(0), flat.rgb.push_back(255), flat.rgb.push_back(0);
        for (int amount : {-1000, -300, 300, 1000}) {
            Bitmap b = fromRgb8(flat, bits);
            const Rgb8Picture before = toRgb8(b);
            ASSERT_EQ(sharpen(b, amount), kSuccess);
            EXPECT_EQ(maxDifference(toRgb8(b), before), 0) << amount;
        }
    }
}

TEST(Tone, AmountsMapValuesAsDocumented) {
    Rgb8Picture ramp{256, 1, {}};
    for (int v = 0; v < 256; ++v) ramp.rgb.push_back(uint8_t(v)), ramp.rgb.push_back(uint8_t(v)), ramp.rgb.push_back(uint8_t(v));
    struct Case { bool isContrast; int amount; int in; int out; };
    const Case cases[] = {
        {false, 1000, 0, 255}, {false, -1000, 255, 0}, {false, 700, 10, 189}, {false, -350, 100, 11},
        {true, -1000, 0, 128}, {true, -1000, 255, 128}, {true, 1000, 127, 0}, {true, 1000, 128, 255},
        {true, 500, 100, 72}, {true, 500, 200, 255}, {true, -500, 0, 64}, {true, 700, 140, 168},
    };
    for (const Case& c : cases) {
        Bitmap b = fromRgb8(ramp);
        ASSERT_EQ(c.isContrast ? contrast(b, c.amount) : brightness(b, c.amount), kSuccess);
        EXPECT_EQ(visualPixel(b, c.in, 0), (Rgb{uint8_t(c.out), uint8_t(c.out), uint8_t(c.out)}))
            << (c.isContrast ? "contrast " : "brightness ") << c.amount << " at " << c.in;
    }
    Bitmap b = fromRgb8(ramp);
    EXPECT_EQ(contrast(b, 1001), kErrBadParameter);
    EXPECT_EQ(brightness(b, -1001), kErrBadParameter);
}

TEST(Tone, PalettePicturesChangeOnlyTheirPaletteAndDirectDepthsTheirPixels) {
    for (int bits : allDepths()) {
        SCOPED_TRACE(bits);
        Bitmap b = patterned(14, 6, bits);
        const Bitmap before = patterned(14, 6, bits);
        ASSERT_EQ(brightness(b, 300), kSuccess);
        if (bits <= 8) {
            EXPECT_EQ(std::memcmp(b.pixels.get(), before.pixels.get(), b.byteCount()), 0);
        }
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 14; ++x) {
                const Rgb was = visualPixel(before, x, y), now = visualPixel(b, x, y);
                ASSERT_GE(now.g, was.g);
                ASSERT_GE(now.r + now.g + now.b, was.r + was.g + was.b + (bits < 8 || bits == 15 || bits == 16 ? 0 : 1));
            }
    }
}

TEST(Effects, InvertTwiceIsTheIdentityAndGreyHasEqualChannels) {
    for (int bits : allDepths()) {
        SCOPED_TRACE(bits);
        Bitmap b = patterned(17, 5, bits);
        const Bitmap before = patterned(17, 5, bits);
        ASSERT_EQ(invert(b), kSuccess);
        EXPECT_FALSE(samePixels(b, before));
        ASSERT_EQ(invert(b), kSuccess);
        EXPECT_TRUE(samePixels(b, before));
        ASSERT_EQ(greyScale(b), kSuccess);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 17; ++x) {
                const Rgb c = visualPixel(b, x, y);
                ASSERT_EQ(c.r, c.b);
                // 16 bits keep one more bit of green than of red and blue.
                ASSERT_LE(std::abs(c.r - c.g), bits == 16 ? 2 : 0) << x << "," << y;
            }
    }
}

TEST(PrintPreparation, GivesBlackAndWhiteThatKeepsTheGreyLevels) {
    Rgb8Picture p{200, 50, {}};
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x) p.rgb.push_back(uint8_t(x * 255 / 199)), p.rgb.push_back(uint8_t(x * 255 / 199)), p.rgb.push_back(uint8_t(x * 255 / 199));
    for (int bits : {8, 24}) {
        Bitmap b = fromRgb8(p, bits);
        ASSERT_EQ(printPreparation(b, 0, 0), kSuccess);
        ASSERT_EQ(b.bitsPerPixel, 1);
        EXPECT_EQ(b.palette[0], (RgbQuad{0, 0, 0, 0}));
        EXPECT_EQ(b.palette[1], (RgbQuad{255, 255, 255, 0}));
        // Each tenth of the ramp keeps its share of white dots.
        for (int band = 0; band < 10; ++band) {
            int white = 0;
            for (int y = 0; y < 50; ++y)
                for (int x = band * 20; x < band * 20 + 20; ++x) white += indexAt(b.storedRow(y), x, 1);
            EXPECT_NEAR(white / 1000.0, (band * 20 + 9.5) / 199.0, 0.05) << "band " << band;
        }
    }
    Bitmap b = fromRgb8(p);
    EXPECT_EQ(printPreparation(b, 1, 0), kErrBadParameter);
}

TEST(CameraExportBlock, RunsBottomUpAsTheRowOrderCodeSays) {
    const Rgb8Picture p = photoLike(6, 3);
    for (int order : {int(kTopDown), int(kBottomUp)})
        for (int bits : {8, 24}) {
            SCOPED_TRACE(::testing::Message() << "order " << order << ", bits " << bits);
            Bitmap b = fromRgb8(p, bits, order);
            const GlobalHandle block = cameraExportBlock(b);
            ASSERT_NE(block, GlobalHandle(0));
            const auto* d = static_cast<const uint8_t*>(gmemLock(block));
            auto u32 = [&](int at) { return uint32_t(d[at] | d[at + 1] << 8 | d[at + 2] << 16 | uint32_t(d[at + 3]) << 24); };
            EXPECT_EQ(u32(0), 40u);
            EXPECT_EQ(u32(4), 6u);
            EXPECT_EQ(u32(8), 3u) << "positive height: bottom-up rows";
            EXPECT_EQ(d[14], 24);
            ASSERT_EQ(gmemSize(block), size_t(40 + 3 * 20));
            // The first row in the block is the picture's bottom row as the record sees it.
            const Rgb bottom = visualPixel(b, 0, 2);
            EXPECT_EQ((Rgb{d[42], d[41], d[40]}), bottom);
            gmemUnlock(block);
            gmemFree(block);
        }
    Bitmap empty;
    EXPECT_EQ(cameraExportBlock(empty), GlobalHandle(0));
}

}  // namespace
}  // namespace imaging
