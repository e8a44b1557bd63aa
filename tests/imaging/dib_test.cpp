#include "imaging/imaging.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace imaging {
namespace {

using testing::allDepths;
using testing::patterned;

class DibRoundTrip : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(DibRoundTrip, KeepsPixelsPaletteResolutionAndRowOrder) {
    const auto [bits, order] = GetParam();
    Bitmap original = patterned(13, 6, bits);
    original.rowOrder = order;
    original.xResolution = 300;
    original.yResolution = 72;
    if (bits == 4) original.palette[3] = RgbQuad{1, 2, 3, 0};

    const GlobalHandle block = toPackedDib(original);
    ASSERT_NE(block, 0u);
    const auto* header = static_cast<const uint8_t*>(gmemLock(block));
    int32_t ppm = 0;
    std::memcpy(&ppm, header + 24, 4);
    EXPECT_EQ(ppm, 300 * 3937 / 100);
    gmemUnlock(block);

    Bitmap back;
    ASSERT_EQ(fromPackedDib(back, block), kSuccess);
    gmemFree(block);
    EXPECT_EQ(back.bitsPerPixel, bits);
    EXPECT_EQ(back.rowOrder, order);
    EXPECT_EQ(back.xResolution, 300);
    EXPECT_EQ(back.yResolution, 72);
    EXPECT_EQ(back.paletteCount, original.paletteCount);
    EXPECT_EQ(back.palette, original.palette);
    ASSERT_EQ(back.bytesPerLine, original.bytesPerLine);
    EXPECT_EQ(std::memcmp(back.pixels.get(), original.pixels.get(), original.byteCount()), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, DibRoundTrip,
                         ::testing::Combine(::testing::ValuesIn(allDepths()),
                                            ::testing::Values(int(kTopDown), int(kBottomUp))));

TEST(Dib, RgbOrderedPicturesAreWrittenInTheBlocksBgrOrder) {
    Bitmap b;
    initialize(b, 1, 1, 24);
    b.colorOrder = kRgb;
    allocate(b);
    b.storedRow(0)[0] = 10, b.storedRow(0)[1] = 20, b.storedRow(0)[2] = 30;  // r g b
    const GlobalHandle block = toPackedDib(b);
    const auto* bytes = static_cast<const uint8_t*>(gmemLock(block));
    EXPECT_EQ(bytes[40], 30);
    EXPECT_EQ(bytes[42], 10);
    gmemUnlock(block);
    Bitmap back;
    ASSERT_EQ(fromPackedDib(back, block), kSuccess);
    EXPECT_EQ(pixelColor(back, 0, 0), makeColorRef(10, 20, 30));
    gmemFree(block);
}

TEST(Dib, BadBlocksAreRefused) {
    Bitmap b;
    EXPECT_EQ(fromPackedDib(b, 0), kErrBadParameter);
    uint8_t header[40] = {40};
    header[4] = 10, header[8] = 10, header[12] = 1, header[14] = 24;  // rows missing
    EXPECT_EQ(fromPackedDibBytes(b, header, sizeof header), kErrFileRead);
    EXPECT_FALSE(b.hasPixels());
}

}  // namespace
}  // namespace imaging
