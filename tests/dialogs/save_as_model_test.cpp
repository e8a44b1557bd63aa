// The Save As dialog's state: type and name, GIF enabling, swatch, pick mode;
// and the quality dialog's rules.
#include "dialogs/dialog_texts.h"
#include "dialogs/quality_model.h"
#include "dialogs/save_as_model.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

SavePictureFacts eightBitPicture() {
    SavePictureFacts facts;
    facts.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i) facts.palette << qRgb(i, 255 - i, 7);
    return facts;
}

}  // namespace

TEST(DialogsSaveAsModel, TypeChangeCarriesTheExtensionIntoTheName) {
    SaveAsModel model(saveFormatList(), 3, "a.bmp", eightBitPicture());
    model.opened();
    EXPECT_EQ(model.fileName(), "a.bmp");
    model.chooseType(kGifFormatIndex);
    EXPECT_EQ(model.fileName(), "a.gif");
    model.setFileName("photo");
    model.chooseType(kJpgFormatIndex);
    EXPECT_EQ(model.fileName(), "photo.jpg");
    model.setFileName("");
    model.chooseType(1);
    EXPECT_EQ(model.fileName(), "");
    EXPECT_EQ(model.formatIndex(), 1);
}

TEST(DialogsSaveAsModel, OpeningGivesANameWithoutDotTheTypesExtension) {
    SaveAsModel bare(saveFormatList(), 19, "無題", eightBitPicture());
    bare.opened();
    EXPECT_EQ(bare.fileName(), QString::fromUtf8("無題.png"));
    SaveAsModel dotted(saveFormatList(), 19, "a.xyz", eightBitPicture());
    dotted.opened();
    EXPECT_EQ(dotted.fileName(), "a.xyz");
}

TEST(DialogsSaveAsModel, GifOptionsOnlyForGifOfEightBitsOrFewer) {
    struct Case {
        int index, bits;
        bool enabled;
    } cases[] = {{4, 1, true}, {4, 4, true}, {4, 8, true}, {4, 16, false},
                 {4, 24, false}, {3, 8, false}, {7, 24, false}};
    for (const Case& c : cases) {
        SavePictureFacts facts = eightBitPicture();
        facts.bitsPerPixel = c.bits;
        facts.gif.transparent = 1;
        SaveAsModel model(saveFormatList(), c.index, "a", facts);
        EXPECT_EQ(model.gifOptionsEnabled(), c.enabled) << c.index << " " << c.bits;
        // Without the options there is no colour and no pick.
        EXPECT_EQ(model.swatchColour().has_value(), c.enabled);
        EXPECT_EQ(model.clickSwatch(), c.enabled);
    }
}

TEST(DialogsSaveAsModel, SwatchShowsThePaletteColourAtTheTransparentIndex) {
    SavePictureFacts facts = eightBitPicture();
    facts.gif.transparentIndex = 200;
    SaveAsModel model(saveFormatList(), kGifFormatIndex, "a.gif", facts);
    EXPECT_FALSE(model.swatchColour());  // not ticked
    model.setTransparent(true);
    ASSERT_TRUE(model.swatchColour());
    EXPECT_EQ(*model.swatchColour(), qRgb(200, 55, 7));
}

TEST(DialogsSaveAsModel, PickModeStartsFromATickedBoxAndEndsWithAPixelOrCancel) {
    SaveAsModel model(saveFormatList(), kGifFormatIndex, "a.gif", eightBitPicture());
    EXPECT_FALSE(model.clickSwatch());  // transparency not ticked
    model.setTransparent(true);
    ASSERT_TRUE(model.clickSwatch());
    EXPECT_FALSE(model.cancel());  // Cancel only ends pick mode
    EXPECT_FALSE(model.picking());
    EXPECT_TRUE(model.cancel());  // now it closes the dialog

    ASSERT_TRUE(model.clickSwatch());
    model.pickedInView(17);
    EXPECT_FALSE(model.picking());
    EXPECT_TRUE(model.transparent());
    EXPECT_EQ(model.transparentIndex(), 17);
    EXPECT_EQ(*model.swatchColour(), qRgb(17, 238, 7));

    ASSERT_TRUE(model.clickSwatch());
    model.chooseType(3);  // the options go away, and the pick with them
    EXPECT_FALSE(model.picking());
}

TEST(DialogsSaveAsModel, AcceptedOptionsTakeTheDialogsFlagsAndClearAspectAndBackground) {
    SavePictureFacts facts = eightBitPicture();
    facts.gif.is89a = 1;
    facts.gif.aspect = 49;
    facts.gif.background = 3;
    SaveAsModel model(saveFormatList(), kGifFormatIndex, "a.gif", facts);
    model.setInterlaced(true);
    model.setTransparent(true);
    model.pickedInView(9);
    const GifOptions kept = model.acceptedGifOptions(facts.gif);
    EXPECT_EQ(kept.interlaced, 1);
    EXPECT_EQ(kept.transparent, 1);
    EXPECT_EQ(kept.transparentIndex, 9);
    EXPECT_EQ(kept.aspect, 0);
    EXPECT_EQ(kept.background, 0);
    EXPECT_EQ(kept.is89a, 1);
}

TEST(DialogsQualityModel, OkTakesFiveToHundredAndRefusesTheRestWith5006) {
    struct Case {
        const char* text;
        bool accepted;
    } cases[] = {{"5", true},    {"100", true}, {" 80 ", true}, {"4", false},
                 {"101", false}, {"0", false},  {"", false},    {"abc", false}};
    for (const Case& c : cases) {
        QualityModel model(60, false);
        const std::optional<QString> refusal = model.accept(c.text);
        EXPECT_EQ(!refusal, c.accepted) << c.text;
        if (refusal) {
            EXPECT_EQ(*refusal, QString::fromUtf8("5～100の間で設定してください"));
            EXPECT_EQ(model.quality(), 60);
        } else {
            EXPECT_EQ(model.quality(), QString(c.text).trimmed().toInt());
        }
    }
}

TEST(DialogsQualityModel, SpinStepsStayInsideTheRange) {
    EXPECT_EQ(QualityModel::stepped("100", 1, 0), 100);
    EXPECT_EQ(QualityModel::stepped("5", -1, 0), 5);
    EXPECT_EQ(QualityModel::stepped("4", 1, 0), 5);
    EXPECT_EQ(QualityModel::stepped("999", -1, 0), 100);
    EXPECT_EQ(QualityModel::stepped("", 1, 50), 51);
    EXPECT_EQ(QualityModel::stepped("70", 10, 0), 80);
}
