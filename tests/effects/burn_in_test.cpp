// Burn-in of pasted pictures, text, moved selections and Delete, pixel by pixel.
#include "effects/burn_in.h"

#include "imaging/imaging.h"

#include <QColor>
#include <gtest/gtest.h>

#include <set>

namespace quillon {
namespace {

using imaging::makeColorRef;

std::unique_ptr<CImageObject> picture(int w, int h, int bits, imaging::ColorRef fill,
                                      int rowOrder = imaging::kTopDown) {
    auto p = std::make_unique<CImageObject>();
    EXPECT_TRUE(p->create(w, h, bits));
    p->bitmap().rowOrder = rowOrder;
    EXPECT_TRUE(p->allocate());
    EXPECT_TRUE(p->fill(fill, false));
    return p;
}

void setPixel(CImageObject& p, int x, int y, QRgb c) {
    QImage one(1, 1, QImage::Format_RGB32);
    one.setPixel(0, 0, c);
    CImageObject dot;
    ASSERT_TRUE(dot.fromDeviceImage(one, false, false));
    ASSERT_TRUE(p.combine(x, y, 1, 1, dot, 0, 0, imaging::kOpCopy, false));
}

QRgb at(const CImageObject& p, int x, int y) { return p.toDeviceImage().pixel(x, y) & 0xFFFFFF; }

// Every pixel, as seen.
QImage seen(const CImageObject& p) { return p.toDeviceImage().convertToFormat(QImage::Format_RGB32); }

bool onlyBlackAndWhite(const CImageObject& p) {
    const QImage img = seen(p);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            if (c != 0 && c != 0xFFFFFF) return false;
        }
    return true;
}

// A 24-bit picture with a different colour in every pixel.
std::unique_ptr<CImageObject> pattern(int w, int h) {
    auto p = picture(w, h, 24, 0);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 20, y * 20, (x * 7 + y * 13) & 0xFF));
    EXPECT_TRUE(p->fromDeviceImage(img, false, false));
    return p;
}

constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF;

TEST(Paste, TransparentAllWhitePictureChangesNothing) {
    auto target = pattern(8, 8);
    const QImage before = seen(*target);
    auto white = picture(4, 4, 24, makeColorRef(255, 255, 255));
    ASSERT_TRUE(pasteAt(*target, *white, 2, 2, true));
    EXPECT_EQ(seen(*target), before);
}

TEST(Paste, TransparentKeepsNearWhiteAndWhiteShowsTheTarget) {
    auto target = picture(4, 1, 24, makeColorRef(255, 0, 0));
    auto p = picture(3, 1, 24, makeColorRef(255, 255, 255));
    setPixel(*p, 1, 0, qRgb(254, 255, 255));
    setPixel(*p, 2, 0, qRgb(0, 0, 255));
    ASSERT_TRUE(pasteAt(*target, *p, 1, 0, true));
    EXPECT_EQ(at(*target, 0, 0), kRed);
    EXPECT_EQ(at(*target, 1, 0), kRed);  // white: transparent
    EXPECT_EQ(at(*target, 2, 0), qRgb(254, 255, 255) & 0xFFFFFF);
    EXPECT_EQ(at(*target, 3, 0), kBlue);
}

TEST(Paste, OpaqueReplacesAndIsClippedAtEveryRowOrder) {
    for (int order : {imaging::kTopDown, imaging::kBottomUp}) {
        SCOPED_TRACE(order);
        auto target = picture(6, 4, 24, makeColorRef(0, 0, 255), order);
        auto p = pattern(3, 3);
        ASSERT_TRUE(pasteAt(*target, *p, -1, 2, false));  // half outside
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x < 2 && y >= 2;
                EXPECT_EQ(at(*target, x, y), inside ? at(*p, x + 1, y - 2) : kBlue) << x << "," << y;
            }
    }
}

TEST(Paste, ColourIntoOneBitStaysBlackAndWhite) {
    // A uniform middle colour diffuses into a mix of black and white.
    auto target = picture(16, 16, 1, makeColorRef(255, 255, 255));
    auto p = picture(8, 8, 24, makeColorRef(40, 160, 190));
    ASSERT_TRUE(pasteAt(*target, *p, 4, 4, false));
    EXPECT_EQ(target->bitsPerPixel(), 1);
    EXPECT_TRUE(onlyBlackAndWhite(*target));
    int black = 0;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) black += at(*target, x, y) == 0;
    EXPECT_GT(black, 12);
    EXPECT_LT(black, 52);
    EXPECT_EQ(at(*target, 0, 0), kWhite);
    EXPECT_EQ(at(*target, 12, 12), kWhite);
}

TEST(Move, LeavesWhiteWhereTheSelectionWas) {
    auto p = picture(16, 16, 24, makeColorRef(0, 0, 255));
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) setPixel(*p, x, y, qRgb(255, 0, 0));
    ASSERT_TRUE(moveSelection(*p, Rect{2, 2, 6, 6}, Rect{4, 8, 8, 12}));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            QRgb expected = kBlue;
            if (x >= 2 && x < 6 && y >= 2 && y < 6) expected = kWhite;
            if (x >= 4 && x < 8 && y >= 8 && y < 12) expected = kRed;
            EXPECT_EQ(at(*p, x, y), expected) << x << "," << y;
        }
}

