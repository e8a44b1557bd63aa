// Packed DIBs in and out of the library.
#include <gtest/gtest.h>

#include <cstring>

#include "orrery/core/blocks.h"

namespace {

std::vector<uint8_t> header(int32_t width, int32_t height, int bits, uint32_t colours = 0) {
    std::vector<uint8_t> h(40, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) h[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, uint32_t(width));
    put32(8, uint32_t(height));
    h[12] = 1;
    h[14] = uint8_t(bits);
    put32(32, colours);
    return h;
}

TEST(OrreryPackedDib, OutIsBottomUpBgrWithAlignedRows) {
    orrery::Picture p(3, 2);
    for (size_t i = 0; i < p.rgb.size(); ++i) p.rgb[i] = uint8_t(i + 1);
    GlobalHandle dib = orrery::pictureToDib(p);
    ASSERT_NE(dib, 0u);
    ASSERT_EQ(gmemSize(dib), 40u + 2 * 12);  // 9 bytes a row padded to 12
    auto* b = static_cast<const uint8_t*>(gmemLock(dib));
    EXPECT_EQ(b[0], 40);
    EXPECT_EQ(b[14], 24);
    // First stored row is the picture's bottom row (pixels 4..6), blue first.
    EXPECT_EQ(b[40], p.row(1)[2]);
    EXPECT_EQ(b[42], p.row(1)[0]);
    EXPECT_EQ(b[52], p.row(0)[2]);
    orrery::Picture back;
    ASSERT_TRUE(orrery::dibToPicture({b, gmemSize(dib)}, false, back));
    EXPECT_EQ(back.rgb, p.rgb);
    // Read top row first, the rows come out swapped.
    ASSERT_TRUE(orrery::dibToPicture({b, gmemSize(dib)}, true, back));
    EXPECT_EQ(0, std::memcmp(back.row(0), p.row(1), 9));
    gmemUnlock(dib);
    gmemFree(dib);
}

TEST(OrreryPackedDib, PaletteAndTopDownIn) {
    std::vector<uint8_t> dib = header(2, -2, 8, 2);
    const uint8_t palette[] = {10, 20, 30, 0, 40, 50, 60, 0};  // B, G, R, 0
    dib.insert(dib.end(), palette, palette + 8);
    const uint8_t rows[] = {0, 1, 0, 0, 1, 0, 0, 0};
    dib.insert(dib.end(), rows, rows + 8);
    orrery::Picture p;
    ASSERT_TRUE(orrery::dibToPicture(dib, false, p));
    ASSERT_EQ(p.width, 2);
    EXPECT_EQ(p.row(0)[0], 30);  // top row, pixel 0: palette 0, red 30
    EXPECT_EQ(p.row(0)[3], 60);
    EXPECT_EQ(p.row(1)[0], 60);
}

TEST(OrreryPackedDib, DamagedHeadersAreRefused) {
    struct Case {
        const char* name;
        std::vector<uint8_t> dib;
    };
    std::vector<uint8_t> compressed = header(4, 4, 8);
    compressed[16] = 1;
    std::vector<uint8_t> shortPixels = header(4, 4, 24);
    shortPixels.resize(40 + 40);
    const Case cases[] = {
        {"too short", std::vector<uint8_t>(20)},
        {"zero width", header(0, 4, 24)},
        {"huge", header(100000, 100000, 24)},
        {"16 bits", header(4, 4, 16)},
        {"compressed", compressed},
        {"pixels missing", shortPixels},
        {"palette of 300", header(1, 1, 8, 300)},
    };
    for (const Case& c : cases) {
        orrery::Picture p;
        EXPECT_FALSE(orrery::dibToPicture(c.dib, false, p)) << c.name;
    }
}

}  // namespace
