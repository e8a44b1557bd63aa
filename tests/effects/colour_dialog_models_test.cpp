// The rules of the colour dialogs without their widgets.
#include "effects/colour_dialog_models.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillon {
namespace {

TEST(ColourDialogModels, EditReading) {
    EXPECT_EQ(readEditClamped(QStringLiteral("-"), -100, 100), std::nullopt);
    EXPECT_EQ(readEditClamped(QStringLiteral("-7"), -100, 100), -7);
    EXPECT_EQ(readEditClamped(QStringLiteral("250"), -100, 100), 100);
    EXPECT_EQ(readEditClamped(QStringLiteral("-999"), -100, 200), -100);
    EXPECT_EQ(readEditClamped(QStringLiteral("x1"), -100, 100), std::nullopt);
    EXPECT_EQ(readEditStrict(QStringLiteral("101"), -100, 100), std::nullopt);
    EXPECT_EQ(readEditStrict(QStringLiteral("-"), -100, 100), std::nullopt);
    EXPECT_EQ(readEditStrict(QStringLiteral("-100"), -100, 100), -100);
}

TEST(ColourDialogModels, ColourFilterScrollAndSample) {
    ColourFilterModel m;
    struct Step {
        FilterScroll action;
        int thumb, want;
    } steps[] = {{FilterScroll::LineRight, 0, 102}, {FilterScroll::PageRight, 0, 112}, {FilterScroll::LineLeft, 0, 110},
                 {FilterScroll::PageLeft, 0, 100}, {FilterScroll::End, 0, 200}, {FilterScroll::LineRight, 0, 200},
                 {FilterScroll::EndScroll, 0, 200}, {FilterScroll::Home, 0, 0}, {FilterScroll::PageLeft, 0, 0},
                 {FilterScroll::Thumb, 57, 57}};
    for (const Step& s : steps) {
        m.scroll(0, s.action, s.thumb);
        EXPECT_EQ(m.percent[0], s.want);
    }
    m.percent = {200, 100, 50};
    // MulDiv(value, 255, 200), rounded: 255, 127.5 -> 128, 63.75 -> 64.
    EXPECT_EQ(m.sample(), (std::array<int, 3>{255, 128, 64}));
    m.percent = {50, 0, 100};
    EXPECT_EQ(m.sample(), (std::array<int, 3>{128, 0, 255}));  // scaled to 100
}

TEST(ColourDialogModels, HueLinkingAndCurves) {
    HueModel m;
    m.setValue(0, 30);
    m.setValue(1, -61);
    EXPECT_EQ(m.values, (std::array<int, 3>{30, -61, 0}));
    m.setLinked(true);
    EXPECT_EQ(m.values, (std::array<int, 3>{-10, -10, -10}));  // -31 / 3, toward zero
    m.setValue(2, 120);
    EXPECT_EQ(m.values, (std::array<int, 3>{100, 100, 100}));
    m.setLinked(false);
    m.values = {0, 12, -100};
    const std::vector<QPoint> flat = m.curve(0, 255, 200);
    ASSERT_EQ(flat.size(), 24u);  // x = 1, 12, ... 254
    EXPECT_EQ(flat.front(), QPoint(1, int(200 - 1 / 255.0 * 200)));
    EXPECT_EQ(flat.back(), QPoint(254, int(200 - 254 / 255.0 * 200)));
    const double e = std::pow(1.075222508, 100);
    EXPECT_EQ(m.curve(2, 255, 200)[5].y(), int(200 - std::pow(56 / 255.0, e) * 200));
}

}  // namespace
}  // namespace quillon
