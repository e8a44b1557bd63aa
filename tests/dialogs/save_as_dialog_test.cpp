// The Save As dialog driven as a user would: file type and name, the GIF
// options, picking the transparent colour in a picture view, the quality
// dialog, and what the settings remember.
#include "dialogs/colour_swatch.h"
#include "dialogs/dialog_settings.h"
#include "dialogs/picture_saver.h"
#include "dialogs/qt_save_dialogs.h"
#include "dialogs/quality_dialog.h"
#include "dialogs/save_as_dialog.h"
#include "image/image_object.h"
#include "scripted_ui.h"
#include "test_files.h"
#include "widget_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace quillon;
using dialogs_test::saveShot;
using dialogs_test::waitFor;
using dialogs_test::whenShown;

namespace {

// A picture view as the program's view behaves in pick mode: at zoom 100
// and scroll origin 0 the click point is the picture point.
class TestView : public QWidget {
public:
    TestView(CImageObject& picture, UiPort& ui) : m_picture(picture), m_ui(ui) {
        setFixedSize(picture.width(), picture.height());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).drawImage(0, 0, m_picture.toDeviceImage());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (TransparentPick* pick = TransparentPick::active()) {
            const QPoint p = event->position().toPoint();
            const int index = pickTransparentAt(m_picture, p.x(), p.y());
            m_ui.beep();
            pick->pickedInView(index);
        }
    }

private:
    CImageObject& m_picture;
    UiPort& m_ui;
};

// The main window: a picture view and a button that must stay dead while a
// dialog runs.
struct TestFrame {
    CImageObject picture;
    ScriptedUi ui;
    QWidget window;
    TestView* view = nullptr;
    QPushButton* other = nullptr;
    int otherClicks = 0;

    explicit TestFrame(int bits) {
        if (bits == 8) {
            picture.runImaging([](imaging::Bitmap& b) {
                b = dialogs_test::indexedPicture(120, 90);
                return 1;
            }, false);
        } else {
            picture.create(120, 90, 24);
            picture.allocate();
            picture.fill(imaging::makeColorRef(30, 120, 200), false);
        }
        picture.setHasBitmap(true);
        auto* row = new QHBoxLayout(&window);
        view = new TestView(picture, ui);
        other = new QPushButton(QStringLiteral("other"), &window);
        QObject::connect(other, &QPushButton::clicked, [this] { ++otherClicks; });
        row->addWidget(view);
        row->addWidget(other);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    SaveAsDocument document(const QString& name, int fixed = -1) {
        SaveAsDocument doc;
        doc.name = name;
        doc.fixedFormatIndex = fixed;
        doc.picture.bitsPerPixel = picture.bitsPerPixel();
        if (const auto palette = picture.copyPalette()) doc.picture.palette = *palette;
        doc.picture.gif = picture.gifOptions;
        doc.progressive = picture.progressive;
        return doc;
    }

    bool saveAs(const SaveAsDocument& doc, DialogSettings& settings) {
        QtSaveDialogPort dialogs(ui, PickSetup{view, QCursor(Qt::CrossCursor)}, &window);
        return runSaveAs(doc, settings, dialogs, ui, pictureSaverFor(picture, ui));
    }
};

QComboBox* typeCombo(QFileDialog* dialog) {
    return dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

void chooseType(QFileDialog* dialog, int index) {
    QComboBox* combo = typeCombo(dialog);
    ASSERT_TRUE(combo);
    combo->setCurrentIndex(index - 1);
    emit combo->activated(index - 1);  // as when the user picks it
}

template <typename T>
T* control(QWidget* dialog, const char* id) {
    return dialog->findChild<T*>(QLatin1String(id));
}

void pressSave(CSaveAsDlg* dialog) {
    dialog->fileNameEdit()->setFocus();
    QTest::keyClick(dialog->fileNameEdit(), Qt::Key_Return);
}

struct TempSettings {
    QTemporaryDir home;
    TempSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    }
    QSettingsDialogSettings settings;
};

QString cliInfo(const QString& path) {
#ifdef QUILLON_CLI
    QProcess cli;
    cli.start(QStringLiteral(QUILLON_CLI), {QStringLiteral("info"), path});
    cli.waitForFinished(20000);
    return QString::fromUtf8(cli.readAllStandardOutput());
#else
    return QString();
#endif
}

}  // namespace

