// The quality dialog's spin control and the image information dialog.
#include "dialogs/image_info_dialog.h"
#include "dialogs/quality_dialog.h"
#include "image/image_object.h"
#include "image/picture_info.h"
#include "scripted_ui.h"
#include "widget_helpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

using namespace quillon;

static ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new dialogs_test::QtEnvironment);

TEST(DialogsQualityDialog, ArrowsStepInsideTheRangeAndTheBoxCarriesProgressive) {
    ScriptedUi ui;
    QualityModel model(98, true);
    CQualityDlg dialog(model, ui);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("画質の設定"));
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("1033")->isChecked());
    QLineEdit* edit = dialog.findChild<QLineEdit*>("1031");
    for (int i = 0; i < 4; ++i) QTest::keyClick(dialog.spin(), Qt::Key_Up);
    EXPECT_EQ(edit->text(), "100");
    edit->setText("6");
    for (int i = 0; i < 3; ++i) QTest::keyClick(dialog.spin(), Qt::Key_Down);
    EXPECT_EQ(edit->text(), "5");
    QTest::keyClicks(edit, "x");  // letters are not taken
    EXPECT_EQ(edit->text(), "5");
    dialog.findChild<QCheckBox*>("1033")->setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.quality(), 5);
    EXPECT_FALSE(model.progressive());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(DialogsImageInfoDialog, ShowsTheFourTextsOfThePicture) {
    CImageObject picture;
    picture.create(320, 200, 8);
    picture.allocate();
    picture.bitmap().formatCode = 2;
    picture.gifOptions.transparent = 1;
    picture.gifOptions.interlaced = 1;
    CImageInfoDlg dialog(pictureInfoTexts(picture, "/home/u/絵/cat.gif"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.findChild<QLabel*>("1251")->text(), QString::fromUtf8("/home/u/絵/cat.gif"));
    EXPECT_EQ(dialog.findChild<QLabel*>("1252")->text(), QString::fromUtf8("320 x 200 ﾄﾞｯﾄ"));
    EXPECT_EQ(dialog.findChild<QLabel*>("1253")->text(), QString::fromUtf8("8Bit(256色)"));
    EXPECT_EQ(dialog.findChild<QLabel*>("1254")->text(),
              QString::fromUtf8("GIF ﾌｧｲﾙ(透明, ｲﾝﾀｰﾚｰｽ)"));
    dialogs_test::saveShot(&dialog, "image-info");
}
