#include "platform/default_programs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillon {
namespace {

void write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

TEST(PlatformDefaultPrograms, ExecLineIsCutAtTheFirstBlankAndResolvedOnPath) {
    QTemporaryDir dir;
    write(dir.filePath("bin/webby"), "#!/bin/sh\n");
    QFile::setPermissions(dir.filePath("bin/webby"), QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    const QStringList path{dir.filePath("empty"), dir.filePath("bin")};
    EXPECT_EQ(programOfExecLine(QStringLiteral("webby %u"), path), dir.filePath("bin/webby"));
    EXPECT_EQ(programOfExecLine(QStringLiteral("/usr/lib/b/browser --flag %U"), path),
              QStringLiteral("/usr/lib/b/browser"));
    EXPECT_EQ(programOfExecLine(QStringLiteral("\"/opt/My Web/b\" %u"), path), QStringLiteral("/opt/My Web/b"));
    EXPECT_EQ(programOfExecLine(QStringLiteral("unknown-program %u"), path), QStringLiteral("unknown-program"));
}

TEST(PlatformDefaultPrograms, BrowserFromTheFirstListThatNamesAnExistingHandler) {
    QTemporaryDir dir;
    XdgDirs d;
    d.configHome = dir.filePath("home-config");
    d.configDirs = {dir.filePath("etc-xdg")};
    d.dataHome = dir.filePath("home-data");
    d.dataDirs = {dir.filePath("usr-share")};
    EXPECT_EQ(discoverBrowser(d), QString()) << "no associations at all";

    write(dir.filePath("etc-xdg/mimeapps.list"),
          "[Added Associations]\ntext/html=wrong.desktop\n[Default Applications]\ntext/html=gone.desktop;sys.desktop;\n");
    write(dir.filePath("usr-share/applications/sys.desktop"),
          "[Desktop Entry]\nExec=/usr/bin/sysweb %u\n[Desktop Action new]\nExec=/usr/bin/other\n");
    write(dir.filePath("usr-share/applications/wrong.desktop"), "[Desktop Entry]\nExec=/usr/bin/wrong\n");
    EXPECT_EQ(discoverBrowser(d), QStringLiteral("/usr/bin/sysweb"));

    // The user's own list wins, and its handler may live in the user's data.
    write(dir.filePath("home-config/mimeapps.list"), "[Default Applications]\ntext/html=mine.desktop\n");
    write(dir.filePath("home-data/applications/mine.desktop"), "[Desktop Entry]\nExec=/home/u/bin/mine\n");
    EXPECT_EQ(discoverBrowser(d), QStringLiteral("/home/u/bin/mine"));
}

TEST(PlatformDefaultPrograms, HtmlEditorPrefersWebDevelopmentOverTextEditors) {
    QTemporaryDir dir;
    XdgDirs d;
    d.dataHome = dir.filePath("data");
    EXPECT_EQ(discoverHtmlEditor(d), QString());
    write(dir.filePath("data/applications/a-text.desktop"),
          "[Desktop Entry]\nExec=/usr/bin/texted %F\nMimeType=text/plain;text/html;\nCategories=Utility;TextEditor;\n");
    write(dir.filePath("data/applications/b-view.desktop"),
          "[Desktop Entry]\nExec=/usr/bin/viewer\nMimeType=text/html;\nCategories=Network;WebBrowser;\n");
    EXPECT_EQ(discoverHtmlEditor(d), QStringLiteral("/usr/bin/texted"));
    write(dir.filePath("data/applications/c-web.desktop"),
          "[Desktop Entry]\nExec=/usr/bin/webdev %f\nMimeType=text/html;\nCategories=Development;WebDevelopment;\n");
    EXPECT_EQ(discoverHtmlEditor(d), QStringLiteral("/usr/bin/webdev"));
}

}  // namespace
}  // namespace quillon
