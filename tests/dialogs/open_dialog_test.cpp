// The Open dialog's preview driven as a user would.
#include "dialogs/dialog_settings.h"
#include "dialogs/open_dialog.h"
#include "dialogs/picture_preview.h"
#include "image/file_dispatch.h"
#include "scripted_ui.h"
#include "test_files.h"
#include "widget_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace quillon;
using dialogs_test::saveShot;
using dialogs_test::waitFor;

namespace {

struct OpenFixture {
    QTemporaryDir home;
    QTemporaryDir folder;
    QSettingsDialogSettings settings;
    ScriptedUi ui;
    QString photo, broken;

    OpenFixture() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        photo = folder.filePath("photo.bmp");
        EXPECT_TRUE(dialogs_test::writeBmp(photo, dialogs_test::indexedPicture(200, 160)));
        broken = folder.filePath("broken.bmp");
        QFile file(broken);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BM this is not a bitmap");
    }
};

void select(COpenFileDlg& dialog, const QString& path) {
    dialog.selectFile(path);
    emit dialog.currentChanged(path);  // as the file list reports a new current file
}

}  // namespace

TEST(DialogsOpenDialog, PreviewFollowsTheSelectionWhileTheBoxIsTicked) {
    OpenFixture fixture;
    fixture.settings.setFilePreview(true);
    COpenFileDlg dialog("photo", fixture.settings, openPicture, fixture.ui);
    dialog.setDirectory(fixture.folder.path());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(dialog.previewBox()->isChecked());
    EXPECT_EQ(dialog.previewBox()->text(), QString::fromUtf8("ﾌﾟﾚﾋﾞｭｰ(&V)"));
    EXPECT_EQ(dialog.findChild<QComboBox*>("fileTypeCombo")->currentText(),
              QString::fromUtf8("ｲﾒｰｼﾞﾌｧｲﾙ"));
    EXPECT_EQ(dialog.preview()->size(), QSize(100, 80));

    select(dialog, fixture.photo);
    ASSERT_TRUE(dialog.preview()->picture().hasBitmap());
    EXPECT_EQ(dialog.preview()->picture().width(), 200);
    // The picture fills the box inside its border: palette colours (i, 255 - i, 40).
    const QImage shown = dialog.preview()->grab().toImage();
    for (const QPoint p : {QPoint(1, 1), QPoint(50, 40), QPoint(98, 78)}) {
        const QColor c = shown.pixelColor(p);
        EXPECT_EQ(c.red() + c.green(), 255) << p.x() << "," << p.y();
        EXPECT_EQ(c.blue(), 40) << p.x() << "," << p.y();
    }
    waitFor([] { return false; }, 300);  // let the file list fill for the picture
    saveShot(&dialog, "open-preview");

    select(dialog, fixture.broken);
    EXPECT_EQ(fixture.ui.beeps, 1);
    EXPECT_FALSE(dialog.preview()->picture().hasBitmap());
    EXPECT_TRUE(fixture.ui.messages.isEmpty());

    select(dialog, fixture.photo);
    ASSERT_TRUE(dialog.preview()->picture().hasBitmap());
    QTest::mouseClick(dialog.previewBox(), Qt::LeftButton);  // clearing the box clears the preview
    EXPECT_FALSE(dialog.preview()->picture().hasBitmap());
    select(dialog, fixture.broken);
    EXPECT_EQ(fixture.ui.beeps, 1);  // no preview, no beep
    select(dialog, fixture.photo);
    QTest::mouseClick(dialog.previewBox(), Qt::LeftButton);  // ticking shows the selection at once
    EXPECT_TRUE(dialog.preview()->picture().hasBitmap());
}

TEST(DialogsOpenDialog, ThePreviewSettingIsStoredOnCancelAndOnOk) {
    OpenFixture fixture;
    {
        COpenFileDlg dialog("", fixture.settings, openPicture, fixture.ui);
        EXPECT_FALSE(dialog.previewBox()->isChecked());
        dialog.previewBox()->setChecked(true);
        dialog.reject();
    }
    EXPECT_TRUE(fixture.settings.filePreview());
    {
        COpenFileDlg dialog("", fixture.settings, openPicture, fixture.ui);
        EXPECT_TRUE(dialog.previewBox()->isChecked());
        dialog.previewBox()->setChecked(false);
        dialog.reject();
    }
    QSettings raw("Tessaly", "Quillon");
    EXPECT_EQ(raw.value("Settings/FileDialogPreview").toString(), "False");

    // OK through runOpenDialog: the chosen path comes back, the setting is kept.
    dialogs_test::whenShown<COpenFileDlg>([&](COpenFileDlg* dialog) {
        dialog->setDirectory(fixture.folder.path());
        dialog->previewBox()->setChecked(true);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("photo.bmp");  // typed
        QTimer::singleShot(10000, dialog, &QDialog::reject);  // never hang the run
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        ASSERT_TRUE(buttons);
        QPushButton* open = buttons->button(QDialogButtonBox::Open);
        ASSERT_TRUE(open);
        EXPECT_EQ(open->text(), QString::fromUtf8("開く(&O)"));
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("ｷｬﾝｾﾙ"));
        ASSERT_TRUE(waitFor([&] { return open->isEnabled(); }));
        QTest::mouseClick(open, Qt::LeftButton);
    });
    const std::optional<QString> chosen =
        runOpenDialog("", fixture.settings, openPicture, fixture.ui);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, fixture.photo);
    EXPECT_TRUE(fixture.settings.filePreview());
}
