#include "image/image_effects.h"
#include "image/last_result.h"
#include "imaging/depth.h"
#include "imaging/geometry.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "imaging/result.h"

#include <gtest/gtest.h>

#include <memory>

namespace quillon {
namespace {

struct FakeWindow : ImageWindowSink {
    int announced = 0, invalidated = 0, laidOut = 0;
    bool isShown() const override { return true; }
    void announcePaletteChanged() override { ++announced; }
    void invalidateAll() override { ++invalidated; }
    void layoutAndScroll() override { ++laidOut; }
};

std::unique_ptr<CImageObject> picture(int width, int height, int bits = 24) {
    auto image = std::make_unique<CImageObject>();
    image->create(width, height, bits);
    image->allocate();
    imaging::Bitmap& b = image->bitmap();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            imaging::writePixel(b, b.storedRow(y), x,
                                imaging::Rgb{uint8_t(x * 20), uint8_t(y * 30), uint8_t((x * y) % 256)});
    return image;
}

TEST(ImageEffects, DepthChangeFromItselfOrAnotherObject) {
    auto image = picture(8, 6);
    FakeWindow window;
    image->setSink(&window);
    setLastImagingResult(-5);
    ASSERT_TRUE(changeColorDepth(*image, nullptr, 8, imaging::depth::kOptimizedPalette, nullptr, 0, true));
    EXPECT_EQ(lastImagingResult(), 1);
    EXPECT_EQ(image->bitsPerPixel(), 8);
    EXPECT_EQ(window.invalidated, 1);
    EXPECT_EQ(window.announced, 1) << "an 8-bit picture gives a paint palette";
    EXPECT_EQ(window.laidOut, 0);

    auto other = picture(3, 4);
    ASSERT_TRUE(changeColorDepth(*image, other.get(), 16, 0, nullptr, 0, false));
    EXPECT_EQ(image->width(), 3);
    EXPECT_EQ(image->bitsPerPixel(), 16);
    EXPECT_EQ(window.laidOut, 1) << "a new size ends with the size tail";
    EXPECT_EQ(image->displayWidth, 3);
    EXPECT_EQ(window.invalidated, 1);

    EXPECT_FALSE(changeColorDepth(*image, nullptr, 8, imaging::depth::kGivenPalette, nullptr, 0, true));
    EXPECT_EQ(lastImagingResult(), imaging::kErrNoPalette);
    EXPECT_EQ(image->bitsPerPixel(), 16) << "a failure leaves the picture as it was";
}

TEST(ImageEffects, RotationsEndWithTheirTails) {
    auto image = picture(8, 6);
    FakeWindow window;
    image->setSink(&window);
    image->zoom = 50;
    ASSERT_TRUE(rotateDegrees(*image, 90, true, true));
    EXPECT_EQ(image->width(), 6);
    EXPECT_EQ(image->height(), 8);
    EXPECT_EQ(image->displayWidth, 3);
    EXPECT_EQ(image->displayHeight, 4);
    EXPECT_EQ(window.laidOut, 1);
    EXPECT_EQ(window.invalidated, 1);
    ASSERT_TRUE(rotateDegrees(*image, 2, false, true));
    EXPECT_EQ(window.laidOut, 1) << "no size tail without the resize flag";
    EXPECT_EQ(window.invalidated, 2);

    ASSERT_TRUE(rotateFine(*image, 9000, imaging::rotation::kGrow, 0, false));
    EXPECT_EQ(image->width(), 8);
    EXPECT_EQ(window.laidOut, 2) << "fine rotation always ends with the size tail";
    EXPECT_EQ(window.invalidated, 2);
    const int announced = window.announced;
    ASSERT_TRUE(rotateFine(*image, 150, 0, 0, true));
    EXPECT_EQ(window.invalidated, 3);
    EXPECT_EQ(window.announced, announced) << "no palette rebuild";
}

TEST(ImageEffects, ResizeSetsTheDisplaySizeAtTheZoom) {
    auto image = picture(10, 10);
    FakeWindow window;
    image->setSink(&window);
    image->zoom = 200;
    ASSERT_TRUE(resizePicture(*image, 7, 3, true));
    EXPECT_EQ(image->displayWidth, 14);
    EXPECT_EQ(image->displayHeight, 6);
    EXPECT_EQ(window.laidOut, 1);
    EXPECT_EQ(window.invalidated, 1);
}

TEST(ImageEffects, FiltersReportTheLibraryResult) {
    auto image = picture(9, 7, 8);
    FakeWindow window;
    image->setSink(&window);
    const imaging::Bitmap& b = image->bitmap();
    for (auto run : {+[](CImageObject& i) { return sharpen(i, 500, true); },
                     +[](CImageObject& i) { return contrast(i, 350, true); },
                     +[](CImageObject& i) { return brightness(i, -140, true); },
                     +[](CImageObject& i) { return printPreparation(i, 0, 0, true); }}) {
        const int before = window.invalidated;
        ASSERT_TRUE(run(*image));
        EXPECT_EQ(lastImagingResult(), 1);
        EXPECT_EQ(window.invalidated, before + 1);
    }
    EXPECT_EQ(b.bitsPerPixel, 1) << "print preparation leaves black and white";
    const int before = window.invalidated;
    EXPECT_FALSE(sharpen(*image, 1500, true));
    EXPECT_EQ(lastImagingResult(), imaging::kErrBadParameter);
    EXPECT_EQ(window.invalidated, before);
}

TEST(ImageEffects, CameraExportBlockOfNoPictureIsNone) {
    CImageObject empty;
    EXPECT_EQ(cameraExportBlock(empty), GlobalHandle(0));
    EXPECT_EQ(lastImagingResult(), imaging::kErrNoBitmap);
    auto image = picture(4, 3);
    const GlobalHandle block = cameraExportBlock(*image);
    ASSERT_NE(block, GlobalHandle(0));
    EXPECT_EQ(lastImagingResult(), 1);
    EXPECT_EQ(gmemSize(block), size_t(40 + 3 * 12));
    gmemFree(block);
}

}  // namespace
}  // namespace quillon
