// The colour and tone loops on small pictures, with the expected pixels worked
// out here from the formulas of each effect.
#include "effects/area_procedure.h"
#include "effects/colour_effects.h"
#include "effects/colour_shift.h"
#include "effects/depth_conversion.h"
#include "effects/effect_rows.h"
#include "effects/histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <functional>

namespace quillon {
namespace {

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& o, const Rgb& c) { return o << '(' << c.r << ',' << c.g << ',' << c.b << ')'; }

// A 24-bit picture whose pixel x of every row has colour colours[x % n].
std::unique_ptr<CImageObject> picture24(int width, int height, const std::vector<Rgb>& colours,
                                        int colourOrder = imaging::kBgr) {
    auto p = std::make_unique<CImageObject>();
    p->create(width, height, 24);
    EXPECT_TRUE(p->allocate());
    imaging::Bitmap& b = p->bitmap();
    b.colorOrder = colourOrder;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb& c = colours[size_t(x) % colours.size()];
            uint8_t* px = b.storedRow(y) + 3 * x;
            px[0] = uint8_t(colourOrder == imaging::kRgb ? c.r : c.b);
            px[1] = uint8_t(c.g);
            px[2] = uint8_t(colourOrder == imaging::kRgb ? c.b : c.r);
        }
    return p;
}

Rgb at(const CImageObject& p, int x, int y) {
    const uint8_t* px = p.bitmap().storedRow(p.storedRow(y)) + 3 * x;
    return p.bitmap().colorOrder == imaging::kRgb ? Rgb{px[0], px[1], px[2]} : Rgb{px[2], px[1], px[0]};
}

// x is i times the rounded constant 1/255, not i / 255: with exponent 1 some
// values come out one lower (180 gives 179), as the curves have always done.
int powerOf(int v, double e) { return int(std::trunc(std::pow(v * 0.00392156862745098, e) * 255.0)); }
int libraryRound(double v) { return v < 0 ? 0 : v > 255 ? 255 : int(std::lround(v)); }

// Every value 0..255 in the three channels, shifted so the channels differ.
std::vector<Rgb> ramp() {
    std::vector<Rgb> colours;
    for (int i = 0; i < 256; ++i) colours.push_back({i, (i + 85) % 256, (i + 170) % 256});
    return colours;
}

struct TableCase {
    const char* name;
    std::function<bool(CImageObject&, QString&)> apply;
    std::function<int(int)> red, green, blue;
};

TEST(ColourEffects, TableEffectsMapEveryValueInBothColourOrders) {
    const double base = 1.075222508;
    const auto power = [](double e) { return [e](int v) { return powerOf(v, e); }; };
    const auto filter = [](int percent) { return [percent](int v) { return std::min(v * percent / 100, 255); }; };
    const std::vector<TableCase> cases = {
        {"sepia", [](CImageObject& p, QString& e) { return applySepia(p, nullptr, e); },
         power(std::pow(base, -12)), power(std::pow(base, -8)), power(1.0)},
        {"hue -30,0,45", [](CImageObject& p, QString& e) { return applyHue(p, nullptr, -30, 0, 45, e); },
         power(std::pow(base, 30)), power(1.0), power(std::pow(base, -45))},
        {"red cast", [](CImageObject& p, QString& e) { return applyRedCast(p, nullptr, e); }, power(1.15),
         power(1.0), power(1.0)},
        {"green cast", [](CImageObject& p, QString& e) { return applyGreenCast(p, nullptr, e); }, power(1.0),
         power(1.15), power(1.0)},
        {"filter 100", [](CImageObject& p, QString& e) { return applyColourFilter(p, nullptr, 100, 100, 100, e); },
         filter(100), filter(100), filter(100)},
        {"filter 200,50,0", [](CImageObject& p, QString& e) { return applyColourFilter(p, nullptr, 200, 50, 0, e); },
         filter(200), filter(50), filter(0)},
        {"low light", [](CImageObject& p, QString& e) { return applyLowLight(p, nullptr, e); },
         [](int v) { return std::min(v + 17, 255); }, [](int v) { return std::min(v + 17, 255); },
         [](int v) { return std::min(v + 17, 255); }},
    };
    for (const TableCase& c : cases) {
        for (int order : {int(imaging::kBgr), int(imaging::kRgb)}) {
            SCOPED_TRACE(std::string(c.name) + (order == imaging::kRgb ? " RGB" : " BGR"));
            auto p = picture24(256, 2, ramp(), order);
            QString error;
            ASSERT_TRUE(c.apply(*p, error));
            int wrong = 0;
            for (int x = 0; x < 256; ++x) {
                const Rgb in = ramp()[size_t(x)];
                const Rgb want{c.red(in.r), c.green(in.g), c.blue(in.b)};
                if (at(*p, x, 1) != want && ++wrong < 4) ADD_FAILURE() << "x=" << x << " " << at(*p, x, 1) << " want " << want;
            }
        }
    }
}

