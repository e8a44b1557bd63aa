#include "app/settings.h"
#include "platform/default_programs.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillon {
namespace {

class AppSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<QSettings>(dir.filePath("Quillon.conf"), QSettings::IniFormat);
        nothing.dataHome = dir.filePath("nodata");
        nothing.configHome = dir.filePath("noconfig");
    }
    void put(const char* key, const QVariant& value) {
        store->setValue(QStringLiteral("Settings/") + QLatin1String(key), value);
    }
    QTemporaryDir dir;
    std::unique_ptr<QSettings> store;
    XdgDirs nothing;
    const QSize screen{1024, 768};
};

TEST_F(AppSettings, FreshStoreGivesEveryDefault) {
    const Settings s = loadSettings(*store, screen, nothing);
    EXPECT_FALSE(s.fileDialogPreview);
    EXPECT_EQ(s.dragDrop, 1);
    EXPECT_EQ(s.qv10BaudRate, 5);
    EXPECT_EQ(s.qv10ReceiveTimeOut, 10000);
    EXPECT_EQ(s.qv10SendTimeOut, 1000);
    EXPECT_EQ(s.qv10QuitKind, 1);
    EXPECT_EQ(s.qv10Gamma, 1);
    // The upper left quarter of the screen.
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 0);
    EXPECT_EQ(s.right, 512);
    EXPECT_EQ(s.bottom, 384);
    EXPECT_EQ(s.show, 1);
    EXPECT_EQ(s.browserPath, QString()) << "nothing to discover";
    EXPECT_EQ(s.ftpPath, QString());
    const SaveDefaults d = readSaveDefaults(*store);
    EXPECT_EQ(d.initialSavePath, QString());
    EXPECT_EQ(d.initialSaveFormat, 3);
    EXPECT_EQ(d.initialSaveQuality, 100);
}

TEST_F(AppSettings, WindowRectangleIsClampedToTheScreen) {
    struct Case { int l, t, r, b; int el, et, er, eb; };
    const Case cases[] = {
        {-50, 10, 400, 300, 0, 10, 400, 300},
        {10, 10, 5000, 300, 10, 10, 1023, 300},
        {1024, 768, 1100, 800, 0, 0, 1023, 767},
        {100, 200, 50, 100, 100, 200, 1023, 767},  // right and bottom before left and top
        {0, 0, 1024, 768, 0, 0, 1024, 768},        // the screen's own edges are kept
    };
    for (const Case& c : cases) {
        put("left", c.l), put("top", c.t), put("right", c.r), put("bottom", c.b);
        const Settings s = loadSettings(*store, screen, nothing);
        EXPECT_EQ(s.left, c.el);
        EXPECT_EQ(s.top, c.et);
        EXPECT_EQ(s.right, c.er);
        EXPECT_EQ(s.bottom, c.eb);
    }
}

TEST_F(AppSettings, PreviewIsTrueOnlyForTheExactText) {
    for (auto [text, expected] : {std::pair{"True", true}, {"true", false}, {"False", false}, {"1", false}}) {
        put("FileDialogPreview", QString::fromLatin1(text));
        EXPECT_EQ(loadSettings(*store, screen, nothing).fileDialogPreview, expected) << text;
    }
}

TEST_F(AppSettings, SavedValuesComeBackAndStarPathsAreDiscoveredAndStored) {
    // A browser known to the associations.
    XdgDirs dirs = nothing;
    QDir().mkpath(dir.filePath("config"));
    QDir().mkpath(dir.filePath("data/applications"));
    dirs.configHome = dir.filePath("config");
    dirs.dataHome = dir.filePath("data");
    dirs.path = {};
    QFile list(dir.filePath("config/mimeapps.list"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\ntext/html=web.desktop\n");
    list.close();
    QFile desktop(dir.filePath("data/applications/web.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::WriteOnly));
    desktop.write("[Desktop Entry]\nType=Application\nExec=/opt/web/browser --new-window %u\n");
    desktop.close();

    Settings s = loadSettings(*store, screen, dirs);
    EXPECT_EQ(s.browserPath, QStringLiteral("/opt/web/browser"));
    s.fileDialogPreview = true;
    s.dragDrop = 0;
    s.qv10BaudRate = 3;
    s.qv10Gamma = 0;
    s.left = 5, s.top = 6, s.right = 300, s.bottom = 200, s.show = 3;
    s.ftpPath = QStringLiteral("/usr/bin/ftp");
    saveSettings(*store, s);
    EXPECT_EQ(store->value("Settings/BrowserPath").toString(), QStringLiteral("/opt/web/browser"));
    EXPECT_EQ(store->value("Settings/FileDialogPreview").toString(), QStringLiteral("True"));

    const Settings back = loadSettings(*store, screen, nothing);
    EXPECT_TRUE(back.fileDialogPreview);
    EXPECT_EQ(back.dragDrop, 0);
    EXPECT_EQ(back.qv10BaudRate, 3);
    EXPECT_EQ(back.qv10Gamma, 0);
    EXPECT_EQ(back.left, 5);
    EXPECT_EQ(back.bottom, 200);
    EXPECT_EQ(back.show, 3);
    EXPECT_EQ(back.browserPath, QStringLiteral("/opt/web/browser")) << "a stored path is not discovered again";
    EXPECT_EQ(back.ftpPath, QStringLiteral("/usr/bin/ftp"));
}

TEST_F(AppSettings, SaveDefaultsRoundTrip) {
    writeSaveDefaults(*store, {QStringLiteral("/home/u/pictures"), 7, 80});
    const SaveDefaults d = readSaveDefaults(*store);
    EXPECT_EQ(d.initialSavePath, QStringLiteral("/home/u/pictures"));
    EXPECT_EQ(d.initialSaveFormat, 7);
    EXPECT_EQ(d.initialSaveQuality, 80);
}

}  // namespace
}  // namespace quillon
