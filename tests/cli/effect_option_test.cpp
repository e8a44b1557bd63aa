// `quillon-cli convert --effect`: the order with --select, the menu's
// enabling rules (exit 1, nothing written) and the ranges (exit 2).
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/cli/run_cli.h"

namespace {

using Outcome = quillon::test::CliOutcome;
using quillon::test::runCli;

QRgb colourAt(int x, int y) { return qRgb(x * 20, y * 25, 90); }

class EffectOption : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QImage in(12, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x) in.setPixel(x, y, colourAt(x, y));
        ASSERT_TRUE(in.save(path("in.png")));
        ASSERT_TRUE(in.convertToFormat(QImage::Format_Indexed8).save(path("in8.bmp")));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QImage run(const QStringList& options) {
        const Outcome r = runCli(QStringList{"convert", path("in.png"), path("out.png")} + options);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QImage(path("out.png")).convertToFormat(QImage::Format_RGB32);
    }
    QTemporaryDir dir;
};

TEST_F(EffectOption, EffectsRunInOrderOnTheWorkArea) {
    // A flip of the selection only; the pixels outside stay.
    QImage out = run({"--select", "2,1,6,5", "--effect", "flip-horizontal"});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool in = x >= 2 && x < 6 && y >= 1 && y < 5;
            ASSERT_EQ(out.pixel(x, y) & 0xFFFFFF, colourAt(in ? 7 - x : x, y) & 0xFFFFFF) << x << "," << y;
        }
    // Before the --select the effect takes the whole picture.
    out = run({"--effect", "flip-vertical", "--select", "0,0,1,1"});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(out.pixel(x, y) & 0xFFFFFF, colourAt(x, 7 - y) & 0xFFFFFF);
    // A rotation turns the whole picture and drops the work area, as the
    // menu drops the selection: the invert after it takes everything.
    out = run({"--select", "0,0,2,2", "--effect", "rotate=90", "--effect", "invert"});
    ASSERT_EQ(out.size(), QSize(8, 12));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(out.pixel(7 - y, x) & 0xFFFFFF, ~colourAt(x, y) & 0xFFFFFF);
    // 2 degrees keeps the size; resize takes pixels.
    EXPECT_EQ(run({"--effect", "rotate=2"}).size(), QSize(12, 8));
    EXPECT_EQ(run({"--effect", "resize=30,5"}).size(), QSize(30, 5));
}

TEST_F(EffectOption, AnEffectTheMenuDisablesExitsOneAndWritesNothing) {
    struct Case {
        QStringList options;
        const char* why;
    } cases[] = {
        {{"--effect", "focus"}, "24-bit"},
        {{"--effect", "denoise"}, "24-bit"},
        {{"--select", "0,0,4,4", "--effect", "blur"}, "15 to 24 bits"},
        {{"--select", "0,0,4,4", "--effect", "invert"}, "15 to 24 bits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const Outcome r = runCli(QStringList{"convert", path("in8.bmp"), path("no.png")} + c.options);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains("disabled")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.why)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("8 bits")) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("no.png")));
    }
    // The same effects on the whole 8-bit picture are offered.
    EXPECT_EQ(runCli({"convert", path("in8.bmp"), path("yes.bmp"), "--effect", "blur", "--effect", "invert"}).status, 0);
}

TEST_F(EffectOption, ValuesOutOfRangeExitTwoWithTheRange) {
    struct Case {
        const char* effect;
        const char* range;
    } cases[] = {{"rotate=46", "-45"}, {"rotate=-90", "45"}, {"tilt=9500,horizontal", "9000"},
                 {"resize=0,10", "10000"}, {"resize=10,10001", "10000"}};
    for (const Case& c : cases) {
        const Outcome r = runCli({"convert", path("in.png"), path("no.png"), "--effect", c.effect});
        EXPECT_EQ(r.status, 2) << c.effect;
        EXPECT_TRUE(r.err.contains(c.range)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("no.png")));
    }
    const Outcome unknown = runCli({"convert", path("in.png"), path("no.png"), "--effect", "twirl"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains("quillon-cli effects"));
}

TEST_F(EffectOption, TheListAndTheHelpNameTheEffects) {
    const Outcome list = runCli({"effects"});
    EXPECT_EQ(list.status, 0);
    for (const char* name : {"--effect rotate=90|270|2|358|A", "--effect tilt=T,horizontal|vertical", "--effect resize=W,H",
                             "--effect flip-horizontal", "--effect strong-blur", "--effect denoise", "--effect focus",
                             "sharpen=AMOUNT"})
        EXPECT_TRUE(list.out.contains(name)) << name;
    const Outcome help = runCli({"--help"});
    EXPECT_TRUE(help.err.contains("--effect NAME[=ARGS]"));
}

}  // namespace