TEST(ColourEffects, EdgeValuesOfTheTables) {
    for (double e : {0.2, 0.418812693106083, 1.0, 1.15, 3.7}) {
        auto p = picture24(2, 1, {{0, 0, 0}, {255, 255, 255}});
        QString error;
        ASSERT_TRUE(applyPowerCurves(*p, nullptr, e, e, e, error));
        EXPECT_EQ(at(*p, 0, 0), (Rgb{0, 0, 0})) << e;
        EXPECT_EQ(at(*p, 1, 0), (Rgb{255, 255, 255})) << e;
    }
    auto p = picture24(3, 1, {{128, 127, 100}, {238, 237, 0}, {255, 1, 2}});
    QString error;
    ASSERT_TRUE(applyColourFilter(*p, nullptr, 200, 200, 100, error));
    EXPECT_EQ(at(*p, 0, 0), (Rgb{255, 254, 100}));
    auto dark = picture24(2, 1, {{238, 237, 0}, {255, 1, 2}});
    ASSERT_TRUE(applyLowLight(*dark, nullptr, error));
    EXPECT_EQ(at(*dark, 0, 0), (Rgb{255, 254, 17}));
    ASSERT_TRUE(applyBacklight(*dark, nullptr, error));
    EXPECT_EQ(at(*dark, 0, 0), (Rgb{241, 240, 29}));  // the table's entries 255, 254 and 17
}

TEST(ColourEffects, Saturation) {
    struct Case {
        int percent;
        Rgb want;
    } cases[] = {{100, {200, 100, 0}}, {0, {100, 100, 100}}, {200, {255, 100, 0}}, {-100, {0, 100, 200}}};
    for (const Case& c : cases) {
        auto p = picture24(1, 1, {{200, 100, 0}});
        QString error;
        ASSERT_TRUE(applySaturation(*p, nullptr, c.percent, error));
        EXPECT_EQ(at(*p, 0, 0), c.want) << c.percent;
    }
}

// The pixel loop against the rule written out, over many colours.
TEST(ColourEffects, SaturationRuleOnEveryPixel) {
    std::vector<Rgb> colours;
    for (int i = 0; i < 512; ++i) colours.push_back({(i * 37) % 256, (i * 91 + 13) % 256, (i * 151 + 200) % 256});
    for (int percent : {-100, -37, 0, 55, 100, 133, 200}) {
        auto p = picture24(512, 1, colours);
        QString error;
        ASSERT_TRUE(applySaturation(*p, nullptr, percent, error));
        for (int x = 0; x < 512; ++x) {
            const Rgb in = colours[size_t(x)];
            const int t = (in.r + in.g + in.b) / 3;
            const auto rule = [&](int v) {
                int d = percent * (v - t) / 100;
                if (t + d > 255) d = 255 - t;
                return t + d < 0 ? 0 : t + d;
            };
            ASSERT_EQ(at(*p, x, 0), (Rgb{rule(in.r), rule(in.g), rule(in.b)})) << percent << " " << in;
        }
    }
}