TEST(DialogsSaveAsDialog, ChangingTheTypeFromBmpToGifTurnsTheNameAndOffersTheGifOptions) {
    for (const int bits : {8, 24}) {
        TestFrame frame(bits);
        QTemporaryDir folder;  // a folder of our own, so the screenshot shows no stray files
        for (const char* name : {"photo.bmp", "logo.gif"}) QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
        SaveAsModel model(saveFormatList(), 3, "a.bmp", frame.document("a").picture);
        CSaveAsDlg dialog(model, folder.path(), PickSetup{frame.view}, frame.ui, &frame.window);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.fileNameEdit()->text(), "a.bmp");
        EXPECT_EQ(typeCombo(&dialog)->currentText(), QString::fromUtf8("BMPﾌｧｲﾙ(*.BMP)"));
        EXPECT_FALSE(control<QCheckBox>(&dialog, "1082")->isEnabled());

        chooseType(&dialog, kGifFormatIndex);
        EXPECT_EQ(dialog.fileNameEdit()->text(), "a.gif");
        EXPECT_EQ(control<QCheckBox>(&dialog, "1082")->isEnabled(), bits == 8) << bits;
        EXPECT_EQ(control<QCheckBox>(&dialog, "1083")->isEnabled(), bits == 8) << bits;
        if (bits == 8) saveShot(&dialog, "save-as-gif-options");
        chooseType(&dialog, kJpgFormatIndex);
        EXPECT_EQ(dialog.fileNameEdit()->text(), "a.jpg");
        EXPECT_FALSE(control<QCheckBox>(&dialog, "1083")->isEnabled());
    }
}

TEST(DialogsSaveAsDialog, PickedPixelBecomesTheTransparentIndexOfTheSavedGif) {
    TestFrame frame(8);
    TempSettings temp;
    temp.settings.setInitialSaveFormat(kGifFormatIndex);
    QTemporaryDir dir;
    const QString path = dir.filePath("pick.gif");
    bool checked = false;

    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_EQ(dialog->fileNameEdit()->text(), "pick.gif");
        auto* swatch = control<CColourSwatch>(dialog, "1085");
        QTest::mouseClick(swatch, Qt::LeftButton);  // not ticked yet: no pick
        EXPECT_EQ(TransparentPick::active(), nullptr);
        QTest::mouseClick(control<QCheckBox>(dialog, "1083"), Qt::LeftButton);
        EXPECT_TRUE(swatch->colour().has_value());
        QTest::mouseClick(swatch, Qt::LeftButton);
        ASSERT_EQ(TransparentPick::active(), dialog);
        EXPECT_EQ(swatch->frameShadow(), QFrame::Sunken);
        saveShot(dialog, "save-as-picking");

        QTest::mouseClick(frame.other, Qt::LeftButton);  // elsewhere: beep, still picking
        EXPECT_EQ(frame.otherClicks, 0);
        EXPECT_EQ(frame.ui.beeps, 1);
        EXPECT_EQ(TransparentPick::active(), dialog);

        QTest::mouseClick(frame.view, Qt::LeftButton, {}, QPoint(13, 7));  // index 13 + 14
        EXPECT_EQ(frame.ui.beeps, 2);
        EXPECT_EQ(TransparentPick::active(), nullptr);
        EXPECT_EQ(dialog->model().transparentIndex(), 27);
        EXPECT_EQ(swatch->frameShadow(), QFrame::Raised);
        ASSERT_TRUE(swatch->colour().has_value());
        EXPECT_EQ(*swatch->colour(), qRgb(27, 255 - 27, 40));
        saveShot(dialog, "save-as-picked");
        checked = true;
        pressSave(dialog);
    });
    EXPECT_TRUE(frame.saveAs(frame.document(dir.filePath("pick.bmp")), temp.settings));
    EXPECT_TRUE(checked);
    EXPECT_TRUE(frame.ui.messages.isEmpty()) << frame.ui.messages.join('\n').toStdString();
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(frame.picture.gifOptions.transparentIndex, 27);
#ifdef QUILLON_CLI
    const QString info = cliInfo(path);
    EXPECT_TRUE(info.contains("transparent: 1\n")) << info.toStdString();
    EXPECT_TRUE(info.contains("transparent-index: 27\n")) << info.toStdString();
#endif
}

