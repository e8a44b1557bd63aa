#include "effect_helpers.h"
#include "imaging/geometry.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace imaging {
namespace {

using namespace imaging::testing;

TEST(RotateDegrees, FourQuarterTurnsGiveTheOriginalAtEveryDepthAndRowOrder) {
    for (int bits : allDepths())
        for (int order : {int(kTopDown), int(kBottomUp)})
            for (int step : {90, 270, -90}) {
                SCOPED_TRACE(::testing::Message() << bits << " bits, order " << order << ", step " << step);
                Bitmap b = patterned(13, 7, bits);
                b.rowOrder = order;
                b.xResolution = 150;
                const Bitmap original = patterned(13, 7, bits);
                for (int k = 0; k < 4; ++k) {
                    ASSERT_EQ(rotateDegrees(b, step, true), kSuccess);
                    EXPECT_EQ(b.width, k % 2 ? 13 : 7);
                    EXPECT_EQ(b.height, k % 2 ? 7 : 13);
                    EXPECT_EQ(b.xResolution, k % 2 ? 150 : 96) << "resolution turns with the picture";
                }
                EXPECT_EQ(b.rowOrder, order);
                EXPECT_EQ(b.bytesPerLine, original.bytesPerLine);
                if (order == kTopDown) EXPECT_EQ(std::memcmp(b.pixels.get(), original.pixels.get(), b.byteCount()), 0);
                else EXPECT_TRUE(samePixels(b, [&] { Bitmap o = patterned(13, 7, bits); o.rowOrder = order; return o; }()));
            }
}

TEST(RotateDegrees, QuarterTurnRightMovesTheLeftColumnToTheTop) {
    for (int order : {int(kTopDown), int(kBottomUp)}) {
        Bitmap b = fromRgb8(photoLike(9, 5), 24, order);
        const Bitmap before = fromRgb8(photoLike(9, 5), 24, order);
        ASSERT_EQ(rotateDegrees(b, 90, true), kSuccess);
        ASSERT_EQ(b.width, 5);
        ASSERT_EQ(b.height, 9);
        // Clockwise: the bottom-left pixel lands at the top-left, the top-left at the top-right.
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(visualPixel(b, x, y), visualPixel(before, y, 4 - x));
        ASSERT_EQ(rotateDegrees(b, 270, true), kSuccess);
        EXPECT_TRUE(samePixels(b, before));
    }
}

TEST(RotateDegrees, HalfTurnIsExactAndSmallAnglesKeepTheSize) {
    for (int bits : allDepths()) {
        SCOPED_TRACE(bits);
        Bitmap b = patterned(12, 9, bits);
        const Bitmap before = patterned(12, 9, bits);
        ASSERT_EQ(rotateDegrees(b, 180, false), kSuccess);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 12; ++x) ASSERT_EQ(visualPixel(b, x, y), visualPixel(before, 11 - x, 8 - y));
        for (int degrees : {2, 358, -45, 90}) {
            Bitmap r = patterned(12, 9, bits);
            ASSERT_EQ(rotateDegrees(r, degrees, false), kSuccess);
            EXPECT_EQ(r.width, 12);
            EXPECT_EQ(r.height, 9);
            EXPECT_EQ(r.bitsPerPixel, bits);
            if (bits <= 8) {
                EXPECT_EQ(r.palette, before.palette);
            }
        }
        Bitmap same = patterned(12, 9, bits);
        ASSERT_EQ(rotateDegrees(same, 720, false), kSuccess);
        EXPECT_EQ(std::memcmp(same.pixels.get(), before.pixels.get(), same.byteCount()), 0);
    }
}

