// convert --op: operations in the order given, refused before anything is written.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/cli/run_cli.h"

namespace {

using Outcome = quillon::test::CliOutcome;
using quillon::test::runCli;

QString magickOut(const QStringList& arguments) {
    QProcess process;
    process.start("/usr/bin/convert", arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

class EffectOps : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(QProcess::execute("/usr/bin/convert", {"rose:", "BMP3:" + path("rose.bmp")}), 0);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString info(const QString& file) { return runCli({"info", file}).out; }
    QTemporaryDir dir;
};

TEST_F(EffectOps, RunInTheOrderGiven) {
    // rose: is 70 x 46.
    Outcome a = runCli({"convert", path("rose.bmp"), path("a.bmp"), "--op", "resize=30x20", "--op", "rotate=90"});
    ASSERT_EQ(a.status, 0) << a.err.toStdString();
    EXPECT_TRUE(info(path("a.bmp")).startsWith("width: 20\nheight: 30\nbits: 24\n"));
    Outcome b = runCli({"convert", path("rose.bmp"), path("b.bmp"), "--op", "rotate=90", "--op", "resize=30x20",
                     "--op", "grey", "--op", "depth=8,dither,optimised"});
    ASSERT_EQ(b.status, 0) << b.err.toStdString();
    EXPECT_TRUE(info(path("b.bmp")).startsWith("width: 30\nheight: 20\nbits: 8\n"));
    // Grey through an optimised palette stays grey: no pixel has any saturation.
    EXPECT_EQ(magickOut({path("b.bmp"), "-colorspace", "HSL", "-channel", "G", "-separate", "-format", "%[fx:maxima]", "info:"}), "0");
}

TEST_F(EffectOps, FlipAndMirrorMatchImageMagick) {
    ASSERT_EQ(runCli({"convert", path("rose.bmp"), path("f.bmp"), "--op", "flip", "--op", "mirror", "--op", "invert"}).status, 0);
    ASSERT_EQ(QProcess::execute("/usr/bin/convert", {path("rose.bmp"), "-flip", "-flop", "-negate", "BMP3:" + path("g.bmp")}), 0);
    QProcess compare;
    compare.start("/usr/bin/compare", {"-metric", "AE", path("f.bmp"), path("g.bmp"), "null:"});
    compare.waitForFinished();
    EXPECT_EQ(QString::fromUtf8(compare.readAllStandardError()).trimmed(), "0");
}

TEST_F(EffectOps, BadOperationsAreRefusedWithStatus2AndNothingWritten) {
    const char* bad[] = {"bogus", "depth=12", "depth=8,fast", "depth", "resize=10", "resize=0x5", "resize=axb",
                         "sharpen=1001", "contrast=-1001", "brightness=abc", "rotate=", "rotate-fine=1.5", "grey=1"};
    for (const char* op : bad) {
        SCOPED_TRACE(op);
        const Outcome o = runCli({"convert", path("rose.bmp"), path("x.bmp"), "--op", "mirror", "--op", op});
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.err.contains(QString::fromUtf8(op))) << o.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("x.bmp")));
    }
    const Outcome missing = runCli({"convert", path("rose.bmp"), path("x.bmp"), "--op"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_FALSE(QFile::exists(path("x.bmp")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "only the input is there";
}

TEST_F(EffectOps, EveryOperationRuns) {
    const QStringList ops = {"depth=1", "depth=4,optimised", "depth=15", "depth=16", "depth=32", "resize=140x92",
                             "rotate=-45", "rotate=270", "rotate-fine=250", "sharpen=-800", "sharpen=800",
                             "contrast=700", "brightness=-350"};
    for (const QString& op : ops) {
        SCOPED_TRACE(op.toStdString());
        const Outcome o = runCli({"convert", path("rose.bmp"), path("o.bmp"), "--op", op});
        EXPECT_EQ(o.status, 0) << o.err.toStdString();
        EXPECT_TRUE(QFile::exists(path("o.bmp")));
        QFile::remove(path("o.bmp"));
    }
    EXPECT_TRUE(runCli({"effects"}).out.contains("rotate-fine=HUNDREDTHS"));
}

}  // namespace
