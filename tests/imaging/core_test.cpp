#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace imaging {
namespace {

using testing::allDepths;
using testing::patterned;

// The raw value of a pixel as stored, read independently of the library code.
uint32_t rawOf(const Bitmap& b, int x, int y) {
    const uint8_t* row = b.storedRow(y);
    switch (b.bitsPerPixel) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
    case 8: return row[x];
    case 15: case 16: return row[2 * x] | (row[2 * x + 1] << 8);
    default: {
        const uint8_t* p = row + x * (b.bitsPerPixel / 8);
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    }
}

TEST(Bitmap, SizesAndLimits) {
    EXPECT_EQ(bytesPerLineFor(1, 1), 4);
    EXPECT_EQ(bytesPerLineFor(33, 1), 8);
    EXPECT_EQ(bytesPerLineFor(3, 4), 4);
    EXPECT_EQ(bytesPerLineFor(5, 24), 16);
    EXPECT_EQ(bytesPerLineFor(3, 15), 8);
    EXPECT_EQ(bytesPerLineFor(3, 7), 0);
    EXPECT_EQ(checkPictureSize(0, 10, 24), kErrBadParameter);
    EXPECT_EQ(checkPictureSize(10, 10, 12), kErrBadBits);
    EXPECT_EQ(checkPictureSize(1 << 20, 1 << 20, 24), kErrNoMemory);
    EXPECT_EQ(checkPictureSize(INT32_MAX, INT32_MAX, 32), kErrNoMemory);
    Bitmap b;
    initialize(b, 1 << 20, 1 << 20, 24);
    EXPECT_EQ(allocate(b), kErrNoMemory);
    EXPECT_FALSE(b.hasPixels());
}

TEST(Rows, MoveAtMostOneRowAndRefuseBadRows) {
    Bitmap b = patterned(10, 3, 24);
    std::vector<uint8_t> buffer(100, 0xEE);
    EXPECT_EQ(getRow(b, buffer.data(), 1, 100), b.bytesPerLine);
    EXPECT_EQ(std::memcmp(buffer.data(), b.storedRow(1), size_t(b.bytesPerLine)), 0);
    EXPECT_EQ(buffer[size_t(b.bytesPerLine)], 0xEE);
    EXPECT_EQ(getRow(b, buffer.data(), 3, 10), kErrBadParameter);
    EXPECT_EQ(putRow(b, buffer.data(), -1, 10), kErrBadParameter);
    std::vector<uint8_t> ones(5, 0x11);
    EXPECT_EQ(putRow(b, ones.data(), 2, 5), 5);
    EXPECT_EQ(b.storedRow(2)[4], 0x11);
    EXPECT_NE(b.storedRow(2)[5], 0x11);
    Bitmap empty;
    EXPECT_EQ(getRow(empty, buffer.data(), 0, 1), kErrNoBitmap);
}

TEST(PixelColor, ReadsEveryDepthAndIsZeroOutside) {
    for (int bits : allDepths()) {
        SCOPED_TRACE(bits);
        Bitmap b;
        initialize(b, 9, 2, bits);
        allocate(b);
        if (bits <= 8) {
            setIndexAt(b.storedRow(1), 8, bits, 1);
            b.palette[1] = RgbQuad{30, 20, 10, 0};
            EXPECT_EQ(pixelColor(b, 1, 8), makeColorRef(10, 20, 30));
        } else {
            writePixel(b, b.storedRow(1), 8, Rgb{255, 0, 255});
            EXPECT_EQ(pixelColor(b, 1, 8), makeColorRef(255, 0, 255));
        }
        EXPECT_EQ(pixelColor(b, 1, 9), 0u);
        EXPECT_EQ(pixelColor(b, 2, 0), 0u);
    }
}

TEST(CopyRect, MatchesPixelByPixelAtEveryDepthAndOffset) {
    for (int bits : allDepths())
        for (int left : {0, 1, 3, 5}) {
            SCOPED_TRACE(::testing::Message() << bits << " bits, left " << left);
            const Bitmap source = patterned(23, 7, bits);
            Bitmap part;
            ASSERT_EQ(copyRect(part, source, left, 2, 11, 4), kSuccess);
            ASSERT_EQ(part.width, 11);
            ASSERT_EQ(part.height, 4);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 11; ++x)
                    ASSERT_EQ(rawOf(part, x, y), rawOf(source, left + x, 2 + y)) << x << "," << y;
        }
    const Bitmap source = patterned(10, 10, 24);
    Bitmap part;
    EXPECT_EQ(copyRect(part, source, 5, 5, 6, 2), kErrRectOutside);
    EXPECT_EQ(copyRect(part, source, 0, 0, 0, 2), kErrBadRect);
    EXPECT_FALSE(part.hasPixels());
}

struct CombineCase {
    int op;
    const char* name;
};

class CombineAtEveryDepth : public ::testing::TestWithParam<std::tuple<int, CombineCase>> {};

