// Which reader and writer each file gets, the save-format table's depth rules,
// the refusals, and the error reporter.
#include "image/error_messages.h"
#include "image/file_dispatch.h"
#include "image/gif_codec.h"
#include "image/image_object.h"
#include "image/last_result.h"
#include "image/save_formats.h"
#include "imaging/file_io.h"
#include "imaging/imaging.h"
#include "imaging/result.h"
#include "tests/imaging/oracle.h"
#include "tests/imaging/test_pictures.h"
#include "ui/ui_port.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace quillon;
using imaging::testing::run;

struct ScriptedPort : UiPort {
    struct Shown {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
    };
    std::vector<Shown> shown;
    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon) override {
        shown.push_back({text, buttons, icon});
        return MsgAnswer::Ok;
    }
    void beep() override {}
};

class FileDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        setScreenInfo(ScreenInfo{});
        setLastImagingResult(1);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    std::string local(const QString& name) const { return QFile::encodeName(path(name)).toStdString(); }
    void magick(const std::string& arguments) {
        ASSERT_TRUE(run(std::string(imaging::testing::kMagick) + " " + arguments)) << arguments;
    }
    // A picture object holding a copy of a test bitmap.
    static void fill(CImageObject& object, const imaging::Bitmap& bitmap) {
        object.runImaging([&](imaging::Bitmap& b) { return imaging::copy(b, bitmap); }, false);
        object.setHasBitmap(true);
    }
    QTemporaryDir dir;
};

TEST_F(FileDispatch, JpgInAnyCaseGoesThroughJpegReadAndJpegThroughTheLibrary) {
    magick("rose: -interlace JPEG " + local("p.jpg"));
    QFile::copy(path("p.jpg"), path("q.JpG"));
    QFile::copy(path("p.jpg"), path("r.jpeg"));
    // Only JPEGRead reports the progressive flag.
    for (const char* name : {"p.jpg", "q.JpG"}) {
        CImageObject picture;
        ASSERT_TRUE(openPicture(picture, path(name))) << name;
        EXPECT_TRUE(picture.progressive) << name;
        EXPECT_EQ(picture.bitmap().formatCode, 10);
        EXPECT_EQ(picture.width(), 70);
        EXPECT_EQ(picture.bitsPerPixel(), 24);
    }
    CImageObject viaLibrary;
    ASSERT_TRUE(openPicture(viaLibrary, path("r.jpeg")));
    EXPECT_FALSE(viaLibrary.progressive);
    EXPECT_EQ(viaLibrary.bitmap().formatCode, 10);
    EXPECT_EQ(viaLibrary.width(), 70);
}

TEST_F(FileDispatch, GifGoesThroughTheOwnReaderWhateverItsName) {
    magick("rose: -colors 16 -interlace GIF " + local("a.gif"));
    // A GIF under another format's extension, an unknown one and none.
    const char* names[] = {"a.gif", "b.GIF", "c.pic", "d.jpg", "e.bmp", "noextension"};
    for (const char* name : names) QFile::copy(path("a.gif"), path(name));
    setScreenInfo(ScreenInfo{16, 120, 144});
    for (const char* name : names) {
        CImageObject picture;
        ASSERT_TRUE(openPicture(picture, path(name))) << name;
        EXPECT_EQ(picture.bitmap().formatCode, 2) << name;
        EXPECT_EQ(picture.gifOptions.interlaced, 1) << name;
        EXPECT_EQ(picture.bitsPerPixel(), 8);
        // A GIF has no resolution: it gets the screen's through the file options.
        EXPECT_EQ(picture.bitmap().xResolution, 120);
        EXPECT_EQ(picture.bitmap().yResolution, 144);
        EXPECT_FALSE(picture.bitmap().flags & imaging::flag::kDisplay16);
    }
}

