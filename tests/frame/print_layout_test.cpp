// Where the picture lands on the page: natural size centred, or fitted.
#include "frame/print_layout.h"

#include <gtest/gtest.h>

using quillon::layoutPicture;
using quillon::mulDiv;
using quillon::PageGeometry;
using quillon::PrintRect;

namespace {

struct LayoutCase {
    const char* name;
    int width, height;
    int printerDpi, screenDpi;
    int pageWidth, pageHeight;
    PrintRect expected;
};

class PrintLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PrintLayout, PlacesThePicture) {
    const LayoutCase& c = GetParam();
    PageGeometry page;
    page.printerDpiX = page.printerDpiY = c.printerDpi;
    page.screenDpiX = page.screenDpiY = c.screenDpi;
    page.pageWidth = c.pageWidth;
    page.pageHeight = c.pageHeight;
    const PrintRect r = layoutPicture(c.width, c.height, page);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.width, c.expected.width);
    EXPECT_EQ(r.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintLayout,
    ::testing::Values(
        // 2400 x 1800 fits: centred.
        LayoutCase{"NaturalCentred", 640, 480, 360, 96, 2880, 4000, {240, 1100, 2400, 1800}},
        // Too wide: aspect 133 is not below 67, so full width.
        LayoutCase{"WideFitsWidth", 640, 480, 360, 96, 2000, 3000, {0, 750, 2000, 1500}},
        // 2250 x 7500 is too tall: aspect 30 below 72, so full height.
        LayoutCase{"TallFitsHeight", 600, 2000, 360, 96, 2880, 4000, {840, 0, 1200, 4000}},
        // Exactly the page at equal resolutions: natural, at the corner.
        LayoutCase{"ExactlyThePage", 2880, 4000, 300, 300, 2880, 4000, {0, 0, 2880, 4000}},
        // One pixel more than the page: fitted, not cut.
        LayoutCase{"OnePixelTooWide", 2881, 4000, 300, 300, 2880, 4000, {0, 0, 2880, 3999}},
        // 1 x 1 at 300 / 96 = 3.125: three printer pixels, centred.
        LayoutCase{"OnePixel", 1, 1, 300, 96, 2480, 3508, {1238, 1752, 3, 3}},
        // No screen resolution known: 96.
        LayoutCase{"UnknownScreen", 96, 96, 300, 0, 2480, 3508, {1090, 1604, 300, 300}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(mulDiv(640, 360, 96), 2400);
    EXPECT_EQ(mulDiv(5, 1, 2), 3);
    EXPECT_EQ(mulDiv(-5, 1, 2), -3);
    EXPECT_EQ(mulDiv(1, 300, 96), 3);
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
    EXPECT_EQ(mulDiv(1 << 30, 8, 1), -1);
    // The product is taken in 64 bits.
    EXPECT_EQ(mulDiv(100000, 100000, 100000), 100000);
}

}  // namespace
