// The save-format table's strings and look-ups, the format names and the
// image information texts.
#include "image/gif_options.h"
#include "image/picture_info.h"
#include "image/save_formats.h"

#include <gtest/gtest.h>

namespace {

using namespace quillon;

TEST(SaveFormats, FilterStringsAreBuiltFromTheTable) {
    const char* pairs =
        "TIFFﾌｧｲﾙ(*.TIF)|*.TIF|TGAﾌｧｲﾙ(*.TGA)|*.TGA|BMPﾌｧｲﾙ(*.BMP)|*.BMP|GIFﾌｧｲﾙ(*.GIF)|*.GIF|"
        "DIBﾌｧｲﾙ(*.DIB)|*.DIB|PCXﾌｧｲﾙ(*.PCX)|*.PCX|JPEGﾌｧｲﾙ(*.JPG)|*.JPG|CALSﾌｧｲﾙ(*.CAL)|*.CAL|"
        "MacPaintﾌｧｲﾙ(*.MAC)|*.MAC|GEM Imageﾌｧｲﾙ(*.IMG)|*.IMG|Microsoft Paintﾌｧｲﾙ(*.MSP)|*.MSP|"
        "WordPerfectﾌｧｲﾙ(*.WPG)|*.WPG|SUN Rasterﾌｧｲﾙ(*.RAS)|*.RAS|"
        "Macintosh PICTUREﾌｧｲﾙ(*.PCT)|*.PCT|PostScript Rasterﾌｧｲﾙ(*.EPS)|*.EPS|"
        "Windows ﾒﾀﾌｧｲﾙ(*.WMF)|*.WMF|IBM IOCAﾌｧｲﾙ(*.ICA)|*.ICA|WinFaxﾌｧｲﾙ(*.FXS)|*.FXS|"
        "CompuServe PNGﾌｧｲﾙ(*.PNG)|*.PNG|Photoshopﾌｧｲﾙ(*.PSD)|*.PSD|";
    EXPECT_EQ(saveAsFilter(), QString::fromUtf8(pairs) + "|");
    EXPECT_EQ(openFilter(),
              QString::fromUtf8("ｲﾒｰｼﾞﾌｧｲﾙ|*.BMP;*.GIF;*.JPG;*.TIF;*.DIB;*.PCX;*.TGA;*.CAL;*.MAC;"
                                "*.IMG;*.MSP;*.WPG;*.RAS;*.PCT;*.EPS;*.WMF;*.ICA;*.FXS;*.PNG;*.PSD;"
                                "*.PCD|") +
                  QString::fromUtf8(pairs) +
                  QString::fromUtf8("Photo CDﾌｧｲﾙ(*.PCD)|*.PCD|全てのﾌｧｲﾙ|*.*||"));
    EXPECT_EQ(readableExtensions().size(), 21);
    EXPECT_TRUE(isReadableExtension("pcd"));
    EXPECT_FALSE(isReadableExtension("jpeg"));
}

TEST(SaveFormats, ExtensionLookUpIgnoresCaseAndKnowsOnlyTheTwenty) {
    EXPECT_EQ(saveFormatIndexOf("tif"), 1);
    EXPECT_EQ(saveFormatIndexOf("Gif"), 4);
    EXPECT_EQ(saveFormatIndexOf("PSD"), 20);
    EXPECT_EQ(saveFormatIndexOf("jpeg"), 0);
    EXPECT_EQ(saveFormatIndexOf("ABC"), 0);
    EXPECT_EQ(saveFormatIndexOf(""), 0);
    EXPECT_EQ(saveFormatIndexOfPath("/a.b/picture.JpG"), 7);
    EXPECT_EQ(saveFormatIndexOfPath("/pictures.bmp/noextension"), 0);
    EXPECT_EQ(saveFormatIndexOfPath("archive.tar.png"), 19);
    ASSERT_EQ(saveFormats().size(), 20u);
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(saveFormatAt(i)->index, i);
    EXPECT_EQ(saveFormatAt(0), nullptr);
    EXPECT_EQ(saveFormatAt(21), nullptr);
}

TEST(SaveFormats, FormatCodeTableEndsWithMinusOne) {
    const auto& table = formatCodeTable();
    ASSERT_EQ(table.size(), 19u);
    EXPECT_EQ(table.back().formatCode, -1);
    EXPECT_STREQ(table[3].extension, "DIB");
    EXPECT_EQ(table[3].formatCode, 6);
    EXPECT_EQ(QString::fromUtf8(table[17].shortName), QString::fromUtf8("CompuServe PNGﾌｧｲﾙ"));
}

TEST(FormatNames, StringNumberFollowsTheCode) {
    const std::pair<int, const char*> cases[] = {
        {1, "ZSoft PCX ﾌｧｲﾙ"}, {2, "GIF ﾌｧｲﾙ"}, {3, "TIF ﾌｧｲﾙ"}, {6, "ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ"},
        {10, "JPEG(JFIF) ﾌｧｲﾙ"}, {15, "Windows ﾒﾀﾌｧｲﾙ"}, {16, "Post Script ﾌｧｲﾙ"},
        {30, "LEAD  Proprietary Lossless ﾌｧｲﾙ"}, {50, "CALS ﾌｧｲﾙ"}, {56, "Macintosh PCT ﾌｧｲﾙ"},
        {75, "PNG ﾌｧｲﾙ"}, {76, "PhotoShop ﾌｧｲﾙ"}, {49, "FAX G4 ﾌｧｲﾙ"}, {7, ""}, {8, ""}, {77, ""}};
    for (const auto& [code, name] : cases) EXPECT_EQ(formatNameForCode(code), QString::fromUtf8(name)) << code;
    EXPECT_EQ(formatNameString(6021), formatNameString(6020));
}

TEST(PictureInfo, FormatTextSuffixes) {
    GifOptions none, transparent, interlaced, both;
    transparent.transparent = 1;
    interlaced.interlaced = 1;
    both.transparent = both.interlaced = 1;
    struct Case {
        int code;
        const char* path;
        bool progressive;
        GifOptions gif;
        const char* expected;
    };
    const Case cases[] = {
        {2, "a.gif", false, none, "GIF ﾌｧｲﾙ"},
        {2, "a.gif", false, transparent, "GIF ﾌｧｲﾙ(透明)"},
        {2, "a.gif", false, interlaced, "GIF ﾌｧｲﾙ(ｲﾝﾀｰﾚｰｽ)"},
        {2, "a.gif", true, both, "GIF ﾌｧｲﾙ(透明, ｲﾝﾀｰﾚｰｽ)"},
        {10, "a.jpg", true, both, "JPEG(JFIF) ﾌｧｲﾙ(ﾌﾟﾛｸﾞﾚｯｼﾌﾞ)"},
        {10, "a.jpg", false, none, "JPEG(JFIF) ﾌｧｲﾙ"},
        {6, "a.bmp", true, both, "ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ"},
        {0, "a.wmf", false, none, "Windows ﾒﾀﾌｧｲﾙ"},
        {0, "a.bmp", false, none, ""},
        {2, "", false, both, "未定"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pictureFormatText(c.code, c.path, c.progressive, c.gif), QString::fromUtf8(c.expected))
            << c.expected;
}

TEST(PictureInfo, PathSizeAndDepthTexts) {
    EXPECT_EQ(picturePathText(""), QString::fromUtf8("未保存"));
    EXPECT_EQ(picturePathText("/x/y.bmp"), "/x/y.bmp");
    EXPECT_EQ(pictureSizeText(640, 480), QString::fromUtf8("640 x 480 ﾄﾞｯﾄ"));
    const std::pair<int, const char*> depths[] = {
        {1, "1Bit(2色)"}, {4, "4Bit(16色)"}, {8, "8Bit(256色)"}, {15, "15Bit(32768色)"},
        {16, "16Bit(65536色)"}, {24, "24Bit(1600万色)"}, {32, "32Bit(1600万色)"}, {2, ""}};
    for (const auto& [bits, text] : depths) EXPECT_EQ(pictureDepthText(bits), QString::fromUtf8(text));
}

}  // namespace
