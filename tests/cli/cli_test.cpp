// quillon-cli as a shell user meets it: its output, its messages and its exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome cli(const QStringList& arguments) {
    QProcess process;
    process.start(QUILLON_CLI, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

bool magick(const QStringList& arguments) {
    return QProcess::execute("/usr/bin/convert", arguments) == 0;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QTemporaryDir dir;
};

TEST_F(Cli, InfoPrintsOneLinePerKey) {
    ASSERT_TRUE(magick({"rose:", "-colors", "16", path("a0.gif")}));
    ASSERT_EQ(QProcess::execute("gifsicle", {"-i", "-t", "3", path("a0.gif"), "-o", path("a.gif")}), 0);
    const Outcome gif = cli({"info", path("a.gif")});
    EXPECT_EQ(gif.status, 0) << gif.err.toStdString();
    const QStringList lines = gif.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8) << gif.out.toStdString();
    EXPECT_EQ(lines[0], "width: 70");
    EXPECT_EQ(lines[1], "height: 46");
    EXPECT_EQ(lines[2], "bits: 8");
    EXPECT_EQ(lines[3], QString::fromUtf8("format: GIF ﾌｧｲﾙ(透明, ｲﾝﾀｰﾚｰｽ)"));
    EXPECT_EQ(lines[4], "progressive: 0");
    EXPECT_EQ(lines[5], "interlace: 1");
    EXPECT_EQ(lines[6], "transparent: 1");
    EXPECT_EQ(lines[7], "transparent-index: 3");

    ASSERT_TRUE(magick({"rose:", "-interlace", "JPEG", path("p.jpg")}));
    const Outcome jpeg = cli({"info", path("p.jpg")});
    EXPECT_EQ(jpeg.status, 0);
    EXPECT_TRUE(jpeg.out.contains(QString::fromUtf8("format: JPEG(JFIF) ﾌｧｲﾙ(ﾌﾟﾛｸﾞﾚｯｼﾌﾞ)\n")));
    EXPECT_TRUE(jpeg.out.contains("bits: 24\nformat"));
    EXPECT_TRUE(jpeg.out.contains("progressive: 1\n"));
}

TEST_F(Cli, ConvertFollowsTheTableAndTheOptions) {
    ASSERT_TRUE(magick({"rose:", "-colors", "100", path("in.gif")}));
    Outcome r = cli({"convert", path("in.gif"), path("out.bmp")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(QProcess::execute("/usr/bin/compare", {"-metric", "AE", path("in.gif"), path("out.bmp"), "null:"}), 0);

    r = cli({"convert", path("in.gif"), path("out.gif"), "--interlace", "--transparent", "3"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = cli({"info", path("out.gif")});
    EXPECT_TRUE(r.out.contains("interlace: 1\ntransparent: 1\ntransparent-index: 3\n")) << r.out.toStdString();

    ASSERT_TRUE(magick({"rose:", path("rose.jpg")}));
    r = cli({"convert", path("rose.jpg"), path("p.JPG"), "--progressive", "--quality", "70"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(cli({"info", path("p.JPG")}).out.contains("progressive: 1"));
    // A progressive picture stays progressive unless told otherwise.
    ASSERT_EQ(cli({"convert", path("p.JPG"), path("again.jpg")}).status, 0);
    EXPECT_TRUE(cli({"info", path("again.jpg")}).out.contains("progressive: 1"));
    ASSERT_EQ(cli({"convert", path("p.JPG"), path("base.jpg"), "--baseline"}).status, 0);
    EXPECT_TRUE(cli({"info", path("base.jpg")}).out.contains("progressive: 0"));
    // The index may be given instead of the extension.
    ASSERT_EQ(cli({"convert", path("rose.jpg"), path("rose.data"), "--format-index", "19"}).status, 0);
    EXPECT_TRUE(cli({"info", path("rose.data")}).out.contains(QString::fromUtf8("format: PNG ﾌｧｲﾙ")));
}

TEST_F(Cli, FailuresPrintTheProgramsMessageExitOneAndWriteNothing) {
    ASSERT_TRUE(magick({"rose:", path("rose.jpg")}));
    ASSERT_TRUE(magick({"rose:", "-colors", "16", path("flat.gif")}));
    const QStringList before = files();
    struct Case {
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"convert", path("rose.jpg"), path("x.gif")},
         "GIF形式はTrueColorで保存できません。\n他の形式で保存してください"},
        {{"convert", path("flat.gif"), path("x.jpg")}, "JPEG形式はTrueColorでしか保存できません"},
        {{"convert", path("flat.gif"), path("x.abc")}, "正しい拡張子を付けてください"},
        {{"convert", path("flat.gif"), path("noextension")}, "正しい拡張子を付けてください"},
        {{"convert", path("rose.jpg"), path("x.jpg"), "--quality", "3"}, "5～100の間で設定してください"},
        {{"convert", path("missing.gif"), path("x.bmp")}, "指定されたﾌｧｲﾙにｱｸｾｽできません。"},
        {{"convert", path("rose.jpg"), path("no/such/folder/x.bmp")}, "指定されたﾌｧｲﾙにｱｸｾｽできません。"},
        {{"convert", path("flat.gif"), path("x.bmp"), "--format-index", "21"}, "正しい拡張子を付けてください"},
        {{"info", path("flat.gif.missing")}, "指定されたﾌｧｲﾙにｱｸｾｽできません。"},
    };
    for (const Case& c : cases) {
        const Outcome r = cli(c.arguments);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_EQ(r.err, QString::fromUtf8(c.message) + "\n");
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(files(), before) << c.message;
    }
}

TEST_F(Cli, WrongUsageListsTheCommands) {
    Outcome r = cli({});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("info FILE"));
    EXPECT_TRUE(r.err.contains("convert IN OUT"));
    EXPECT_EQ(cli({"frobnicate"}).status, 2);
    EXPECT_EQ(cli({"convert", path("only-one.gif")}).status, 2);
    EXPECT_EQ(cli({"convert", "a.gif", "b.gif", "--quality", "high"}).status, 2);
}

}  // namespace