TEST(ColourEffects, GoldRedKeepsTheRedByteThenContrastAndBrightness) {
    auto p = picture24(2, 1, {{200, 90, 30}, {10, 250, 250}}, imaging::kBgr);
    const uint8_t byte2 = p->bitmap().storedRow(0)[2];
    QString error;
    ASSERT_TRUE(applyGoldRed(*p, nullptr, error));
    // The library's contrast 6 and brightness 7 on (red, 0, 0).
    const auto tone = [](int v) {
        const int c = libraryRound(128 + (v - 128) * 1000.0 / (1000 - 6));
        return libraryRound(c + 7 * 255 / 1000.0);
    };
    EXPECT_EQ(byte2, 200);
    EXPECT_EQ(at(*p, 0, 0), (Rgb{tone(200), tone(0), tone(0)}));
    EXPECT_EQ(at(*p, 1, 0), (Rgb{tone(10), tone(0), tone(0)}));
}

TEST(ColourEffects, BrightnessAndContrastSendSevenTimesThePercent) {
    auto p = picture24(3, 1, {{0, 100, 128}, {200, 255, 30}, {60, 61, 62}});
    QString error;
    ASSERT_TRUE(applyBrightnessContrast(*p, nullptr, 100, -100, false, error));
    const auto tone = [](int v) {
        const int c = libraryRound(128 + (v - 128) * (1000 - 700) / 1000.0);
        return libraryRound(c + 700 * 255 / 1000.0);
    };
    EXPECT_EQ(at(*p, 0, 0), (Rgb{tone(0), tone(100), tone(128)}));
    EXPECT_EQ(at(*p, 1, 0), (Rgb{tone(200), tone(255), tone(30)}));
}

TEST(ColourEffects, SelectionLimitsTheWork) {
    auto p = picture24(6, 4, {{10, 20, 30}});
    const Rect area{2, 1, 4, 3};
    QString error;
    ASSERT_TRUE(applyLowLight(*p, &area, error));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(at(*p, x, y), area.contains(x, y) ? (Rgb{27, 37, 47}) : (Rgb{10, 20, 30})) << x << "," << y;
}

// 1-bit pictures and palette pictures change through their palette only.
TEST(ColourEffects, PalettePictures) {
    CImageObject bw;
    bw.create(9, 2, 1);
    ASSERT_TRUE(bw.allocate());
    bw.bitmap().storedRow(0)[0] = 0xA5;
    const std::vector<uint8_t> pixels(bw.bitmap().pixels.get(), bw.bitmap().pixels.get() + bw.bitmap().byteCount());
    QString error;
    ASSERT_TRUE(applySepia(bw, nullptr, error));
    imaging::RgbQuad pal[2];
    ASSERT_EQ(bw.paletteGet(0, 2, pal), 2);
    EXPECT_EQ(pal[0], (imaging::RgbQuad{0, 0, 0, 0}));
    EXPECT_EQ(pal[1], (imaging::RgbQuad{180, 240, 255, 0}));  // blue, green, red
    ASSERT_TRUE(applyColourFilter(bw, nullptr, 150, 40, 0, error));
    ASSERT_EQ(bw.paletteGet(0, 2, pal), 2);
    EXPECT_EQ(pal[0], (imaging::RgbQuad{0, 102, 255, 0}));  // min(150 x 255 / 100, 255), 40 x 255 / 100, 0
    EXPECT_EQ(pal[1], (imaging::RgbQuad{255, 255, 255, 0}));
    EXPECT_EQ(std::vector<uint8_t>(bw.bitmap().pixels.get(), bw.bitmap().pixels.get() + bw.bitmap().byteCount()),
              pixels);

    CImageObject grey;
    grey.create(4, 4, 8);  // the default palette: a grey ramp
    ASSERT_TRUE(grey.allocate());
    ASSERT_TRUE(applySaturation(grey, nullptr, 0, error));
    ASSERT_TRUE(applyBacklight(grey, nullptr, error));
    std::vector<imaging::RgbQuad> entries(256);
    const int n = grey.paletteGet(0, 256, entries.data());
    ASSERT_GT(n, 0);
    for (int i = 0; i < n; ++i) {
        imaging::RgbQuad before;
        CImageObject fresh;
        fresh.create(1, 1, 8);
        fresh.paletteGet(i, 1, &before);
        EXPECT_EQ(entries[size_t(i)].red, backlightTable()[before.red]) << i;
    }
}

