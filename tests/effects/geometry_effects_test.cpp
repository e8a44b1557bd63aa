// The geometry and filter procedures, the dialogs' rules and the --effect
// rows, with the expected pixels worked out here from the rules.
#include "effects/effect_rows.h"
#include "effects/geometry_effects.h"
#include "effects/geometry_models.h"
#include "image/image_effects.h"
#include "image/image_object.h"
#include "imaging/filters.h"
#include "imaging/imaging.h"

#include <QImage>
#include <gtest/gtest.h>

namespace quillon {
namespace {

// A 24-bit picture with a different colour in every pixel.
std::unique_ptr<CImageObject> pattern(int w, int h, int rowOrder = imaging::kTopDown) {
    auto p = std::make_unique<CImageObject>();
    EXPECT_TRUE(p->create(w, h, 24));
    p->bitmap().rowOrder = rowOrder;
    EXPECT_TRUE(p->allocate());
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 9 % 256, y * 11 % 256, (x * 7 + y * 13) & 0xFF));
    EXPECT_TRUE(p->fromDeviceImage(img, false, false));
    return p;
}

QImage seen(const CImageObject& p) { return p.toDeviceImage().convertToFormat(QImage::Format_RGB32); }

TEST(GeometryEffects, RotationsByDegreesMoveEveryPixelOrKeepTheSize) {
    struct Case {
        int degrees;
        int width, height;  // after
    } cases[] = {{90, 6, 9}, {270, 6, 9}, {2, 9, 6}, {358, 9, 6}, {180, 9, 6}, {0, 9, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        auto p = pattern(9, 6);
        const QImage before = seen(*p);
        int message = 0;
        ASSERT_TRUE(rotatePictureDegrees(*p, c.degrees, message));
        ASSERT_EQ(p->width(), c.width);
        ASSERT_EQ(p->height(), c.height);
        const QImage after = seen(*p);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x) {
                // Clockwise by 90: (x, y) goes to (h - 1 - y, x); by 270 to (y, w - 1 - x).
                if (c.degrees == 90) EXPECT_EQ(after.pixel(5 - y, x), before.pixel(x, y));
                if (c.degrees == 270) EXPECT_EQ(after.pixel(y, 8 - x), before.pixel(x, y));
                if (c.degrees == 180) EXPECT_EQ(after.pixel(8 - x, 5 - y), before.pixel(x, y));
                if (c.degrees == 0) EXPECT_EQ(after.pixel(x, y), before.pixel(x, y));
            }
    }
}

TEST(GeometryEffects, HundredthsSwapOnlyForOddMultiplesOf9000) {
    struct Case {
        int hundredths;
        int width, height;
    } cases[] = {{9000, 4, 7}, {-9000, 4, 7}, {27000, 4, 7}, {18000, 7, 4}, {8999, 7, 4}, {150, 7, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hundredths);
        auto p = pattern(7, 4);
        int message = 0;
        ASSERT_TRUE(rotatePictureHundredths(*p, c.hundredths, message));
        EXPECT_EQ(p->width(), c.width);
        EXPECT_EQ(p->height(), c.height);
    }
}

TEST(GeometryEffects, TiltCorrectionFromTheLineAngle) {
    struct Case {
        int t;
        bool vertical;
        int c;
    } cases[] = {{0, false, 0},        {150, false, -150},   {-150, false, 150},    {8990, true, 10},
                 {-8990, true, -10},   {8990, false, -8990}, {9000, false, -9000},  {0, true, -9000},
                 {4500, true, 4500},   {-4500, true, -4500}};
    for (const Case& c : cases) EXPECT_EQ(tiltCorrection(c.t, c.vertical), c.c) << c.t << " " << c.vertical;
}

TEST(GeometryEffects, FlipsOfTheWholePictureAndOfARectangle) {
    for (const int order : {int(imaging::kTopDown), int(imaging::kBottomUp)})
        for (const bool horizontal : {true, false})
            for (const bool withArea : {false, true}) {
                SCOPED_TRACE(QString("order %1 horizontal %2 area %3").arg(order).arg(horizontal).arg(withArea).toStdString());
                auto p = pattern(10, 8, order);
                const QImage before = seen(*p);
                const Rect r = withArea ? Rect{2, 1, 7, 6} : Rect{0, 0, 10, 8};
                int message = 0;
                ASSERT_TRUE(flipPicture(*p, withArea ? &r : nullptr, horizontal, message));
                const QImage after = seen(*p);
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 10; ++x) {
                        int sx = x, sy = y;
                        if (r.contains(x, y)) {
                            if (horizontal) sx = r.left + r.right - 1 - x;
                            else sy = r.top + r.bottom - 1 - y;
                        }
                        ASSERT_EQ(after.pixel(x, y), before.pixel(sx, sy)) << x << "," << y;
                    }
            }
}