TEST(Move, ResizedToTheNewRectangleAndClippedAtTheEdge) {
    auto p = picture(10, 10, 24, makeColorRef(0, 0, 255));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) setPixel(*p, x, y, qRgb(255, 0, 0));
    ASSERT_TRUE(moveSelection(*p, Rect{0, 0, 2, 2}, Rect{7, 7, 13, 13}));
    EXPECT_EQ(at(*p, 0, 0), kWhite);
    EXPECT_EQ(at(*p, 6, 6), kBlue);
    for (int y = 7; y < 10; ++y)
        for (int x = 7; x < 10; ++x) EXPECT_EQ(at(*p, x, y), kRed) << x << "," << y;
}

TEST(Move, OntoItselfChangesNothing) {
    // An 8-bit picture of a few colours keeps its pixels and depth exactly.
    auto p = picture(8, 8, 8, 0);
    imaging::Bitmap& b = p->bitmap();
    b.paletteCount = 4;
    b.palette[0] = {0, 0, 0, 0};
    b.palette[1] = {0, 0, 255, 0};
    b.palette[2] = {255, 0, 0, 0};
    b.palette[3] = {0, 200, 0, 0};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) b.storedRow(y)[x] = uint8_t((x + y) % 4);
    const QImage before = seen(*p);
    ASSERT_TRUE(moveSelection(*p, Rect{1, 1, 6, 7}, Rect{1, 1, 6, 7}));
    EXPECT_EQ(p->bitsPerPixel(), 8);
    EXPECT_EQ(seen(*p), before);
}

TEST(Delete, EightBitPictureStaysEightBitWithWhiteSelection) {
    auto p = picture(8, 8, 8, 0);
    imaging::Bitmap& b = p->bitmap();
    b.paletteCount = 3;
    b.palette[0] = {0, 0, 0, 0};
    b.palette[1] = {0, 0, 255, 0};
    b.palette[2] = {255, 0, 0, 0};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) b.storedRow(y)[x] = uint8_t((x + y) % 3);
    const QImage before = seen(*p);
    ASSERT_TRUE(clearToWhite(*p, Rect{2, 3, 5, 8}));
    EXPECT_EQ(p->bitsPerPixel(), 8);
    const QImage after = seen(*p);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 3;
            EXPECT_EQ(after.pixel(x, y), inside ? 0xFFFFFFFF : before.pixel(x, y)) << x << "," << y;
        }
}

TEST(Delete, WithoutSelectionWhitensEverything) {
    auto p = pattern(5, 5);
    ASSERT_TRUE(clearToWhite(*p, std::nullopt));
    QImage white(5, 5, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(seen(*p), white);
}

// A 6 x 3 glyph mask with a 2 x 2 block of "text" at (1, 0) and (4, 2).
QImage glyphMask() {
    QImage m(6, 3, QImage::Format_RGB32);
    m.fill(Qt::white);
    for (auto [x, y] : {std::pair{1, 0}, {2, 0}, {1, 1}, {2, 1}, {4, 2}}) m.setPixel(x, y, qRgb(0, 0, 0));
    return m;
}

TEST(Text, GlyphPixelsTakeTheColourAndTheRestStays) {
    auto p = pattern(8, 5);
    const QImage before = seen(*p);
    const QImage mask = glyphMask();
    ASSERT_TRUE(burnInText(*p, 1, 1, mask, makeColorRef(10, 200, 30)));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool glyph = QRect(1, 1, 6, 3).contains(x, y) && (mask.pixel(x - 1, y - 1) & 0xFFFFFF) == 0;
            EXPECT_EQ(at(*p, x, y), glyph ? qRgb(10, 200, 30) & 0xFFFFFF : before.pixel(x, y) & 0xFFFFFF)
                << x << "," << y;
        }
}

TEST(Text, RedOnOneBitEndsBlackOrWhite) {
    auto p = picture(40, 20, 1, makeColorRef(255, 255, 255));
    QImage mask(30, 10, QImage::Format_RGB32);
    mask.fill(Qt::black);  // all glyph
    ASSERT_TRUE(burnInText(*p, 5, 5, mask, makeColorRef(255, 0, 0)));
    EXPECT_EQ(p->bitsPerPixel(), 1);
    EXPECT_TRUE(onlyBlackAndWhite(*p));
    std::set<QRgb> inText;
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 35; ++x) inText.insert(at(*p, x, y));
    // Red diffuses into a mix of both; outside stays white.
    EXPECT_EQ(inText.size(), 2u);
    EXPECT_EQ(at(*p, 0, 0), kWhite);
    EXPECT_EQ(at(*p, 39, 19), kWhite);
}

}  // namespace
}  // namespace quillon
