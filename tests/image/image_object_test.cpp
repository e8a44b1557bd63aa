#include "image/image_object.h"
#include "image/last_result.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon {
namespace {

using imaging::Rgb;

// A picture whose pixel (x, y) has red x*10 and green y*10, in either row order.
std::unique_ptr<CImageObject> gradient(int w, int h, int rowOrder, int bits = 24) {
    auto image = std::make_unique<CImageObject>();
    image->create(w, h, bits);
    EXPECT_TRUE(image->allocate());
    image->bitmap().rowOrder = rowOrder;
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> row(size_t(image->bitmap().bytesPerLine));
        for (int x = 0; x < w; ++x)
            imaging::writePixel(image->bitmap(), row.data(), x, Rgb{uint8_t(x * 10), uint8_t(y * 10), 7});
        image->putRow(row.data(), y, int(row.size()));
    }
    return image;
}

// The colour at a top-down coordinate, independent of the object's own reading.
imaging::ColorRef colourAt(const CImageObject& image, int x, int y) {
    const imaging::Bitmap& b = image.bitmap();
    return imaging::pixelColor(b, b.isBottomUp() ? b.height - 1 - y : y, x);
}

struct FakeWindow : ImageWindowSink {
    bool shown = true;
    int announced = 0, invalidated = 0, laidOut = 0;
    bool isShown() const override { return shown; }
    void announcePaletteChanged() override { ++announced; }
    void invalidateAll() override { ++invalidated; }
    void layoutAndScroll() override { ++laidOut; }
};

TEST(ImageObject, PixelValueIsZeroAtTheEdgeAndFollowsTheRowOrder) {
    for (int order : {0, 1, 2, 3}) {
        SCOPED_TRACE(order);
        auto image = gradient(5, 4, imaging::kTopDown);
        image->bitmap().rowOrder = order;  // same bytes, read another way
        setLastImagingResult(-7);
        EXPECT_EQ(image->pixelValue(5, 0), 0u);
        EXPECT_EQ(image->pixelValue(0, 4), 0u);
        EXPECT_EQ(image->pixelValue(-1, 0), 0u);
        EXPECT_EQ(lastImagingResult(), -7);  // no library call was made
        const int storedX = (order == 1 || order == 3) ? 4 - 1 : 1;
        const int storedY = order >= 2 ? 3 - 2 : 2;
        EXPECT_EQ(image->pixelValue(1, 2), imaging::makeColorRef(storedX * 10, storedY * 10, 7));
    }
}

TEST(ImageObject, PixelValueOfIndexedPicturesIsThePaletteIndex) {
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        CImageObject image;
        image.create(11, 2, bits);
        ASSERT_TRUE(image.allocate());
        image.bitmap().rowOrder = imaging::kBottomUp;
        const int index = bits == 1 ? 1 : bits == 4 ? 9 : 200;
        imaging::setIndexAt(image.bitmap().storedRow(1), 9, bits, index);  // top row
        EXPECT_EQ(image.pixelValue(9, 0), uint32_t(index));
        EXPECT_EQ(image.pixelValue(8, 0), 0u);
        EXPECT_EQ(image.pixelValue(9, 1), 0u);
    }
}

TEST(ImageObject, CombiningAcrossRowOrdersEqualsCombiningTheSameOrder) {
    for (int destinationOrder : {imaging::kTopDown, imaging::kBottomUp})
        for (int op : {imaging::kOpCopy, imaging::kOpAnd, imaging::kOpOr}) {
            SCOPED_TRACE(::testing::Message() << destinationOrder << " op " << op);
            auto reference = gradient(9, 7, destinationOrder);
            auto mixed = gradient(9, 7, destinationOrder);
            auto sameOrderSource = gradient(6, 6, destinationOrder);
            auto otherOrderSource = gradient(6, 6, destinationOrder == 0 ? 2 : 0);
            for (auto* s : {sameOrderSource.get(), otherOrderSource.get()}) s->invert(false);
            ASSERT_TRUE(reference->combine(2, 1, 5, 4, *sameOrderSource, 1, 2, op, false));
            ASSERT_TRUE(mixed->combine(2, 1, 5, 4, *otherOrderSource, 1, 2, op, false));
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 9; ++x)
                    ASSERT_EQ(colourAt(*mixed, x, y), colourAt(*reference, x, y)) << x << "," << y;
            // and the rectangle landed where asked: (2,1) holds source (1,2) for a copy
            if (op == imaging::kOpCopy)
                EXPECT_EQ(colourAt(*mixed, 2, 1), colourAt(*otherOrderSource, 1, 2));
        }
}

TEST(ImageObject, TakeOverMovesThePixelsWithoutCopying) {
    auto source = gradient(8, 8, imaging::kBottomUp);
    source->gifOptions.transparent = 1;
    source->progressive = true;
    const uint8_t* pixels = source->bitmap().pixels.get();
    CImageObject target;
    FakeWindow window;
    target.setSink(&window);
    ASSERT_TRUE(target.takeOver(*source, true));
    EXPECT_EQ(target.bitmap().pixels.get(), pixels);
    EXPECT_TRUE(target.hasBitmap());
    EXPECT_EQ(target.gifOptions.transparent, 1);
    EXPECT_TRUE(target.progressive);
    EXPECT_FALSE(source->hasBitmap());
    EXPECT_EQ(source->bitmap().pixels, nullptr);
    EXPECT_EQ(source->bitmap().flags & imaging::flag::kAllocated, 0u);
    source.reset();  // frees nothing of the target's: the next read is still valid
    EXPECT_EQ(colourAt(target, 3, 5), imaging::makeColorRef(30, 50, 7));
    EXPECT_EQ(window.laidOut, 1);
    EXPECT_EQ(window.invalidated, 1);
}