TEST_F(FileDispatch, PictureNamedJpgThatIsNoJpegOpensByItsContent) {
    magick("rose: " + local("p.png"));
    QFile::copy(path("p.png"), path("p.jpg"));
    CImageObject picture;
    ASSERT_TRUE(openPicture(picture, path("p.jpg")));
    EXPECT_EQ(picture.bitmap().formatCode, 75);
    EXPECT_EQ(picture.width(), 70);
    // A JPEG under another name is read by the library, which knows JPEG too.
    magick("rose: " + local("j.jpg"));
    QFile::copy(path("j.jpg"), path("j.bmp"));
    CImageObject jpeg;
    ASSERT_TRUE(openPicture(jpeg, path("j.bmp")));
    EXPECT_EQ(jpeg.bitmap().formatCode, 10);
}

TEST_F(FileDispatch, SixteenBitDisplayBitOnlyForDeepPicturesOnASixteenBitScreen) {
    magick("rose: -type TrueColor bmp3:" + local("deep.bmp"));
    magick("rose: -colors 16 -type Palette bmp3:" + local("flat.bmp"));
    struct Case {
        int screenDepth;
        const char* file;
        bool expected;
    };
    for (const Case c : {Case{16, "deep.bmp", true}, Case{24, "deep.bmp", false},
                         Case{16, "flat.bmp", false}}) {
        setScreenInfo(ScreenInfo{c.screenDepth, 96, 96});
        CImageObject picture;
        ASSERT_TRUE(openPicture(picture, path(c.file)));
        EXPECT_EQ(bool(picture.bitmap().flags & imaging::flag::kDisplay16), c.expected)
            << c.file << " on " << c.screenDepth;
    }
}

