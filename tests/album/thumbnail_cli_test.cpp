// quillon-cli thumbnail and thumbnails, judged by ImageMagick.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/cli/run_cli.h"

namespace {

using Outcome = quillon::test::CliOutcome;

class ThumbnailCli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    Outcome cli(const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CACHE_HOME", path("cache"));
        return quillon::test::runCli(arguments, env, 120000);
    }
    // What ImageMagick reads in a file: "%w %h" and the colours of pixels.
    static QString magickSays(const QString& file, const QString& format) {
        QProcess p;
        p.start("/usr/bin/convert", {file, "-format", format, "info:"});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    static bool magick(const QStringList& arguments) { return QProcess::execute("/usr/bin/convert", arguments) == 0; }
    QTemporaryDir dir;
};

TEST_F(ThumbnailCli, OneFileIsFittedByTheRulesAndCentredOnBlack) {
    ASSERT_TRUE(magick({"-size", "100x400", "xc:rgb(0,0,255)", path("tall.bmp")}));
    const Outcome done = cli({"thumbnail", path("tall.bmp"), path("tall.png"), "--box", "64x44"});
    ASSERT_EQ(done.status, 0) << done.err.toStdString();
    EXPECT_EQ(magickSays(path("tall.png"), "%w %h"), "64 44");
    // 11 columns of blue from x = 26 to 36.
    EXPECT_EQ(magickSays(path("tall.png"), "%[pixel:p{25,22}] %[pixel:p{26,22}] %[pixel:p{36,22}] %[pixel:p{37,22}]"),
              "srgb(0,0,0) srgb(0,0,255) srgb(0,0,255) srgb(0,0,0)");
}

TEST_F(ThumbnailCli, AFolderGivesOneThumbnailPerReadablePictureAndFillsTheCache) {
    QDir().mkpath(path("in"));
    ASSERT_TRUE(magick({"-size", "1600x1200", "plasma:fractal", "-seed", "3", path("in/a.jpg")}));
    ASSERT_TRUE(magick({"-size", "300x200", "gradient:red-yellow", path("in/b.JPG")}));
    ASSERT_TRUE(magick({"-size", "50x80", "xc:green", path("in/c.png")}));
    QFile broken(path("in/broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QFile text(path("in/notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.close();

    const Outcome cold = cli({"thumbnails", path("in"), path("out"), "--box", "96x66"});
    ASSERT_EQ(cold.status, 0) << cold.err.toStdString();
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files), (QStringList{"a.jpg.png", "b.JPG.png", "c.png.png"}));
    for (const QString& name : {"a.jpg.png", "b.JPG.png", "c.png.png"})
        EXPECT_EQ(magickSays(path("out/") + name, "%w %h"), "96 66") << name.toStdString();
    EXPECT_EQ(QDir(path("cache/thumbnails/normal")).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(path("cache/thumbnails/fail/quillon")).entryList(QDir::Files).size(), 1);

    // From the warm cache the same pixels come out.
    const Outcome warm = cli({"thumbnails", path("in"), path("again"), "--box", "96x66"});
    ASSERT_EQ(warm.status, 0);
    for (const QString& name : {"a.jpg.png", "b.JPG.png", "c.png.png"})
        EXPECT_EQ(QProcess::execute("/usr/bin/compare", {"-metric", "AE", path("out/") + name, path("again/") + name, "null:"}), 0)
            << name.toStdString();
}

TEST_F(ThumbnailCli, UsageIsCheckedAndListed) {
    EXPECT_EQ(cli({"thumbnail", "a.jpg", "b.png"}).status, 2);
    EXPECT_EQ(cli({"thumbnail", "a.jpg", "b.png", "--box", "0x5"}).status, 2);
    EXPECT_EQ(cli({"thumbnails", "in", "--box", "64x44"}).status, 2);
    const Outcome help = cli({"--help"});
    EXPECT_TRUE(help.err.contains("thumbnail IN OUT --box WxH"));
    EXPECT_TRUE(help.err.contains("thumbnails FOLDER OUTDIR --box WxH"));
    const Outcome missing = cli({"thumbnail", path("none.jpg"), path("x.png"), "--box", "64x44"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(QFile::exists(path("x.png")));
}

}  // namespace