// An 8-bit picture of two grey levels split at column 8.
std::unique_ptr<CImageObject> twoGreys() {
    auto p = std::make_unique<CImageObject>();
    QImage img(16, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x) img.setPixel(x, y, x < 8 ? qRgb(40, 40, 40) : qRgb(220, 220, 220));
    EXPECT_TRUE(p->fromDeviceImage(img, false, false));
    EXPECT_TRUE(changeColorDepth(*p, nullptr, 8, 0, nullptr, 0, false));
    EXPECT_EQ(p->bitsPerPixel(), 8);
    return p;
}

TEST(GeometryEffects, BlurOnEightBitsWithAndWithoutASelection) {
    // Without a selection the picture is filtered at 8 bits: the edge is
    // softened, a uniform band far from it stays, and the depth stays.
    auto whole = twoGreys();
    int message = 0;
    ASSERT_TRUE(filterPicture(*whole, nullptr, kBlurAmount, message));
    EXPECT_EQ(whole->bitsPerPixel(), 8);
    QImage img = seen(*whole);
    EXPECT_NE(img.pixel(7, 5), qRgb(40, 40, 40));
    EXPECT_NE(img.pixel(8, 5), qRgb(220, 220, 220));

    // With a selection only the rectangle changes; the picture went through
    // 24 bits and is 8 bits again, its palette made from the result.
    auto part = twoGreys();
    const QImage before = seen(*part);
    const Rect area{5, 2, 11, 8};
    ASSERT_TRUE(filterPicture(*part, &area, kBlurAmount, message));
    EXPECT_EQ(part->bitsPerPixel(), 8);
    img = seen(*part);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x)
            if (!area.contains(x, y)) ASSERT_EQ(img.pixel(x, y), before.pixel(x, y)) << x << "," << y;
    // Inside, the edge at 8 takes in-between greys that the 8-bit palette now holds.
    const int g7 = qRed(img.pixel(7, 5)), g8 = qRed(img.pixel(8, 5));
    EXPECT_GT(g7, qRed(before.pixel(7, 5)));
    EXPECT_LT(g8, qRed(before.pixel(8, 5)));
    EXPECT_LT(g7, g8);
}

TEST(GeometryEffects, InvertOfAOneBitPictureFlipsIndicesAndKeepsThePalette) {
    CImageObject p;
    ASSERT_TRUE(p.create(13, 3, 1));
    ASSERT_TRUE(p.allocate());
    const imaging::RgbQuad palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    ASSERT_TRUE(p.paletteSet(palette, 2, false));
    const int bytes = p.bitmap().bytesPerLine;
    std::vector<uint8_t> row(static_cast<size_t>(bytes)), back(static_cast<size_t>(bytes));
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < bytes; ++i) row[size_t(i)] = uint8_t(0x5A + 17 * y + i);
        ASSERT_TRUE(p.putRow(row.data(), y, bytes));
    }
    int message = 0;
    ASSERT_TRUE(invertPicture(p, nullptr, message));
    EXPECT_EQ(p.bitsPerPixel(), 1);
    imaging::RgbQuad after[2];
    ASSERT_EQ(p.paletteGet(0, 2, after), 2);
    EXPECT_EQ(after[0].red, 0);
    EXPECT_EQ(after[1].red, 255);
    for (int y = 0; y < 3; ++y) {
        ASSERT_TRUE(p.getRow(back.data(), y, bytes));
        for (int i = 0; i < bytes; ++i) EXPECT_EQ(back[size_t(i)], uint8_t(~(0x5A + 17 * y + i))) << y << " " << i;
    }
    // A black pixel (index 0 at the first bit of 0x5A... is 0) became white.
    EXPECT_EQ(p.pixelValue(0, 0), 1u);
}