// 15, 16 and 32-bit rows go through a 3-byte scratch row: the pixels change as
// their 8-bit values would, and nothing past the pixels of a row is touched.
TEST(ColourEffects, SixteenAndThirtyTwoBitRows) {
    for (int bits : {15, 16, 32}) {
        SCOPED_TRACE(bits);
        CImageObject p;
        p.create(3, 2, bits);  // rows padded to 4 bytes: 16-bit rows carry 2 spare bytes
        ASSERT_TRUE(p.allocate());
        imaging::Bitmap& b = p.bitmap();
        std::memset(b.pixels.get(), 0xC6, b.byteCount());
        QString error;
        ASSERT_TRUE(applyLowLight(p, nullptr, error));
        for (int y = 0; y < 2; ++y) {
            const uint8_t* row = b.storedRow(y);
            if (bits == 32) {
                // 0xC6 = 198 goes to 215; the fourth byte stays.
                for (int x = 0; x < 3; ++x) {
                    EXPECT_EQ(row[4 * x], 215);
                    EXPECT_EQ(row[4 * x + 3], 0xC6);
                }
            } else {
                EXPECT_EQ(row[6], 0xC6);
                EXPECT_EQ(row[7], 0xC6);
                const unsigned w = row[0] | (row[1] << 8), before = 0xC6C6;
                // Blue: 5 bits 0x06 -> 8 bits 0x31 = 49 -> 66 -> 5 bits 8.
                EXPECT_EQ(w & 31, ((((before & 31) << 3 | (before & 31) >> 2) + 17) >> 3));
                EXPECT_NE(w, before);
            }
        }
    }
}

// A 16-bit picture with a selection goes to 24 bits for the library's part
// of gold-red and comes back at its depth.
TEST(ColourEffects, GoldRedOnTheSelectionOfASixteenBitPicture) {
    CImageObject p;
    p.create(8, 4, 16);
    ASSERT_TRUE(p.allocate());
    std::memset(p.bitmap().pixels.get(), 0xFF, p.bitmap().byteCount());
    const Rect area{2, 1, 6, 3};
    QString error;
    ASSERT_TRUE(applyGoldRed(p, &area, error)) << error.toStdString();
    EXPECT_EQ(p.bitsPerPixel(), 16);
    const auto word = [&](int x, int y) {
        const uint8_t* row = p.bitmap().storedRow(p.storedRow(y));
        return unsigned(row[2 * x] | (row[2 * x + 1] << 8));
    };
    EXPECT_EQ(word(0, 0), 0xFFFFu);
    // Red 255 stays 255 under contrast 6 and brightness 7; green and blue become
    // lround(0 + 1.785) = 2, which 5 and 6 bits hold as 0.
    EXPECT_EQ(word(3, 2), 0xF800u);
    EXPECT_EQ(word(1, 2), 0xFFFFu) << "outside the selection";
}

TEST(ColourEffects, ColourShiftRightByThree) {
    std::vector<Rgb> colours;
    for (int x = 0; x < 8; ++x) colours.push_back({10 * x + 1, 100 + x, 200 + x});
    for (int order : {int(imaging::kBgr), int(imaging::kRgb)}) {
        auto p = picture24(8, 3, colours, order);
        auto backup = p->duplicate();
        ColourShiftOffsets offsets;
        for (int i = 0; i < 3; ++i) offsets.move(ShiftChannel::Red, 1, 0, 8, 3);
        QString error;
        ASSERT_TRUE(rebuildColourShift(*p, *backup, offsets, error));
        for (int x = 0; x < 8; ++x) {
            const Rgb want{x < 3 ? colours[size_t(x)].r : colours[size_t(x - 3)].r, 100 + x, 200 + x};
            EXPECT_EQ(at(*p, x, 1), want) << x << " order " << order;
        }
    }
    ColourShiftOffsets limits;
    for (int i = 0; i < 20; ++i) limits.move(ShiftChannel::Blue, -1, 1, 8, 3);
    EXPECT_EQ(limits.dx[2], -7);
    EXPECT_EQ(limits.dy[2], 2);
}