TEST_F(FileDispatch, OpenFailuresLeaveTheCodeAndNoPicture) {
    CImageObject picture;
    EXPECT_FALSE(openPicture(picture, path("missing.bmp")));
    EXPECT_EQ(lastImagingResult(), imaging::kErrFileNotFound);
    QFile junk(path("junk.gif"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("GIF89a\x05\x00\x05\x00\x80\x00\x00\x01\x02", 15);
    junk.close();
    EXPECT_FALSE(openPicture(picture, path("junk.gif")));
    EXPECT_EQ(lastImagingResult(), imaging::kErrFileRead);
    EXPECT_FALSE(picture.hasBitmap());
}

TEST(SaveFormatRules, BitsHandedToTheWriter) {
    struct Case {
        int index, pictureBits, expected;
    };
    const Case cases[] = {
        {1, 4, 4},   {1, 16, 16}, {2, 4, 8},   {2, 1, 8},   {2, 16, 16}, {3, 16, 24},
        {3, 15, 15}, {3, 8, 8},   {4, 1, 8},   {5, 16, 24}, {6, 16, 24}, {7, 24, 24},
        {8, 24, 1},  {11, 8, 1},  {12, 9, 8},  {12, 24, 8}, {12, 4, 4},  {13, 16, 24},
        {14, 16, 24}, {15, 24, 8}, {16, 1, 8}, {16, 4, 8},  {16, 16, 24}, {16, 8, 8},
        {17, 8, 1},  {18, 4, 1},  {19, 16, 24}, {19, 32, 32}, {20, 4, 8}, {20, 16, 24},
        {20, 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bitsForSave(c.index, c.pictureBits), c.expected)
            << "index " << c.index << " bits " << c.pictureBits;
    EXPECT_EQ(formatCodeForSave(7, false), 10);
    EXPECT_EQ(formatCodeForSave(7, true), 100);
    EXPECT_EQ(formatCodeForSave(19, true), 75);
    EXPECT_EQ(formatCodeForSave(4, false), 2);
    EXPECT_EQ(formatCodeForSave(21, false), -1);
}

TEST_F(FileDispatch, SixteenBitPictureSavedAsBmpWrites24Bits) {
    CImageObject picture;
    const imaging::Bitmap source = imaging::testing::patterned(21, 13, 16);
    fill(picture, source);
    ASSERT_TRUE(savePictureOfView(picture, path("deep.bmp"), 3, 0, false));
    imaging::FileInfo info;
    ASSERT_EQ(imaging::fileInfo(local("deep.bmp"), info), imaging::kSuccess);
    EXPECT_EQ(info.bits, 24);
    CImageObject back;
    ASSERT_TRUE(openPicture(back, path("deep.bmp")));
    EXPECT_TRUE(imaging::testing::samePixels(back.bitmap(), source));
    EXPECT_EQ(picture.bitmap().formatCode, 6);
}

TEST_F(FileDispatch, GifSaveRefusesDeepPicturesAndKeepsTheOldFile) {
    QFile old(path("keep.gif"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    CImageObject picture;
    fill(picture, imaging::testing::patterned(8, 8, 16));
    EXPECT_FALSE(savePicture(picture, path("keep.gif"), 2, 8, 0));
    EXPECT_EQ(lastImagingResult(), imaging::kErrImageType);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(FileDispatch, GifSaveWritesThePictureDepthAndOptions) {
    CImageObject picture;
    fill(picture, imaging::testing::patterned(30, 10, 4));
    picture.gifOptions.transparent = 1;
    picture.gifOptions.transparentIndex = 5;
    picture.gifOptions.interlaced = 1;
    ASSERT_TRUE(savePictureOfView(picture, path("four.gif"), 4, 0, false));
    EXPECT_EQ(picture.bitmap().formatCode, 2);
    CImageObject back;
    ASSERT_TRUE(openPicture(back, path("four.gif")));
    EXPECT_EQ(back.gifOptions.transparent, 1);
    EXPECT_EQ(back.gifOptions.transparentIndex, 5);
    EXPECT_EQ(back.gifOptions.interlaced, 1);
    EXPECT_EQ(back.gifOptions.globalTableEntries, 16);
    EXPECT_TRUE(imaging::testing::samePixels(back.bitmap(), picture.bitmap()));
}

TEST_F(FileDispatch, JpegSaveSetsTheProgressiveFlagAsWritten) {
    CImageObject picture;
    fill(picture, imaging::testing::patterned(40, 30, 24));
    ASSERT_TRUE(savePictureOfView(picture, path("p.jpg"), 7, 90, true));
    EXPECT_TRUE(picture.progressive);
    CImageObject back;
    ASSERT_TRUE(openPicture(back, path("p.jpg")));
    EXPECT_TRUE(back.progressive);
    ASSERT_TRUE(savePictureOfView(back, path("b.jpg"), 7, 90, false));
    EXPECT_FALSE(back.progressive);
    CImageObject baseline;
    ASSERT_TRUE(openPicture(baseline, path("b.jpg")));
    EXPECT_FALSE(baseline.progressive);
    // The quality reaches the JPEG writer only.
    EXPECT_FALSE(savePictureOfView(back, path("bad.jpg"), 7, 3, false));
    EXPECT_EQ(lastImagingResult(), imaging::kErrCompressionParam);
    EXPECT_FALSE(QFile::exists(path("bad.jpg")));
}

TEST_F(FileDispatch, FailedSaveOfAViewIsReportedThroughThePort) {
    CImageObject picture;
    fill(picture, imaging::testing::patterned(8, 8, 24));
    ScriptedPort port;
    EXPECT_FALSE(savePictureOfView(picture, path("x.gif"), 4, 0, false, &port));
    ASSERT_EQ(port.shown.size(), 1u);
    EXPECT_EQ(port.shown[0].text, QString::fromUtf8("指定されたﾌｫｰﾏｯﾄはｲﾒｰｼﾞをｻﾎﾟｰﾄしていません。"));
    EXPECT_EQ(lastImagingResult(), 1);
    // A folder that is not there: the library's code, and the report follows.
    EXPECT_FALSE(savePictureOfView(picture, path("none/x.bmp"), 3, 0, false, &port));
    ASSERT_EQ(port.shown.size(), 2u);
    EXPECT_EQ(port.shown[1].text, QString::fromUtf8("指定されたﾌｧｲﾙにｱｸｾｽできません。"));
    EXPECT_TRUE(savePictureOfView(picture, path("x.bmp"), 3, 0, false, &port));
    EXPECT_EQ(port.shown.size(), 2u);
}

TEST(SaveRefusal, GifOfTrueColourAndJpegOfAnythingElse) {
    const QString gif = QString::fromUtf8("GIF形式はTrueColorで保存できません。\n他の形式で保存してください");
    const QString jpeg = QString::fromUtf8("JPEG形式はTrueColorでしか保存できません");
    EXPECT_EQ(saveRefusal(4, 24), gif);
    EXPECT_FALSE(saveRefusal(4, 8));
    EXPECT_FALSE(saveRefusal(4, 32));  // goes on to the writer, which refuses with -12
    EXPECT_EQ(saveRefusal(7, 8), jpeg);
    EXPECT_EQ(saveRefusal(7, 32), jpeg);
    EXPECT_FALSE(saveRefusal(7, 24));
    EXPECT_FALSE(saveRefusal(3, 24));
}

TEST(ErrorReporter, ShowsTheMessageOnceAndResetsTheResult) {
    ScriptedPort port;
    setLastImagingResult(1);
    EXPECT_TRUE(reportImagingError(port));
    EXPECT_TRUE(port.shown.empty());
    setLastImagingResult(-7);
    EXPECT_FALSE(reportImagingError(port));
    ASSERT_EQ(port.shown.size(), 1u);
    EXPECT_EQ(port.shown[0].text, QString::fromUtf8("指定されたﾌｧｲﾙにｱｸｾｽできません。"));
    EXPECT_EQ(port.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(port.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(lastImagingResult(), 1);
    EXPECT_TRUE(reportImagingError(port));
    EXPECT_EQ(port.shown.size(), 1u);
}

TEST(ErrorReporter, MessageForEachCode) {
    const char* memory = "ﾒﾓﾘ不足です。他のｱﾌﾟﾘｹｰｼｮﾝを終了してﾒﾓﾘを解放してください。";
    const char* access = "指定されたﾌｧｲﾙにｱｸｾｽできません。";
    const char* corrupt = "指定されたﾌｧｲﾙは、壊れているか拡張子とﾌｫｰﾏｯﾄが一致していません。";
    const char* region = "指定された選択領域が無効です。";
    const char* palette = "ﾃﾞｰﾀにﾊﾟﾚｯﾄ情報がありません。";
    const char* unknown = "原因不明のｴﾗｰが発生しました。";
    const std::pair<int, const char*> cases[] = {
        {-1, memory}, {-3, memory}, {-4, access}, {-6, access}, {-7, access}, {-8, access},
        {-10, access}, {-14, access}, {-5, "ﾌｧｲﾙ書き込み中にｴﾗｰがありました。"},
        {-9, "指定されたﾌｫｰﾏｯﾄは無効です。"}, {-12, "指定されたﾌｫｰﾏｯﾄはｲﾒｰｼﾞをｻﾎﾟｰﾄしていません。"},
        {-15, corrupt}, {-16, corrupt}, {-19, corrupt}, {-23, "指定された圧縮ﾊﾟﾗﾒｰﾀが無効です。"},
        {-24, region}, {-25, region}, {-27, "指定されたﾋﾞｯﾄ階層が無効です。"}, {-63, palette},
        {-64, palette}, {-2, unknown}, {-11, unknown}, {-13, unknown}, {-26, unknown},
        {-1000, unknown}};
    for (const auto& [code, text] : cases)
        EXPECT_EQ(imagingErrorMessage(code), QString::fromUtf8(text)) << code;
    EXPECT_TRUE(imagingErrorMessage(1).isEmpty());
}

}  // namespace