TEST(GeometryEffects, InvertOfARectangleOn24Bits) {
    auto p = pattern(8, 8);
    const QImage before = seen(*p);
    const Rect area{1, 2, 5, 7};
    int message = 0;
    ASSERT_TRUE(invertPicture(*p, &area, message));
    const QImage after = seen(*p);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(after.pixel(x, y) & 0xFFFFFF,
                      area.contains(x, y) ? ~before.pixel(x, y) & 0xFFFFFF : before.pixel(x, y) & 0xFFFFFF);
}

TEST(GeometryEffects, FocusIsStrongSharpenAndDenoiseIsStrongBlurThenSharpen) {
    auto focus = pattern(20, 12), strong = pattern(20, 12), noise = pattern(20, 12), twoSteps = pattern(20, 12);
    const auto rows = geometryEffectRows();
    const auto run = [&rows](const char* name, CImageObject& p) {
        for (const EffectRow& row : rows)
            if (row.name == name) {
                int command = row.command;
                EffectRunner runner;
                QString error;
                ASSERT_TRUE(row.parse({}, command, runner, error));
                ASSERT_TRUE(runner(p, nullptr, error));
                return;
            }
        FAIL() << name;
    };
    run("focus", *focus);
    run("strong-sharpen", *strong);
    EXPECT_EQ(seen(*focus), seen(*strong));
    run("denoise", *noise);
    ASSERT_EQ(imaging::sharpen(twoSteps->bitmap(), -800), 1);
    ASSERT_EQ(imaging::sharpen(twoSteps->bitmap(), 500), 1);
    EXPECT_EQ(seen(*noise), seen(*twoSteps));
}

TEST(GeometryRows, NamesPickTheirCommandAndRefuseOutOfRange) {
    struct Case {
        const char* name;
        const char* args;
        bool ok;
        int command;
        const char* inError;
    } cases[] = {
        {"rotate", "90", true, 120, ""},          {"rotate", "270", true, 121, ""},
        {"rotate", "2", true, 122, ""},           {"rotate", "358", true, 123, ""},
        {"rotate", "-2", true, 124, ""},          {"rotate", "45", true, 124, ""},
        {"rotate", "46", false, 0, "-45"},        {"rotate", "x", false, 0, "-45"},
        {"tilt", "150,horizontal", true, 125, ""}, {"tilt", "9001,vertical", false, 0, "-9000"},
        {"tilt", "10,sideways", false, 0, "horizontal"},
        {"resize", "320,240", true, 126, ""},     {"resize", "0,240", false, 0, "10000"},
        {"resize", "10001,1", false, 0, "10000"}, {"blur", "3", false, 0, "no arguments"},
        {"invert", "", true, 133, ""},            {"denoise", "", true, 149, ""},
    };
    const auto rows = geometryEffectRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.args);
        const EffectRow* row = nullptr;
        for (const EffectRow& r : rows)
            if (r.name == c.name) row = &r;
        ASSERT_NE(row, nullptr);
        int command = row->command;
        EffectRunner run;
        QString error;
        ASSERT_EQ(row->parse(c.args, command, run, error), c.ok) << error.toStdString();
        if (c.ok) EXPECT_EQ(command, c.command);
        else EXPECT_TRUE(error.contains(QString::fromUtf8(c.inError))) << error.toStdString();
    }
}

TEST(RotationModel, EditTextAndTheFinalCheck) {
    struct Case {
        const char* text;
        int angle;
        bool outline;
        bool valid;
    } cases[] = {{"-", 0, false, false}, {"0", 0, true, true},     {"12", 12, true, true},  {"-45", -45, true, true},
                 {"99", 45, true, false}, {"-50", -45, true, false}, {"", 0, false, false}};
    for (const Case& c : cases) {
        const AngleInput in = readAngleEdit(c.text);
        EXPECT_EQ(in.angle, c.angle) << c.text;
        EXPECT_EQ(in.drawOutline, c.outline) << c.text;
        EXPECT_EQ(checkedAngle(c.text).has_value(), c.valid) << c.text;
    }
    EXPECT_TRUE(rotationRangeMessage().contains("-45"));
    EXPECT_TRUE(rotationRangeMessage().contains("45"));
}