TEST(ImageObject, PaletteGetCountsAndStopsAtTheEnd) {
    CImageObject image;
    image.create(4, 4, 4);
    ASSERT_TRUE(image.allocate());
    EXPECT_EQ(image.paletteGet(0, 0, nullptr), 16);
    std::vector<imaging::RgbQuad> entries(16);
    EXPECT_EQ(image.paletteGet(10, 16, entries.data()), 6);
    EXPECT_EQ(entries[5], image.bitmap().palette[15]);
    EXPECT_EQ(image.paletteGet(16, 1, entries.data()), 0);

    CImageObject colour;
    colour.create(4, 4, 24);
    colour.allocate();
    EXPECT_EQ(colour.paletteGet(0, 0, nullptr), 0);
}

TEST(ImageObject, PaletteSetRespectsTheFixedFlagAndAnnouncesTheChange) {
    CImageObject image;
    FakeWindow window;
    image.setSink(&window);
    image.create(4, 4, 8);
    ASSERT_TRUE(image.allocate());
    const imaging::RgbQuad red[2] = {{0, 0, 255, 0}, {0, 255, 0, 0}};
    ASSERT_TRUE(image.paletteSet(red, 2, true));
    EXPECT_EQ(image.bitmap().paletteCount, 2);
    EXPECT_TRUE(image.bitmap().flags & imaging::flag::kPaletteInstalled);
    EXPECT_EQ(window.announced, 1);
    ASSERT_TRUE(image.paintPalette().has_value());
    EXPECT_EQ(image.paintPalette()->at(0), qRgb(255, 0, 0));

    image.bitmap().flags |= imaging::flag::kFixedPalette;
    const imaging::RgbQuad blue[1] = {{255, 0, 0, 0}};
    EXPECT_TRUE(image.paletteSet(blue, 1, false));
    EXPECT_EQ(image.bitmap().paletteCount, 2);
    EXPECT_FALSE(image.paletteSet(blue, 0, false));
}

TEST(ImageObject, WindowlessObjectsSkipDisplayWorkAndHiddenWindowsGetNoPalette) {
    CImageObject plain;
    plain.create(3, 3, 8);
    ASSERT_TRUE(plain.allocate());
    EXPECT_TRUE(plain.invert(true));
    EXPECT_FALSE(plain.paintPalette().has_value());

    FakeWindow hidden;
    hidden.shown = false;
    plain.setSink(&hidden);
    EXPECT_TRUE(plain.greyScale(true));
    EXPECT_EQ(hidden.announced, 0);
    EXPECT_EQ(hidden.invalidated, 1);
}

TEST(ImageObject, CopyRectConvertsTheTopAndDuplicateCopiesEverything) {
    auto image = gradient(10, 8, imaging::kBottomUp);
    image->bitmap().xResolution = 200;
    auto part = image->copyRect(2, 1, 4, 3);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->displayWidth, 4);
    EXPECT_EQ(part->displayHeight, 3);
    EXPECT_EQ(part->bitmap().xResolution, 200);
    EXPECT_EQ(part->destinationRect, (Rect{0, 0, 4, 3}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(colourAt(*part, x, y), colourAt(*image, 2 + x, 1 + y));
    EXPECT_FALSE(image->copyRect(8, 0, 4, 3));
    EXPECT_EQ(lastImagingResult(), imaging::kErrRectOutside);

    auto copy = image->duplicate();
    ASSERT_TRUE(copy);
    EXPECT_EQ(colourAt(*copy, 9, 7), colourAt(*image, 9, 7));
    EXPECT_NE(copy->bitmap().pixels.get(), image->bitmap().pixels.get());
}

TEST(ImageObject, PackedDibCarriesThePictureAndKeepsTheFormatOfOrigin) {
    auto image = gradient(7, 5, imaging::kBottomUp);
    image->bitmap().xResolution = 150;
    const GlobalHandle block = image->toPackedDib();
    ASSERT_NE(block, 0u);
    CImageObject other;
    other.bitmap().formatCode = 2;
    ASSERT_TRUE(other.fromPackedDib(block, true, false));
    gmemFree(block);
    EXPECT_EQ(other.bitmap().formatCode, 2);
    EXPECT_EQ(other.bitmap().xResolution, 150);
    EXPECT_EQ(other.displayWidth, 7);
    EXPECT_EQ(colourAt(other, 6, 4), colourAt(*image, 6, 4));
}

TEST(ImageObject, DeviceImageShowsThePictureTopRowFirst) {
    for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        auto image = gradient(6, 3, imaging::kBottomUp, bits);
        const QImage shown = image->toDeviceImage();
        ASSERT_FALSE(shown.isNull());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) {
                const imaging::ColorRef c = colourAt(*image, x, y);
                ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF,
                          qRgb(imaging::redOf(c), imaging::greenOf(c), imaging::blueOf(c)) & 0xFFFFFFu);
            }
        CImageObject back;
        ASSERT_TRUE(back.fromDeviceImage(shown, true, false));
        EXPECT_EQ(colourAt(back, 5, 2), colourAt(*image, 5, 2));
    }
}

}  // namespace
}  // namespace quillon
