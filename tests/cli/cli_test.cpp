// quillon-cli as a shell user meets it: its output, its messages and its exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/cli/run_cli.h"

namespace {

using Outcome = quillon::test::CliOutcome;
using quillon::test::runCli;

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
    const Outcome gif = runCli({"info", path("a.gif")});
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
    const Outcome jpeg = runCli({"info", path("p.jpg")});
    EXPECT_EQ(jpeg.status, 0);
    EXPECT_TRUE(jpeg.out.contains(QString::fromUtf8("format: JPEG(JFIF) ﾌｧｲﾙ(ﾌﾟﾛｸﾞﾚｯｼﾌﾞ)\n")));
    EXPECT_TRUE(jpeg.out.contains("bits: 24\nformat"));
    EXPECT_TRUE(jpeg.out.contains("progressive: 1\n"));
}

TEST_F(Cli, ConvertFollowsTheTableAndTheOptions) {
    ASSERT_TRUE(magick({"rose:", "-colors", "100", path("in.gif")}));
    Outcome r = runCli({"convert", path("in.gif"), path("out.bmp")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(QProcess::execute("/usr/bin/compare", {"-metric", "AE", path("in.gif"), path("out.bmp"), "null:"}), 0);

    r = runCli({"convert", path("in.gif"), path("out.gif"), "--interlace", "--transparent", "3"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = runCli({"info", path("out.gif")});
    EXPECT_TRUE(r.out.contains("interlace: 1\ntransparent: 1\ntransparent-index: 3\n")) << r.out.toStdString();

    ASSERT_TRUE(magick({"rose:", path("rose.jpg")}));
    r = runCli({"convert", path("rose.jpg"), path("p.JPG"), "--progressive", "--quality", "70"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(runCli({"info", path("p.JPG")}).out.contains("progressive: 1"));
    // A progressive picture stays progressive unless told otherwise.
    ASSERT_EQ(runCli({"convert", path("p.JPG"), path("again.jpg")}).status, 0);
    EXPECT_TRUE(runCli({"info", path("again.jpg")}).out.contains("progressive: 1"));
    ASSERT_EQ(runCli({"convert", path("p.JPG"), path("base.jpg"), "--baseline"}).status, 0);
    EXPECT_TRUE(runCli({"info", path("base.jpg")}).out.contains("progressive: 0"));
    // The index may be given instead of the extension.
    ASSERT_EQ(runCli({"convert", path("rose.jpg"), path("rose.data"), "--format-index", "19"}).status, 0);
    EXPECT_TRUE(runCli({"info", path("rose.data")}).out.contains(QString::fromUtf8("format: PNG ﾌｧｲﾙ")));
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
        const Outcome r = runCli(c.arguments);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_EQ(r.err, QString::fromUtf8(c.message) + "\n");
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(files(), before) << c.message;
    }
}

// A transparent index the picture has is written so that our reader, giflib
// and ImageMagick all take the file; one it has not is refused.
TEST_F(Cli, TransparentIndexOfOneAndFourBitPictures) {
    ASSERT_TRUE(magick({"rose:", path("rose.bmp")}));
    for (const int bits : {1, 4}) {
        const QString depth = QString("depth=%1").arg(bits);
        const QString out = path(QString("t%1.gif").arg(bits));
        const int last = (1 << bits) - 1;
        Outcome r = runCli({"convert", path("rose.bmp"), out, "--op", depth, "--transparent",
                         QString::number(last)});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        r = runCli({"info", out});
        EXPECT_EQ(r.status, 0) << bits << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QString("bits: 8\n")));
        EXPECT_TRUE(r.out.contains(QString("transparent: 1\ntransparent-index: %1\n").arg(last)))
            << r.out.toStdString();
        QProcess giftext;
        giftext.start("giftext", {out});
        ASSERT_TRUE(giftext.waitForFinished(60000));
        EXPECT_EQ(giftext.exitCode(), 0) << bits;
        EXPECT_TRUE(giftext.readAllStandardOutput().contains(
            QString("Transparent Index: %1").arg(last).toLatin1()));
        EXPECT_EQ(QProcess::execute("/usr/bin/identify", {"-regard-warnings", out}), 0) << bits;

        const QStringList before = files();
        r = runCli({"convert", path("rose.bmp"), path("refused.gif"), "--op", depth, "--transparent",
                 QString::number(last + 1)});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, QString("--transparent %1: a picture of %2 colours has the indexes 0 to %3\n")
                             .arg(last + 1)
                             .arg(last + 1)
                             .arg(last));
        EXPECT_EQ(files(), before);
    }
}

// What the user set on the file they save over stays: a read-only file is
// refused with the save's message and kept, a symbolic link stays a link.
TEST_F(Cli, SavingOverAFileKeepsWhatTheUserSet) {
    ASSERT_TRUE(magick({"rose:", path("rose.bmp")}));
    ASSERT_TRUE(magick({"logo:", "-resize", "20x20", path("old.bmp")}));
    const QByteArray old = [&] {
        QFile f(path("old.bmp"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QFile::setPermissions(path("old.bmp"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const Outcome r = runCli({"convert", path("rose.bmp"), path("old.bmp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QString::fromUtf8("ﾌｧｲﾙ書き込み中にｴﾗｰがありました。\n"));
    QFile kept(path("old.bmp"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), old);
    EXPECT_EQ(kept.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther), 0);

    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    ASSERT_TRUE(magick({"logo:", "-resize", "20x20", path("real/a.bmp")}));
    ASSERT_TRUE(QFile::link("real/a.bmp", path("link.bmp")));
    ASSERT_EQ(runCli({"convert", path("rose.bmp"), path("link.bmp")}).status, 0);
    EXPECT_TRUE(QFileInfo(path("link.bmp")).isSymLink());
    EXPECT_TRUE(runCli({"info", path("real/a.bmp")}).out.contains("width: 70\n"));
}

TEST_F(Cli, WrongUsageListsTheCommands) {
    Outcome r = runCli({});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("info FILE"));
    EXPECT_TRUE(r.err.contains("convert IN OUT"));
    EXPECT_EQ(runCli({"frobnicate"}).status, 2);
    EXPECT_EQ(runCli({"convert", path("only-one.gif")}).status, 2);
    EXPECT_EQ(runCli({"convert", "a.gif", "b.gif", "--quality", "high"}).status, 2);
}

}  // namespace

// The file commands start without the GUI libraries; an option that draws
// loads them with the drawing part and still works.
TEST_F(Cli, FileCommandsLoadNoGuiLibrary) {
    ASSERT_TRUE(magick({"-size", "40x30", "xc:#336699", path("in.bmp")}));
    const auto librariesOf = [](const QStringList& arguments, int& status) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_DEBUG", "files");
        process.setProcessEnvironment(env);
        process.start(QUILLON_CLI, arguments);
        process.waitForFinished(60000);
        status = process.exitCode();
        return QString::fromUtf8(process.readAllStandardError());
    };
    int status = -1;
    for (const QStringList& run : {QStringList{"info", path("in.bmp")},
                                   QStringList{"convert", path("in.bmp"), path("out.png"), "--op", "invert"},
                                   QStringList{}}) {
        const QString loaded = librariesOf(run, status);
        EXPECT_TRUE(loaded.contains("libQt6Core")) << run.join(' ').toStdString();
        EXPECT_FALSE(loaded.contains("libQt6Gui")) << run.join(' ').toStdString();
        EXPECT_FALSE(loaded.contains("libQt6DBus")) << run.join(' ').toStdString();
    }
    const QString drawing = librariesOf({"convert", path("in.bmp"), path("cleared.bmp"), "--delete"}, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(drawing.contains("quillon-cli-gui.so"));
    EXPECT_TRUE(drawing.contains("libQt6Gui"));
    const Outcome cleared = runCli({"info", path("cleared.bmp")});
    EXPECT_EQ(cleared.status, 0) << cleared.err.toStdString();
}