TEST(ColourEffects, ColourShiftDownMovesRows) {
    std::vector<Rgb> one{{0, 0, 0}};
    auto p = picture24(2, 4, one);
    for (int y = 0; y < 4; ++y) p->bitmap().storedRow(p->storedRow(y))[1] = uint8_t(10 * y + 5);  // green
    auto backup = p->duplicate();
    ColourShiftOffsets offsets;
    offsets.move(ShiftChannel::Green, 0, 1, 2, 4);
    QString error;
    ASSERT_TRUE(rebuildColourShift(*p, *backup, offsets, error));
    const int want[] = {5, 5, 15, 25};
    for (int y = 0; y < 4; ++y) EXPECT_EQ(at(*p, 0, y).g, want[y]) << y;
}

TEST(ColourEffects, Levels) {
    auto uniform = picture24(200, 100, {{100, 100, 100}});
    Histogram h;
    QString error;
    ASSERT_TRUE(computeHistogram(*uniform, nullptr, h, error));
    EXPECT_EQ(h.red[100], 20000u);
    EXPECT_EQ(h.maxRed, 20000u);
    const LevelsPoints points = levelsPoints(h);
    EXPECT_EQ(points.low, 99);
    EXPECT_EQ(points.high, 101);
    ASSERT_EQ(applyLevels(*uniform, nullptr, h, error), LevelsOutcome::Applied);
    EXPECT_EQ(at(*uniform, 17, 33), (Rgb{127, 127, 127}));  // trunc(1 x 255 / 2)

    auto small = picture24(100, 100, {{100, 100, 100}, {30, 40, 50}});
    ASSERT_TRUE(computeHistogram(*small, nullptr, h, error));
    EXPECT_EQ(applyLevels(*small, nullptr, h, error), LevelsOutcome::TooFewPixels);
    EXPECT_EQ(at(*small, 1, 1), (Rgb{30, 40, 50}));

    CImageObject four;
    four.create(200, 100, 4);
    ASSERT_TRUE(four.allocate());
    ASSERT_TRUE(computeHistogram(four, nullptr, h, error));
    EXPECT_EQ(h.pixelCount, 20000);
    EXPECT_EQ(applyLevels(four, nullptr, h, error), LevelsOutcome::Refused);
    EXPECT_FALSE(error.isEmpty());
}

TEST(ColourEffects, HistogramMaximaLeaveOutTheEnds) {
    auto p = picture24(10, 1, {{0, 255, 7}, {0, 255, 7}, {3, 254, 7}});
    Histogram h;
    QString error;
    ASSERT_TRUE(computeHistogram(*p, nullptr, h, error));
    EXPECT_EQ(h.red[0], 7u);
    EXPECT_EQ(h.maxRed, 3u);   // index 3; the 7 at index 0 does not count
    EXPECT_EQ(h.maxGreen, 3u); // index 254
    EXPECT_EQ(h.maxBlue, 10u);
}

