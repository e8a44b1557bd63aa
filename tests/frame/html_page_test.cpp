// The page written beside a picture, read back by the reference scan, and
// the outside programs started for real.
#include "frame/external_programs.h"
#include "frame/html_page.h"
#include "frame/html_refs.h"
#include "tests/app/scripted_ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace quillon {
namespace {

class HtmlPageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString touch(const QString& name) {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        return path;
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
    test::ScriptedUi ui;
};

TEST_F(HtmlPageTest, WritesSixLinesBesideThePicture) {
    const QString picture = touch("Photo.jpg");
    const QString page = writeHtmlPage(picture, ui);
    EXPECT_EQ(page, dir.filePath("QL000000.HTM"));
    EXPECT_EQ(read(page), QByteArray("<HTML>\r\n"
                                     "<META NAME=GENERATOR CONTENT=\"Quillon\">\r\n"
                                     "<BODY>\r\n"
                                     "<IMG SRC=\"Photo.jpg\">\r\n"
                                     "</BODY>\r\n"
                                     "</HTML>\r\n"));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(HtmlPageTest, ThePictureLineByTheLastThreeCharacters) {
    const struct {
        const char* name;
        const char* line;
    } cases[] = {
        {"photo.GIF", "<IMG SRC=\"photo.GIF\">"},
        {"a.Jpg", "<IMG SRC=\"a.Jpg\">"},
        {"scan.bmp", "<EMBED SRC=\"scan.bmp\">"},
        {"face.tif", "<EMBED SRC=\"face.tif\">"},
        {"x.jpeg", "<EMBED SRC=\"x.jpeg\">"},
        {"my photo.gif", "<IMG SRC=\"my photo.gif\">"},
        {"gif", "<IMG SRC=\"gif\">"},
    };
    for (const auto& c : cases) {
        const QList<QByteArray> lines = htmlPageBytes(QString::fromUtf8(c.name)).split('\n');
        ASSERT_EQ(lines.size(), 7) << c.name;
        EXPECT_EQ(lines[3], QByteArray(c.line) + '\r') << c.name;
    }
}

TEST_F(HtmlPageTest, TakesTheFirstFreeNumber) {
    touch("a.gif");
    touch("QL000000.HTM");
    touch("QL000002.HTM");
    EXPECT_EQ(writeHtmlPage(dir.filePath("a.gif"), ui), dir.filePath("QL000001.HTM"));
    // A folder of that name takes the number too.
    QDir(dir.path()).mkdir("QL000003.HTM");
    EXPECT_EQ(writeHtmlPage(dir.filePath("a.gif"), ui), dir.filePath("QL000004.HTM"));
    EXPECT_EQ(read(dir.filePath("QL000000.HTM")), QByteArray()) << "an existing page is left alone";
    EXPECT_EQ(htmlPageName(999999), "QL999999.HTM");
}

TEST_F(HtmlPageTest, APageThatCannotBeCreatedShowsItsNameWithTheStopIcon) {
    const QString picture = dir.filePath("gone/a.gif");  // its folder no longer exists
    EXPECT_TRUE(writeHtmlPage(picture, ui).isEmpty());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], QString::fromUtf8("HTMLファイル QL000000.HTM を作成できませんでした。"));
    EXPECT_EQ(ui.icons[0], MsgIcon::Stop);
}

TEST_F(HtmlPageTest, ANameOutsideAsciiIsDeclaredAndReadsBack) {
    const QString name = QString::fromUtf8("夏の海.gif");
    const QString page = writeHtmlPage(touch(name), ui);
    const QList<QByteArray> lines = read(page).split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[1], "<META NAME=GENERATOR CONTENT=\"Quillon\">\r");
    EXPECT_EQ(lines[2], "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r");
    EXPECT_EQ(lines[4], "<IMG SRC=\"" + name.toUtf8() + "\">\r");
    // The picture list finds the picture of every page written here.
    for (const QString& picture : {name, QStringLiteral("my photo.gif"), QStringLiteral("scan.bmp")}) {
        const QString written = writeHtmlPage(touch(picture), ui);
        const ReferenceScan scan = scanPictureReferences(written, ui);
        ASSERT_EQ(scan.references.size(), 1) << picture.toStdString();
        EXPECT_EQ(scan.references[0].value, picture);
        EXPECT_EQ(scan.references[0].path, dir.filePath(picture));
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

// Waits for a file that a detached program writes.
QByteArray waitForFile(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray text = f.readAll();
            if (text.endsWith("END\n")) return text;
        }
        QThread::msleep(20);
    }
    return {};
}

TEST_F(HtmlPageTest, AProgramSettingIsSplitAndGetsTheFileAsOneArgument) {
    EXPECT_EQ(externalCommandLine("\"/opt/my browser/run\" --new-window", {"/p/a b.gif"}),
              (QStringList{"/opt/my browser/run", "--new-window", "/p/a b.gif"}));
    EXPECT_EQ(externalCommandLine("  ", {"/p/a.gif"}), QStringList());

    // A script in a folder with blanks records its arguments.
    const QString script = touch("the tools/record args.sh");
    const QString record = dir.filePath("args.txt");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" + record.toUtf8() +
                 ".part'\necho END >> '" + record.toUtf8() + ".part'\nmv '" + record.toUtf8() + ".part' '" +
                 record.toUtf8() + "'\n"));
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    const QString picture = touch("folder with blanks/it's \"quoted\".gif");
    ASSERT_TRUE(startExternalProgram("\"" + script + "\" --flag", {picture}));
    EXPECT_EQ(waitForFile(record), "[--flag]\n[" + picture.toUtf8() + "]\nEND\n");

    // The path of the program alone, blanks and all.
    QFile::remove(record);
    ASSERT_TRUE(startExternalProgram(script, {picture}));
    EXPECT_EQ(waitForFile(record), "[" + picture.toUtf8() + "]\nEND\n");

    EXPECT_FALSE(startExternalProgram(dir.filePath("no such program"), {picture}));
    EXPECT_FALSE(startExternalProgram(QString()));
}

}  // namespace
}  // namespace quillon