TEST_P(CombineAtEveryDepth, ChangesOnlyTheRectangleAsTheOperationSays) {
    const auto [bits, c] = GetParam();
    Bitmap destination = patterned(13, 9, bits, 1);
    const Bitmap before = patterned(13, 9, bits, 1);
    Bitmap source = patterned(8, 8, bits, 2);
    source.palette = destination.palette;
    // Rectangle partly outside the destination: clipped to 13 - 9 = 4 columns.
    ASSERT_EQ(combine(destination, 9, 2, 6, 5, source, 1, 2, c.op), kSuccess);

    const uint32_t mask = bits == 32 ? 0xFFFFFF : bits == 15 ? 0x7FFF
                        : bits >= 16 ? (bits == 16 ? 0xFFFF : 0xFFFFFF) : (1u << bits) - 1;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            const uint32_t old = rawOf(before, x, y);
            uint32_t expected = old;
            if (x >= 9 && y >= 2 && y < 7) {
                const uint32_t s = rawOf(source, x - 9 + 1, y - 2 + 2);
                switch (c.op) {
                case kOpAnd: expected = s & old; break;
                case kOpNotSourceAnd: expected = ~s & old & mask; break;
                case kOpOr: expected = s | old; break;
                case kOpCopy: expected = s; break;
                case kOpWhite: expected = mask; break;
                case kOpBlack: expected = 0; break;
                }
            }
            // Indexed pictures take the palette's nearest entry to white or black.
            if (bits <= 8 && (c.op == kOpWhite || c.op == kOpBlack) && x >= 9 && y >= 2 && y < 7)
                expected = uint32_t(nearestPaletteIndex(
                    before, c.op == kOpWhite ? Rgb{255, 255, 255} : Rgb{0, 0, 0}));
            ASSERT_EQ(rawOf(destination, x, y), expected) << c.name << " at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Ops, CombineAtEveryDepth,
    ::testing::Combine(::testing::ValuesIn(allDepths()),
                       ::testing::Values(CombineCase{kOpAnd, "and"}, CombineCase{kOpNotSourceAnd, "notsrc-and"},
                                         CombineCase{kOpOr, "or"}, CombineCase{kOpCopy, "copy"},
                                         CombineCase{kOpWhite, "white"}, CombineCase{kOpBlack, "black"})));

TEST(Combine, DifferentDepthsMeetThroughTheirColours) {
    Bitmap grey;  // 8-bit grey ramp
    initialize(grey, 4, 1, 8);
    allocate(grey);
    Bitmap colour;
    initialize(colour, 4, 1, 24);
    allocate(colour);
    writePixel(colour, colour.storedRow(0), 0, Rgb{200, 200, 200});
    writePixel(colour, colour.storedRow(0), 1, Rgb{10, 12, 8});
    ASSERT_EQ(combine(grey, 0, 0, 4, 1, colour, 0, 0, kOpCopy), kSuccess);
    EXPECT_EQ(grey.storedRow(0)[0], 200);
    EXPECT_EQ(grey.storedRow(0)[1], 10);

    Bitmap mono;
    initialize(mono, 4, 1, 1);
    allocate(mono);
    setIndexAt(mono.storedRow(0), 2, 1, 1);
    ASSERT_EQ(combine(colour, 0, 0, 4, 1, mono, 0, 0, kOpCopy), kSuccess);
    EXPECT_EQ(pixelColor(colour, 0, 2), makeColorRef(255, 255, 255));
    EXPECT_EQ(pixelColor(colour, 0, 0), 0u);
}

TEST(Combine, RefusesWhatCannotBeCombined) {
    Bitmap a = patterned(4, 4, 24), b = patterned(4, 4, 24), none;
    EXPECT_EQ(combine(a, 0, 0, 4, 4, none, 0, 0, kOpCopy), kErrNoBitmap);
    EXPECT_EQ(combine(a, 0, 0, 4, 4, b, 0, 0, 77), kErrBadParameter);
    EXPECT_EQ(combine(a, 10, 10, 4, 4, b, 0, 0, kOpCopy), kErrRectOutside);
}

TEST(SimpleEffects, FlipsInvertGreyAndFill) {
    for (int bits : allDepths()) {
        SCOPED_TRACE(bits);
        const Bitmap original = patterned(11, 5, bits);
        Bitmap b = patterned(11, 5, bits);
        ASSERT_EQ(flipVertical(b), kSuccess);
        ASSERT_EQ(mirror(b), kSuccess);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 11; ++x)
                ASSERT_EQ(rawOf(b, x, y), rawOf(original, 10 - x, 4 - y));

        b = patterned(11, 5, bits);
        ASSERT_EQ(invert(b), kSuccess);
        const ColorRef before = pixelColor(original, 3, 4), after = pixelColor(b, 3, 4);
        EXPECT_EQ(redOf(after), 255 - redOf(before));
        EXPECT_EQ(blueOf(after), 255 - blueOf(before));

        ASSERT_EQ(greyScale(b), kSuccess);
        const ColorRef g = pixelColor(b, 2, 7);
        EXPECT_NEAR(redOf(g), greenOf(g), bits == 16 || bits == 15 ? 8 : 0);

        ASSERT_EQ(fill(b, makeColorRef(255, 255, 255)), kSuccess);
        if (bits > 8 || bits == 1) EXPECT_EQ(pixelColor(b, 4, 10), makeColorRef(255, 255, 255));
    }
}

}  // namespace
}  // namespace imaging
