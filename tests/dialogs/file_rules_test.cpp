// Path rules, the format list and its filters, and the settings store.
#include "dialogs/dialog_settings.h"
#include "dialogs/file_names.h"
#include "dialogs/save_format_list.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;

TEST(DialogsFileNames, ExtensionIsReplacedOrAppendedInTheNameOnly) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"a.bmp", "a.gif"},
        {"a", "a.gif"},
        {"a.tar.bmp", "a.tar.gif"},
        {"/pictures.old/a", "/pictures.old/a.gif"},
        {"/p/a.", "/p/a.gif"},
        {"無題", "無題.gif"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replaceExtension(QString::fromUtf8(c.path), "gif"), QString::fromUtf8(c.expected))
            << c.path;
    EXPECT_EQ(nameExtension("/x.d/pic.JPG"), "JPG");
    EXPECT_EQ(nameExtension("/x.d/pic"), "");
}

TEST(DialogsFileNames, FolderKeepsTheSeparatorAfterARoot) {
    struct Case {
        const char* path;
        const char* folder;
    } cases[] = {
        {"/home/u/pic.gif", "/home/u"}, {"/pic.gif", "/"},      {"C:/pic.gif", "C:/"},
        {"C:\\pic.gif", "C:\\"},        {"C:\\d\\p.gif", "C:\\d"}, {"pic.gif", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(folderOfPath(c.path), c.folder) << c.path;
}

TEST(DialogsFileNames, BareNamesJoinTheFolder) {
    EXPECT_EQ(joinFolder("/a", "x.bmp"), "/a/x.bmp");
    EXPECT_EQ(joinFolder("/a/", "x.bmp"), "/a/x.bmp");
    EXPECT_EQ(joinFolder("/a", "/b/x.bmp"), "/b/x.bmp");
}

TEST(DialogsFormats, SaveAsFilterListsTheTwentyFormatsInTableOrder) {
    const SaveFormatList& list = saveFormatList();
    ASSERT_EQ(list.count(), 20);
    EXPECT_EQ(list.saveAsFilter,
              QString::fromUtf8(
                  "TIFFﾌｧｲﾙ(*.TIF)|*.TIF|TGAﾌｧｲﾙ(*.TGA)|*.TGA|BMPﾌｧｲﾙ(*.BMP)|*.BMP|GIFﾌｧｲﾙ(*.GIF)|*.GIF|"
                  "DIBﾌｧｲﾙ(*.DIB)|*.DIB|PCXﾌｧｲﾙ(*.PCX)|*.PCX|JPEGﾌｧｲﾙ(*.JPG)|*.JPG|CALSﾌｧｲﾙ(*.CAL)|*.CAL|"
                  "MacPaintﾌｧｲﾙ(*.MAC)|*.MAC|GEM Imageﾌｧｲﾙ(*.IMG)|*.IMG|Microsoft Paintﾌｧｲﾙ(*.MSP)|*.MSP|"
                  "WordPerfectﾌｧｲﾙ(*.WPG)|*.WPG|SUN Rasterﾌｧｲﾙ(*.RAS)|*.RAS|Macintosh PICTUREﾌｧｲﾙ(*.PCT)|"
                  "*.PCT|PostScript Rasterﾌｧｲﾙ(*.EPS)|*.EPS|Windows ﾒﾀﾌｧｲﾙ(*.WMF)|*.WMF|IBM IOCAﾌｧｲﾙ"
                  "(*.ICA)|*.ICA|WinFaxﾌｧｲﾙ(*.FXS)|*.FXS|CompuServe PNGﾌｧｲﾙ(*.PNG)|*.PNG|Photoshopﾌｧｲﾙ"
                  "(*.PSD)|*.PSD||"));
    EXPECT_EQ(list.indexOf("gif"), 4);
    EXPECT_EQ(list.indexOf("Jpg"), 7);
    EXPECT_EQ(list.indexOf("ABC"), 0);
    EXPECT_EQ(list.indexOf(""), 0);
    EXPECT_EQ(list.extension(20), "PSD");
}

TEST(DialogsFormats, NameFiltersShowTheDescriptionsAndMatchTheirPatterns) {
    const QStringList open = toNameFilters(saveFormatList().openFilter);
    ASSERT_EQ(open.size(), 23);
    EXPECT_EQ(open.front(),
              QString::fromUtf8("ｲﾒｰｼﾞﾌｧｲﾙ (*.BMP *.GIF *.JPG *.TIF *.DIB *.PCX *.TGA *.CAL *.MAC "
                                "*.IMG *.MSP *.WPG *.RAS *.PCT *.EPS *.WMF *.ICA *.FXS *.PNG *.PSD "
                                "*.PCD)"));
    EXPECT_EQ(open[1], QString::fromUtf8("TIFFﾌｧｲﾙ(*.TIF) (*.TIF)"));
    EXPECT_EQ(open[21], QString::fromUtf8("Photo CDﾌｧｲﾙ(*.PCD) (*.PCD)"));
    EXPECT_EQ(open[22], QString::fromUtf8("全てのﾌｧｲﾙ (*)"));
    EXPECT_EQ(toNameFilters(saveFormatList().saveAsFilter).size(), 20);
}

TEST(DialogsSettings, StoreReadsDefaultsAndKeepsThePreviewAsText) {
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    QSettingsDialogSettings settings;
    EXPECT_FALSE(settings.filePreview());
    EXPECT_EQ(settings.initialSavePath(), "");
    EXPECT_EQ(settings.initialSaveFormat(), 3);
    EXPECT_EQ(settings.initialSaveQuality(), 100);

    settings.setFilePreview(true);
    settings.setInitialSavePath("/tmp/x");
    settings.setInitialSaveFormat(4);
    settings.setInitialSaveQuality(75);
    QSettings raw("Tessaly", "Quillon");
    raw.beginGroup("Settings");
    EXPECT_EQ(raw.value("FileDialogPreview").toString(), "True");
    EXPECT_EQ(raw.value("InitialSaveFormat").toInt(), 4);
    EXPECT_TRUE(settings.filePreview());
    EXPECT_EQ(settings.initialSavePath(), "/tmp/x");
    EXPECT_EQ(settings.initialSaveQuality(), 75);

    raw.setValue("FileDialogPreview", "true");  // only the exact text counts
    raw.sync();
    EXPECT_FALSE(settings.filePreview());
}