TEST(RotationModel, OutlineTurnsTheCornersAboutTheCentre) {
    // 101 x 51: hw = 50, hh = 25, the outline spans 100 x 50.
    RotationOutline o = rotationOutline(101, 51, 0);
    EXPECT_EQ(o.corners[0], QPoint(0, 0));
    EXPECT_EQ(o.corners[2], QPoint(100, 50));
    EXPECT_EQ(o.marker, QPoint(50, 0));
    // 90: s = 1, c = 0: x' = 50 - (y - 25), y' = 25 + (x - 50).
    o = rotationOutline(101, 51, 90);
    EXPECT_EQ(o.corners[0], QPoint(75, -25));
    EXPECT_EQ(o.corners[1], QPoint(75, 75));
    EXPECT_EQ(o.corners[2], QPoint(25, 75));
    EXPECT_EQ(o.marker, QPoint(75, 25));
    // 30: s = 0.5, c = 0.866 from the tables; (0, 0): 50 - 43.3 + 12.5 = 19.2 -> 19,
    // 25 - 25 - 21.65 = -21.65 -> -21 (toward zero).
    o = rotationOutline(101, 51, 30);
    EXPECT_EQ(o.corners[0], QPoint(19, -21));
    EXPECT_EQ(o.centre, QPoint(50, 25));
}

TEST(ResizeModel, AspectLockAndUnits) {
    ResizeModel m(640, 480);
    EXPECT_EQ(m.unit(), QString::fromUtf8("ﾄﾞｯﾄ"));
    EXPECT_EQ(m.maximum(), 10000);
    m.setWidth(320);
    m.widthEdited();
    EXPECT_EQ(m.height(), 240);
    m.setPercent(true);
    EXPECT_EQ(m.width(), 50);
    EXPECT_EQ(m.height(), 50);
    EXPECT_EQ(m.unit(), "%");
    EXPECT_EQ(m.maximum(), 1000);
    m.setHeight(75);
    m.heightEdited();  // percent: width follows the height
    EXPECT_EQ(m.width(), 75);
    EXPECT_EQ(m.pixelWidth(), 480);
    EXPECT_EQ(m.pixelHeight(), 360);
    m.setAspectLock(false);
    m.setWidth(10);
    m.widthEdited();
    EXPECT_EQ(m.height(), 75);
    m.setAspectLock(true);  // percent: both to the integer mean
    EXPECT_EQ(m.width(), 42);
    EXPECT_EQ(m.height(), 42);
    m.setPercent(false);  // MulDiv(640, 42, 100) = 268.8 -> 269; MulDiv(480, 42, 100) = 201.6 -> 202
    EXPECT_EQ(m.width(), 269);
    EXPECT_EQ(m.height(), 202);
    // Odd sizes round as MulDiv does: 333 of 1000 x 777 -> 258.7 -> 259.
    ResizeModel odd(1000, 777);
    odd.setWidth(333);
    odd.widthEdited();
    EXPECT_EQ(odd.height(), 259);
}

TEST(TiltModel, PromptButtonsAndCorrection) {
    TiltModel m;
    EXPECT_FALSE(m.hasLine());
    EXPECT_EQ(m.prompt(), QString::fromUtf8("ﾄﾞﾗｯｸﾞして基準線を引いて下さい。"));
    EXPECT_EQ(m.previewButtonText(), QString::fromUtf8("ﾌﾟﾚﾋﾞｭｰ"));
    m.lineDrawn(8990);
    EXPECT_EQ(m.correction(), -8990);
    EXPECT_EQ(m.prompt(), QString::fromUtf8("実行を押すと、引いた線が水平になるように回転します。"));
    EXPECT_FALSE(m.setVertical(false));  // the current one: nothing
    EXPECT_TRUE(m.hasLine());
    EXPECT_TRUE(m.setVertical(true));    // the other: the line is gone
    EXPECT_FALSE(m.hasLine());
    m.lineDrawn(8990);
    EXPECT_EQ(m.correction(), 10);
    EXPECT_EQ(m.prompt(), QString::fromUtf8("実行を押すと、引いた線が垂直になるように回転します。"));
    EXPECT_TRUE(m.togglePreview());
    EXPECT_EQ(m.previewButtonText(), QString::fromUtf8("元に戻す"));
    EXPECT_FALSE(m.togglePreview());
    EXPECT_FALSE(m.hasLine());  // a new line is needed
    EXPECT_EQ(m.previewButtonText(), QString::fromUtf8("ﾌﾟﾚﾋﾞｭｰ"));
}

}  // namespace
}  // namespace quillon