TEST(RotateFine, CornersTakeTheFillColourAndTheCentreStays) {
    Rgb8Picture white{41, 31, std::vector<uint8_t>(41 * 31 * 3, 255)};
    for (int bits : {1, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        Bitmap b = fromRgb8(white, bits);
        ASSERT_EQ(rotateFine(b, 1000, 0, makeColorRef(0, 0, 0)), kSuccess);  // 10 degrees
        EXPECT_EQ(visualPixel(b, 0, 0), (Rgb{0, 0, 0}));
        EXPECT_EQ(visualPixel(b, 40, 30), (Rgb{0, 0, 0}));
        EXPECT_EQ(visualPixel(b, 20, 15), (Rgb{255, 255, 255}));
    }
    Bitmap b = fromRgb8(white);
    ASSERT_EQ(rotateFine(b, -1000, 0, makeColorRef(10, 200, 30)), kSuccess);
    EXPECT_EQ(visualPixel(b, 40, 0), (Rgb{10, 200, 30}));
    EXPECT_EQ(rotateFine(b, 100, 8, 0), kErrBadParameter);
}

TEST(RotateFine, GrowHoldsTheWholePictureAndQuarterTurnsSwapExactly) {
    Bitmap b = patterned(40, 20, 24);
    ASSERT_EQ(rotateFine(b, 4500, rotation::kGrow, 0), kSuccess);
    EXPECT_EQ(b.width, 43);  // ceil((40 + 20) * cos 45)
    EXPECT_EQ(b.height, 43);
    Bitmap q = patterned(40, 20, 8);
    Bitmap r = patterned(40, 20, 8);
    ASSERT_EQ(rotateFine(q, 9000, rotation::kGrow, 0), kSuccess);
    ASSERT_EQ(rotateDegrees(r, 90, true), kSuccess);
    EXPECT_TRUE(samePixels(q, r));
    Bitmap kept = patterned(40, 20, 8);
    ASSERT_EQ(rotateFine(kept, 9000, 0, 0), kSuccess);
    EXPECT_EQ(kept.width, 40);
}

// ImageMagick's -distort SRT turns about the centre keeping the size; away from
// the corners the two bilinear results agree closely, and the other direction
// does not.
TEST(RotateFine, AgreesWithImageMagickOnTheDirection) {
    const Rgb8Picture p = photoLike(120, 90);
    const std::string in = scratchPath("rot-in.ppm"), out = scratchPath("rot-out.ppm");
    ASSERT_TRUE(writePpm(in, p));
    ASSERT_TRUE(run(std::string(kMagick) + " " + in +
                    " -virtual-pixel black -interpolate bilinear -filter point -distort SRT 7 " + out));
    Rgb8Picture theirs;
    ASSERT_TRUE(readPpm(out, theirs));
    std::remove(in.c_str()), std::remove(out.c_str());
    auto centre = [](const Rgb8Picture& q) {
        Rgb8Picture c{60, 44, {}};
        for (int y = 23; y < 67; ++y)
            for (int x = 30; x < 90; ++x)
                for (int k = 0; k < 3; ++k) c.rgb.push_back(q.rgb[(size_t(y) * q.width + x) * 3 + k]);
        return c;
    };
    Bitmap right = fromRgb8(p), left = fromRgb8(p);
    ASSERT_EQ(rotateFine(right, 700, 0, 0), kSuccess);
    ASSERT_EQ(rotateFine(left, -700, 0, 0), kSuccess);
    const double agree = psnr(centre(toRgb8(right)), centre(theirs));
    EXPECT_GT(agree, 35);
    EXPECT_LT(psnr(centre(toRgb8(left)), centre(theirs)), agree - 10);
}

TEST(Resize, SameSizeIsTheIdentityAndEveryDepthKeepsItsDepth) {
    for (int bits : allDepths()) {
        SCOPED_TRACE(bits);
        Bitmap b = patterned(15, 11, bits);
        const Bitmap before = patterned(15, 11, bits);
        ASSERT_EQ(resize(b, 15, 11), kSuccess);
        EXPECT_EQ(std::memcmp(b.pixels.get(), before.pixels.get(), b.byteCount()), 0);
        for (auto [w, h] : {std::pair{7, 5}, std::pair{31, 23}, std::pair{1, 1}, std::pair{40, 3}}) {
            Bitmap r = patterned(15, 11, bits);
            ASSERT_EQ(resize(r, w, h), kSuccess);
            EXPECT_EQ(r.width, w);
            EXPECT_EQ(r.height, h);
            EXPECT_EQ(r.bitsPerPixel, bits);
        }
    }
    Bitmap b = patterned(4, 4, 24);
    EXPECT_EQ(resize(b, 0, 4), kErrBadParameter);
    EXPECT_EQ(b.width, 4);
}

TEST(Resize, HalvingAveragesWithTheTentWindow) {
    // At a factor of 2 the tent puts 3/8 on each of the two source pixels under
    // an output pixel and 1/8 on each outer neighbour (border pixels repeat).
    Rgb8Picture p{8, 6, {}};
    for (int i = 0; i < 48; ++i) p.rgb.push_back(uint8_t(i * 5)), p.rgb.push_back(uint8_t(240 - i * 5)), p.rgb.push_back(uint8_t(i * i % 256));
    auto at = [&](int x, int y, int c) {
        return double(p.rgb[(size_t(std::clamp(y, 0, 5)) * 8 + std::clamp(x, 0, 7)) * 3 + c]);
    };
    Bitmap b = fromRgb8(p);
    ASSERT_EQ(resize(b, 4, 3), kSuccess);
    const double w[4] = {1 / 8.0, 3 / 8.0, 3 / 8.0, 1 / 8.0};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i) sum += w[j] * w[i] * at(2 * x - 1 + i, 2 * y - 1 + j, c);
                const Rgb v = visualPixel(b, x, y);
                const int got = c == 0 ? v.r : c == 1 ? v.g : v.b;
                EXPECT_NEAR(got, sum, 0.6) << x << "," << y << " channel " << c;
            }
}

TEST(Resize, GrowingIsBicubicLikeImageMagicksCatrom) {
    const Rgb8Picture p = photoLike(40, 30);
    const std::string in = scratchPath("grow-in.ppm"), out = scratchPath("grow-out.ppm");
    ASSERT_TRUE(writePpm(in, p));
    ASSERT_TRUE(run(std::string(kMagick) + " " + in + " -filter Catrom -resize 103x77! " + out));
    Rgb8Picture theirs;
    ASSERT_TRUE(readPpm(out, theirs));
    std::remove(in.c_str()), std::remove(out.c_str());
    Bitmap b = fromRgb8(p);
    ASSERT_EQ(resize(b, 103, 77), kSuccess);
    EXPECT_GT(psnr(toRgb8(b), theirs), 38);
}

}  // namespace
}  // namespace imaging
