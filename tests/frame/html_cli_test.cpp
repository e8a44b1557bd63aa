// quillon-cli html-page and html-refs as a shell user meets them.
#include "resources/strings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QByteArray out, err;
};

Outcome cli(const QStringList& arguments) {
    QProcess process;
    process.start(QUILLON_CLI, arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

class HtmlCli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(HtmlCli, HtmlPagePrintsThePathOfEachNewPage) {
    const QString picture = write(QString::fromUtf8("花 火.jpg"), "not looked at");
    const Outcome first = cli({"html-page", picture});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, dir.filePath("QL000000.HTM").toUtf8() + "\n");
    const Outcome second = cli({"html-page", picture});
    EXPECT_EQ(second.out, dir.filePath("QL000001.HTM").toUtf8() + "\n");
    QFile page(dir.filePath("QL000001.HTM"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains(QString::fromUtf8("<IMG SRC=\"花 火.jpg\">\r\n").toUtf8()));

    const Outcome missing = cli({"html-page", dir.filePath("none.gif")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("QL000002.HTM")));
    EXPECT_EQ(cli({"html-page"}).status, 2);
}

TEST_F(HtmlCli, HtmlRefsPrintsTheListInUtf8OrSaysThereIsNone) {
    write(QString::fromUtf8("表紙.gif"), "");
    write("b.jpg", "");
    // Shift-JIS: 表紙 is 95 5C 8E 86.
    const QString page = write("page.htm", "<img src=\"\x95\x5c\x8e\x86.gif\"><IMG SRC=\"b.jpg\"><img src=\"c.gif\">");
    const Outcome listed = cli({"html-refs", page});
    EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out, QString::fromUtf8("表紙.gif\nb.jpg\n").toUtf8());
    EXPECT_TRUE(listed.err.isEmpty());

    const Outcome none = cli({"html-refs", write("none.htm", "<p>no pictures</p>")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_EQ(none.err, quillon::loadString(5060).toUtf8() + "\n");

    const QString missing = dir.filePath("missing.htm");
    const Outcome unreadable = cli({"html-refs", missing});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.err, (quillon::formatMessage(5028, missing) + "\n" + quillon::loadString(5060) + "\n").toUtf8());
}

TEST_F(HtmlCli, HelpNamesBothCommands) {
    const Outcome help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.contains("html-page PICTURE"));
    EXPECT_TRUE(help.err.contains("html-refs PAGE"));
}

}  // namespace