TEST(ColourEffects, DepthConversionToTheSameDepth) {
    auto p = picture24(4, 4, {{200, 10, 10}, {0, 0, 250}});
    EXPECT_FALSE(depthConversionChanges(*p, {24, false, false}));
    EXPECT_TRUE(depthConversionChanges(*p, {24, false, true}));
    QString error;
    ASSERT_TRUE(convertDepth(*p, {24, false, true}, error));
    EXPECT_EQ(p->bitsPerPixel(), 24);
    const Rgb c = at(*p, 0, 0);
    EXPECT_TRUE(c.r == c.g && c.g == c.b) << c;
    ASSERT_TRUE(convertDepth(*p, {1, true, false}, error));
    imaging::RgbQuad pal[2];
    ASSERT_EQ(p->paletteGet(0, 2, pal), 2);
    EXPECT_EQ(pal[0], (imaging::RgbQuad{0, 0, 0, 0}));
    EXPECT_EQ(pal[1], (imaging::RgbQuad{255, 255, 255, 0}));
    EXPECT_EQ(depthChoiceFor(15), 16);
    EXPECT_EQ(depthChoiceFor(32), 24);
}

TEST(ColourRows, ParseAndRunLikeTheMenus) {
    std::map<QString, EffectRow> rows;
    for (EffectRow& r : colourEffectRows()) rows[r.name] = r;
    const std::pair<const char*, int> commands[] = {
        {"sepia", 138}, {"gold-red", 139}, {"red-cast", 147}, {"green-cast", 148}, {"backlight", 145},
        {"low-light", 146}, {"colour-filter", 140}, {"hue", 141}, {"saturation", 135}, {"colour-shift", 143},
        {"brightness-contrast", 134}, {"levels", 136}, {"depth", 137}};
    ASSERT_EQ(rows.size(), std::size(commands));
    for (auto [name, command] : commands) EXPECT_EQ(rows.at(name).command, command) << name;

    struct Bad {
        const char* name;
        const char* args;
        const char* inMessage;
    } bad[] = {{"hue", "101,0,0", "-100..100"}, {"hue", "1,2", "-100..100"}, {"colour-filter", "0,201,0", "0..200"},
               {"saturation", "-101", "-100..200"}, {"brightness-contrast", "0,101", "-100..100"},
               {"brightness-contrast", "0,0,inverted", "invert"}, {"depth", "2", "1, 4, 8, 16 or 24"},
               {"depth", "8,grey,grey", "grey"}, {"colour-shift", "x,1,1", "r, g or b"}, {"sepia", "1", "no arguments"}};
    for (const Bad& b : bad) {
        int command = rows.at(b.name).command;
        EffectRunner run;
        QString error;
        EXPECT_FALSE(rows.at(b.name).parse(b.args, command, run, error)) << b.name << "=" << b.args;
        EXPECT_TRUE(error.contains(QString::fromUtf8(b.inMessage))) << error.toStdString();
    }

    const auto runRow = [&](const char* name, const QString& args, CImageObject& p) {
        int command = rows.at(name).command;
        EffectRunner run;
        QString error;
        EXPECT_TRUE(rows.at(name).parse(args, command, run, error)) << error.toStdString();
        return run && run(p, nullptr, error);
    };
    auto viaRow = picture24(256, 1, ramp()), viaCall = picture24(256, 1, ramp());
    ASSERT_TRUE(runRow("hue", "12,8,0", *viaRow));
    QString error;
    ASSERT_TRUE(applySepia(*viaCall, nullptr, error));
    for (int x = 0; x < 256; ++x) ASSERT_EQ(at(*viaRow, x, 0), at(*viaCall, x, 0)) << "hue 12,8,0 is sepia, x=" << x;

    auto shifted = picture24(8, 2, {{50, 60, 70}, {1, 2, 3}});
    ASSERT_TRUE(runRow("colour-shift", "r,1,0", *shifted));
    EXPECT_EQ(at(*shifted, 1, 0), (Rgb{50, 2, 3}));
    auto uniform = picture24(200, 100, {{100, 100, 100}});
    ASSERT_TRUE(runRow("levels", "", *uniform));
    EXPECT_EQ(at(*uniform, 0, 0), (Rgb{127, 127, 127}));
    ASSERT_TRUE(runRow("depth", "8,dither", *uniform));
    EXPECT_EQ(uniform->bitsPerPixel(), 8);
}

}  // namespace
}  // namespace quillon