TEST(DialogsSaveAsDialog, CancelInPickModeOnlyEndsPickMode) {
    TestFrame frame(8);
    frame.picture.gifOptions.transparent = 1;
    TempSettings temp;
    temp.settings.setInitialSaveFormat(kGifFormatIndex);
    int rounds = 0;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        QTest::mouseClick(control<CColourSwatch>(dialog, "1085"), Qt::LeftButton);
        ASSERT_EQ(TransparentPick::active(), dialog);
        dialog->reject();
        EXPECT_EQ(TransparentPick::active(), nullptr);
        EXPECT_TRUE(dialog->isVisible());
        // A click inside the dialog ends pick mode too.
        QTest::mouseClick(control<CColourSwatch>(dialog, "1085"), Qt::LeftButton);
        ASSERT_EQ(TransparentPick::active(), dialog);
        QTest::mouseClick(control<QCheckBox>(dialog, "1082"), Qt::LeftButton);
        EXPECT_EQ(TransparentPick::active(), nullptr);
        EXPECT_FALSE(control<QCheckBox>(dialog, "1082")->isChecked());  // the click was eaten
        ++rounds;
        dialog->reject();
    });
    EXPECT_FALSE(frame.saveAs(frame.document("/tmp/x.gif"), temp.settings));
    EXPECT_EQ(rounds, 1);
    EXPECT_EQ(frame.ui.beeps, 0);
}

TEST(DialogsSaveAsDialog, TypedExtensionAbcSavesNothingAndSaysSo) {
    TestFrame frame(24);
    TempSettings temp;
    QTemporaryDir dir;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        dialog->fileNameEdit()->setText("pic.ABC");
        pressSave(dialog);
    });
    EXPECT_FALSE(frame.saveAs(frame.document(dir.filePath("pic.bmp")), temp.settings));
    ASSERT_EQ(frame.ui.messages.size(), 1);
    EXPECT_EQ(frame.ui.messages[0], QString::fromUtf8("正しい拡張子を付けてください"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(temp.settings.initialSaveFormat(), 3);
}

TEST(DialogsSaveAsDialog, JpegQualityFourIsRefusedAndTheDialogStays) {
    TestFrame frame(24);
    TempSettings temp;
    QTemporaryDir dir;
    int qualityRounds = 0;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        chooseType(dialog, kJpgFormatIndex);
        whenShown<CQualityDlg>([&](CQualityDlg* quality) {
            QLineEdit* edit = control<QLineEdit>(quality, "1031");
            ASSERT_TRUE(edit);
            EXPECT_EQ(edit->text(), "100");
            edit->setText("4");
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_EQ(frame.ui.messages.value(0), QString::fromUtf8("5～100の間で設定してください"));
            EXPECT_TRUE(quality->isVisible());
            saveShot(quality, "quality");
            edit->setText("80");
            control<QCheckBox>(quality, "1033")->setChecked(true);
            ++qualityRounds;
            QTest::keyClick(edit, Qt::Key_Return);
        });
        pressSave(dialog);
    });
    EXPECT_TRUE(frame.saveAs(frame.document(dir.filePath("photo.bmp")), temp.settings));
    EXPECT_EQ(qualityRounds, 1);
    EXPECT_EQ(frame.ui.messages.size(), 1);
    EXPECT_EQ(temp.settings.initialSaveQuality(), 80);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("photo.jpg")));
    EXPECT_TRUE(frame.picture.progressive);
}

TEST(DialogsSaveAsDialog, FolderAndFormatAreRememberedOnlyWithoutAFixedFormat) {
    TestFrame frame(8);
    TempSettings temp;
    QTemporaryDir first, second;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        chooseType(dialog, kGifFormatIndex);
        pressSave(dialog);
    });
    ASSERT_TRUE(frame.saveAs(frame.document(first.filePath("one")), temp.settings));
    EXPECT_TRUE(QFileInfo::exists(first.filePath("one.gif")));
    EXPECT_EQ(temp.settings.initialSavePath(), first.path());
    EXPECT_EQ(temp.settings.initialSaveFormat(), kGifFormatIndex);

    // A document with a fixed format (BMP) saves without touching either.
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        EXPECT_EQ(dialog->fileNameEdit()->text(), "two.bmp");
        pressSave(dialog);
    });
    ASSERT_TRUE(frame.saveAs(frame.document(second.filePath("two.gif"), 3), temp.settings))
        << frame.ui.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFileInfo::exists(second.filePath("two.bmp")));
    EXPECT_EQ(temp.settings.initialSavePath(), first.path());
    EXPECT_EQ(temp.settings.initialSaveFormat(), kGifFormatIndex);
}
