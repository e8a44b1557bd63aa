// The editing options of `quillon-cli convert`, judged on the written pixels.
#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/cli/run_cli.h"

namespace {

using Outcome = quillon::test::CliOutcome;
using quillon::test::runCli;

constexpr QRgb kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF;

class EditOptions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // 10 x 10 blue with a red 2 x 2 square at the top-left.
        QImage in(10, 10, QImage::Format_RGB32);
        in.fill(kBlue);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) in.setPixel(x, y, kRed);
        ASSERT_TRUE(in.save(path("in.png")));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QImage run(const QStringList& edits) {
        const Outcome r = runCli(QStringList{"convert", path("in.png"), path("out.png")} + edits);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QImage(path("out.png")).convertToFormat(QImage::Format_RGB32);
    }
    // Pixels that differ from `expected`, as "x,y" strings.
    static QStringList differences(const QImage& got, const std::function<QRgb(int, int)>& expected) {
        QStringList out;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x)
                if (got.pixel(x, y) != expected(x, y)) out << QString("%1,%2").arg(x).arg(y);
        return out;
    }
    static QRgb original(int x, int y) { return x < 2 && y < 2 ? kRed : kBlue; }
    QTemporaryDir dir;
};

TEST_F(EditOptions, DeleteClearsTheClampedSelection) {
    const QImage out = run({"--select", "-5,-5,3,4", "--delete"});
    EXPECT_EQ(differences(out, [](int x, int y) { return x < 3 && y < 4 ? kWhite : original(x, y); }),
              QStringList());
}

TEST_F(EditOptions, OptionsApplyInTheOrderGiven) {
    // The delete before the select clears everything; the move after it
    // finds white.
    QImage out = run({"--delete", "--select", "0,0,1,1", "--move", "0,0,2,2@5,5"});
    EXPECT_EQ(differences(out, [](int, int) { return kWhite; }), QStringList());
    out = run({"--move", "0,0,2,2@5,5", "--select", "4,4,6,6", "--delete"});
    EXPECT_EQ(differences(out,
                          [](int x, int y) {
                              if (x >= 4 && x < 6 && y >= 4 && y < 6) return kWhite;
                              if (x < 2 && y < 2) return kWhite;
                              if (x >= 5 && x < 7 && y >= 5 && y < 7) return kRed;
                              return kBlue;
                          }),
              QStringList());
}

TEST_F(EditOptions, MoveResizesAndKeepsOneColumnOverThePicture) {
    QImage out = run({"--move", "0,0,2,2@6,6,4,4"});
    EXPECT_EQ(differences(out,
                          [](int x, int y) {
                              if (x < 2 && y < 2) return kWhite;
                              if (x >= 6 && y >= 6) return kRed;
                              return kBlue;
                          }),
              QStringList());
    out = run({"--move", "0,0,2,2@-100,50"});  // kept at (-1, 9)
    EXPECT_EQ(differences(out, [](int x, int y) { return x == 0 && y == 9 ? kRed : x < 2 && y < 2 ? kWhite : kBlue; }),
              QStringList());
    out = run({"--move", "0,0,2,2@0,0"});  // onto itself
    EXPECT_EQ(differences(out, original), QStringList());
}

TEST_F(EditOptions, PasteOpaqueAndTransparent) {
    QImage small(3, 3, QImage::Format_RGB32);
    small.fill(kWhite);
    small.setPixel(1, 1, qRgb(254, 255, 255));
    small.setPixel(2, 2, kRed);
    ASSERT_TRUE(small.save(path("small.png")));
    QImage out = run({"--paste", path("small.png") + "@8,0,transparent"});
    EXPECT_EQ(differences(out, [](int x, int y) { return x == 9 && y == 1 ? qRgb(254, 255, 255) : original(x, y); }),
              QStringList());
    out = run({"--paste", path("small.png") + "@1,1"});
    EXPECT_EQ(differences(out,
                          [&](int x, int y) {
                              return x >= 1 && x < 4 && y >= 1 && y < 4 ? small.pixel(x - 1, y - 1) : original(x, y);
                          }),
              QStringList());
}

TEST_F(EditOptions, TextIsWrittenInItsColourWithoutSmoothing) {
    const QImage out = run({"--text", QString::fromUtf8("日本") + "@0,0,,12,#00FF00"});
    int green = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const QRgb c = out.pixel(x, y);
            EXPECT_TRUE(c == kBlue || c == kRed || c == 0xFF00FF00) << x << "," << y;
            green += c == 0xFF00FF00;
        }
    EXPECT_GT(green, 3);
}

TEST_F(EditOptions, BadSyntaxExitsTwoAndWritesNothing) {
    const QStringList bad[] = {
        {"--select", "1,2,3"},           {"--select"},
        {"--select", "a,b,c,d"},         {"--paste", "x.png"},
        {"--paste", "@1,2"},             {"--paste", path("in.png") + "@1,2,opaque"},
        {"--move", "1,2,3,4@5"},         {"--move", "1,2,3,4@5,6,0,3"},
        {"--move", "1,2,3@5,6"},         {"--text", "hi@1,2,,0"},
        {"--text", "hi@1,2,,10,red"},    {"--text", "hi@1,2,,10,#ff0000,bold"},
        {"--text", "hi"},
    };
    for (const QStringList& edits : bad) {
        const Outcome r = runCli(QStringList{"convert", path("in.png"), path("bad.png")} + edits);
        EXPECT_EQ(r.status, 2) << edits.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFile::exists(path("bad.png"))) << edits.join(' ').toStdString();
    }
    // A paste file that cannot be read fails with the library's message.
    const Outcome r = runCli({"convert", path("in.png"), path("bad.png"), "--paste", path("none.png") + "@0,0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(QFile::exists(path("bad.png")));
}

TEST_F(EditOptions, HelpNamesEveryOption) {
    QProcess process;
    process.start(QUILLON_CLI, {"--help"});
    process.waitForFinished(60000);
    const QString help = QString::fromUtf8(process.readAllStandardError() + process.readAllStandardOutput());
    for (const char* option : {"--select L,T,R,B", "--paste FILE@X,Y[,transparent]", "--move L,T,R,B@X,Y[,W,H]",
                               "--delete", "--text TEXT@X,Y[,FONT[,POINTS[,#RRGGBB[,underline][,strikeout]]]]"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

}  // namespace
