// Clipboard data and text rendering: both need the GUI application.
#include "effects/clipboard.h"
#include "effects/floating_build.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace quillon {
namespace {

QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "effects-test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* a = new QGuiApplication(argc, argv);
    return *a;
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override { app(); }
};

std::unique_ptr<CImageObject> palettePicture() {
    auto p = std::make_unique<CImageObject>();
    EXPECT_TRUE(p->create(7, 5, 8));
    EXPECT_TRUE(p->allocate());
    imaging::Bitmap& b = p->bitmap();
    b.paletteCount = 5;
    for (int i = 0; i < 5; ++i) b.palette[i] = {uint8_t(i * 50), uint8_t(255 - i * 40), uint8_t(i * 13), 0};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) b.storedRow(y)[x] = uint8_t((x * 3 + y) % 5);
    b.xResolution = b.yResolution = 300;
    return p;
}

TEST_F(GuiTest, CopiedAreaComesBackWithDepthPaletteAndResolution) {
    auto p = palettePicture();
    const std::unique_ptr<QMimeData> data = clipboardDataOf(*p, Rect{1, 2, 6, 5});
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasFormat("image/bmp"));
    EXPECT_TRUE(data->hasImage());
    const std::shared_ptr<CImageObject> back = pictureOfMimeData(data.get());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 5);
    EXPECT_EQ(back->height(), 3);
    EXPECT_EQ(back->bitsPerPixel(), 8);
    EXPECT_EQ(back->bitmap().xResolution, 300);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(back->pixelValue(x, y), p->pixelValue(x + 1, y + 2)) << x << "," << y;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(back->bitmap().palette[i], p->bitmap().palette[i]);
    // The plain image shows the same colours to other programs.
    const QImage plain = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(plain.pixel(0, 0), p->toDeviceImage().pixel(1, 2));
}

TEST_F(GuiTest, WholePictureWithoutSelectionAndAPlainImageFromOthers) {
    auto p = palettePicture();
    const std::unique_ptr<QMimeData> data = clipboardDataOf(*p, std::nullopt);
    ASSERT_TRUE(data);
    EXPECT_EQ(pictureOfMimeData(data.get())->width(), 7);

    QMimeData other;
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    other.setImageData(image);
    const std::shared_ptr<CImageObject> back = pictureOfMimeData(&other);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitsPerPixel(), 24);
    EXPECT_EQ(back->toDeviceImage().pixel(2, 1) & 0xFFFFFF, 0x010203u);

    QMimeData text;
    text.setText("no picture");
    EXPECT_FALSE(pictureOfMimeData(&text));
    QMimeData broken;
    broken.setData("image/bmp", "BM not a picture");
    EXPECT_FALSE(pictureOfMimeData(&broken));
}

TEST_F(GuiTest, ClipboardRoundTripInTheProcess) {
    auto p = palettePicture();
    ASSERT_TRUE(copyToClipboard(*p, Rect{0, 0, 2, 2}));
    EXPECT_TRUE(clipboardOffersPicture());
    const std::shared_ptr<CImageObject> back = clipboardPicture();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 2);
    EXPECT_EQ(back->bitsPerPixel(), 8);
}

TEST_F(GuiTest, TextOpensOnMinchoTenPointsBlackAndRendersWithoutSmoothing) {
    const TextSettings initial = initialTextSettings(96);
    EXPECT_EQ(initial.font.family(), QString::fromUtf8("ＭＳ 明朝"));
    EXPECT_EQ(initial.font.pixelSize(), 13);
    EXPECT_FALSE(initial.font.underline());
    EXPECT_EQ(initial.colour, 0u);

    TextSettings s = initial;
    s.text = QString::fromUtf8("文字あA");
    s.colour = imaging::makeColorRef(255, 0, 0);
    const FloatingObject plain = textFloating(s);
    const QFontMetrics metrics(textFont(s));
    EXPECT_EQ(plain.width, metrics.horizontalAdvance(s.text));
    EXPECT_EQ(plain.height, metrics.height());
    int glyph = 0;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x) {
            const QRgb m = plain.textMask.pixel(x, y) & 0xFFFFFF;
            ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << x << "," << y;  // no smoothing
            const QRgb shown = plain.shown.pixel(x, y);
            EXPECT_EQ(shown, m == 0 ? 0xFFFF0000 : 0u);
            glyph += m == 0;
        }
    EXPECT_GT(glyph, 20);

    s.font.setUnderline(true);
    const FloatingObject underlined = textFloating(s);
    int more = 0;
    for (int y = 0; y < underlined.height; ++y)
        for (int x = 0; x < underlined.width; ++x) more += (underlined.textMask.pixel(x, y) & 0xFFFFFF) == 0;
    EXPECT_GT(more, glyph + underlined.width / 2);

    s.text.clear();
    EXPECT_TRUE(textFloating(s).empty());
}

TEST_F(GuiTest, TransparentPasteFloatsWithoutItsWhite) {
    auto source = std::make_shared<CImageObject>();
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(254, 255, 255));
    ASSERT_TRUE(source->fromDeviceImage(image, false, false));
    const FloatingObject opaque = pasteFloating(source, false);
    EXPECT_EQ(qAlpha(opaque.shown.pixel(0, 0)), 255);
    const FloatingObject transparent = pasteFloating(source, true);
    EXPECT_EQ(qAlpha(transparent.shown.pixel(0, 0)), 0);
    EXPECT_EQ(transparent.shown.pixel(1, 0), qRgb(254, 255, 255));
    EXPECT_EQ(transparent.pasteSource, source);
}

}  // namespace
}  // namespace quillon
