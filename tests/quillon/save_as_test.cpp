// Save As and Save as the program runs them: the real application, its
// documents and views, the real Save As and quality dialogs driven as a user
// would, and what the settings remember.
#include "program_fixture.h"

#include "dialogs/colour_swatch.h"
#include "dialogs/quality_dialog.h"
#include "dialogs/save_as_dialog.h"
#include "dialogs/save_format_list.h"
#include "dialogs/transparent_pick.h"
#include "image/image_window.h"
#include "resources/strings.h"
#include "tests/dialogs/test_files.h"
#include "tests/dialogs/widget_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QToolBar>
#include <QtTest/QTest>

namespace quillon::test {
namespace {

using dialogs_test::saveShot;
using dialogs_test::whenShown;

template <typename T>
T* control(QWidget* dialog, const char* id) {
    return dialog->findChild<T*>(QLatin1String(id));
}

void chooseType(QFileDialog* dialog, int index) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_TRUE(combo);
    combo->setCurrentIndex(index - 1);
    emit combo->activated(index - 1);  // as when the user picks it
}

void pressSave(CSaveAsDlg* dialog) {
    dialog->fileNameEdit()->setFocus();
    QTest::keyClick(dialog->fileNameEdit(), Qt::Key_Return);
}

class SaveAsTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(start());
        frame().resize(900, 700);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame()));
    }

    // A new document through New, its picture 120 x 90 at that depth; the
    // 8-bit one has index (x + 2y) % 256 with palette entry i = (i, 255 - i, 40).
    CQuillonDoc* newDocument(int bits) {
        app->dialogs.chooseNewImage = [bits]() -> std::optional<NewImageChoice> {
            return NewImageChoice{120, 90, bits};
        };
        trigger(57600);
        CQuillonDoc* doc = frame().activeDocument();
        if (doc && bits == 8) {
            doc->view()->image().runImaging(
                [](imaging::Bitmap& b) {
                    b = dialogs_test::indexedPicture(120, 90);
                    return 1;
                },
                true);
        }
        return doc;
    }

    // Picks the document's entry in the Window menu, as a user would.
    void activateByWindowMenu(CQuillonDoc* doc) {
        QMenu* windowMenu = nullptr;
        for (int i = 0; QMenu* menu = frame().popup(i); ++i)
            if (menu->actions().contains(frame().action(57650))) windowMenu = menu;
        ASSERT_TRUE(windowMenu);
        emit windowMenu->aboutToShow();
        for (QAction* a : windowMenu->actions()) {
            if (a->text().endsWith(u' ' + doc->title())) {
                a->trigger();
                QCoreApplication::processEvents();
                return;
            }
        }
        FAIL() << "no Window menu entry for " << doc->title().toStdString();
    }

    // The client point of a picture pixel at zoom 100.
    static QPoint clientPointOf(CQuillonView* view, int x, int y) {
        return QPoint(x - view->image().scrollX, y - view->image().scrollY);
    }

    void setStored(const char* key, const QVariant& value) { store()->setValue(QString("Settings/") + key, value); }
    QVariant stored(const char* key) { return store()->value(QString("Settings/") + key); }
};

TEST_F(SaveAsTest, SaveAsWorksOnTheDocumentBeingSavedHoweverItWasActivated) {
    setStored("InitialSavePath", home.path());
    CQuillonDoc* colour = onlyDocument();  // 無題1, 24 bits
    ASSERT_TRUE(colour);
    CQuillonDoc* indexed = newDocument(8);  // 無題2
    ASSERT_TRUE(indexed);
    ASSERT_NE(colour, indexed);

    for (CQuillonDoc* doc : {colour, indexed, colour}) {
        activateByWindowMenu(doc);
        EXPECT_EQ(frame().activeDocument(), doc);
        EXPECT_EQ(app->activeView(), doc->view()) << "activation records the view";
        bool shown = false;
        const bool eightBits = doc == indexed;
        whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
            chooseType(dialog, kGifFormatIndex);
            EXPECT_EQ(control<QCheckBox>(dialog, "1082")->isEnabled(), eightBits) << doc->title().toStdString();
            EXPECT_EQ(control<QCheckBox>(dialog, "1083")->isEnabled(), eightBits) << doc->title().toStdString();
            if (eightBits) {
                control<QCheckBox>(dialog, "1082")->setChecked(true);
                saveShot(dialog, "save-as-gif-options");
                pressSave(dialog);
            } else {
                dialog->reject();
            }
            shown = true;
        });
        trigger(57604);
        EXPECT_TRUE(shown);
    }
    // The interlace chosen for 無題2 went into 無題2's picture only.
    EXPECT_EQ(indexed->view()->image().gifOptions.interlaced, 1);
    EXPECT_EQ(colour->view()->image().gifOptions.interlaced, 0);
    EXPECT_TRUE(indexed->path().endsWith(".gif")) << indexed->path().toStdString();
}

TEST_F(SaveAsTest, AFailedOpenLeavesNoWindowAndSaveAsStillWorks) {
    CQuillonDoc* first = onlyDocument();
    ASSERT_TRUE(first);
    const QString broken = home.filePath("broken.bmp");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM this is not a bitmap at all");
    }
    // Open it from the recent-file list of the File menu.
    frame().setRecentFiles({broken});
    QMenu* file = frame().popup(0);
    emit file->aboutToShow();
    QAction* recent = nullptr;
    for (QAction* a : file->actions())
        if (a->text().endsWith(broken)) recent = a;
    ASSERT_TRUE(recent);
    const int windowsBefore = int(frame().mdiArea()->subWindowList().size());
    int windowsDuringMessage = -1;
    ui.onMessage = [&] { windowsDuringMessage = int(frame().mdiArea()->subWindowList().size()); };
    recent->trigger();
    ui.onMessage = nullptr;
    EXPECT_EQ(windowsDuringMessage, windowsBefore) << "no empty document window while the error shows";
    ASSERT_FALSE(ui.messages.isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame().documents().size(), 1);

    // Click the other picture, then Save As: the dialog binds to that document.
    QTest::mouseClick(first->view()->imageWindow(), Qt::LeftButton, {}, QPoint(5, 5));
    bool shown = false;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        shown = true;
        dialog->reject();
    });
    trigger(57604);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(app->activeView() == nullptr || app->activeView() == first->view());
}

TEST_F(SaveAsTest, ActiveViewIsClearedWhenItsWindowCloses) {
    CQuillonDoc* second = newDocument(24);
    ASSERT_TRUE(second);
    EXPECT_EQ(app->activeView(), second->view());
    frame().mdiArea()->activeSubWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(frame().documents().size(), 1);
    EXPECT_TRUE(app->activeView() == nullptr || app->activeView() == frame().documents().front()->view());
}

TEST_F(SaveAsTest, PickedPixelBecomesTheTransparentIndexOfTheSavedGif) {
    CQuillonDoc* doc = newDocument(8);
    ASSERT_TRUE(doc);
    CQuillonView* view = doc->view();
    setStored("InitialSaveFormat", kGifFormatIndex);
    setStored("InitialSavePath", home.path());
    bool checked = false;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_EQ(dialog->fileNameEdit()->text(), doc->title() + ".gif");
        auto* swatch = control<CColourSwatch>(dialog, "1085");
        QTest::mouseClick(swatch, Qt::LeftButton);  // not ticked yet: no pick
        EXPECT_EQ(TransparentPick::active(), nullptr);
        QTest::mouseClick(control<QCheckBox>(dialog, "1083"), Qt::LeftButton);
        QTest::mouseClick(swatch, Qt::LeftButton);
        ASSERT_EQ(TransparentPick::active(), dialog);
        EXPECT_EQ(swatch->frameShadow(), QFrame::Sunken);
        saveShot(dialog, "save-as-picking");

        // A click elsewhere beeps and keeps picking.
        QTest::mouseClick(frame().toolBar(), Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(ui.beeps, 1);
        EXPECT_EQ(TransparentPick::active(), dialog);

        // A click on the picture picks the pixel under it: index 13 + 2 * 7.
        QTest::mouseClick(view->imageWindow(), Qt::LeftButton, {}, clientPointOf(view, 13, 7));
        EXPECT_EQ(ui.beeps, 2);
        EXPECT_EQ(TransparentPick::active(), nullptr);
        EXPECT_EQ(dialog->model().transparentIndex(), 27);
        ASSERT_TRUE(swatch->colour().has_value());
        EXPECT_EQ(*swatch->colour(), qRgb(27, 255 - 27, 40));
        saveShot(dialog, "save-as-picked");
        checked = true;
        pressSave(dialog);
    });
    const QString path = home.filePath(doc->title() + ".gif");
    trigger(57604);
    EXPECT_TRUE(checked);
    ASSERT_TRUE(QFileInfo::exists(path)) << doc->path().toStdString() << " " << ui.messages.join(u'\n').toStdString();
    EXPECT_EQ(doc->path(), path);
    EXPECT_EQ(view->image().gifOptions.transparentIndex, 27);
    // Read back by our own reader.
    CImageObject back;
    ASSERT_TRUE(CQuillonDoc::readPicture(path, back, ui));
    EXPECT_EQ(back.gifOptions.transparent, 1);
    EXPECT_EQ(back.gifOptions.transparentIndex, 27);
}

TEST_F(SaveAsTest, CancelInPickModeOnlyEndsPickMode) {
    CQuillonDoc* doc = newDocument(8);
    ASSERT_TRUE(doc);
    doc->view()->image().gifOptions.transparent = 1;
    setStored("InitialSaveFormat", kGifFormatIndex);
    int rounds = 0;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        QTest::mouseClick(control<CColourSwatch>(dialog, "1085"), Qt::LeftButton);
        ASSERT_EQ(TransparentPick::active(), dialog);
        dialog->reject();
        EXPECT_EQ(TransparentPick::active(), nullptr);
        EXPECT_TRUE(dialog->isVisible());
        // A click inside the dialog ends pick mode too, and is eaten.
        QTest::mouseClick(control<CColourSwatch>(dialog, "1085"), Qt::LeftButton);
        ASSERT_EQ(TransparentPick::active(), dialog);
        QTest::mouseClick(control<QCheckBox>(dialog, "1082"), Qt::LeftButton);
        EXPECT_EQ(TransparentPick::active(), nullptr);
        EXPECT_FALSE(control<QCheckBox>(dialog, "1082")->isChecked());
        ++rounds;
        dialog->reject();
    });
    trigger(57604);
    EXPECT_EQ(rounds, 1);
    EXPECT_EQ(ui.beeps, 0);
    EXPECT_TRUE(doc->path().isEmpty());
}

TEST_F(SaveAsTest, TypedExtensionAbcSavesNothingAndSaysSo) {
    setStored("InitialSavePath", home.path());
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        dialog->fileNameEdit()->setText("pic.ABC");
        pressSave(dialog);
    });
    trigger(57604);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], QString::fromUtf8("正しい拡張子を付けてください"));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("pic.ABC")));
    EXPECT_EQ(stored("InitialSaveFormat").toInt(), 0) << "nothing remembered";
}

TEST_F(SaveAsTest, JpegQualityFourIsRefusedAndTheChosenQualityIsRemembered) {
    setStored("InitialSavePath", home.path());
    setStored("InitialSaveQuality", 60);
    int qualityRounds = 0;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        dialog->fileNameEdit()->setText("photo.bmp");
        chooseType(dialog, kJpgFormatIndex);
        EXPECT_EQ(dialog->fileNameEdit()->text(), "photo.jpg");
        whenShown<CQualityDlg>([&](CQualityDlg* quality) {
            QLineEdit* edit = control<QLineEdit>(quality, "1031");
            ASSERT_TRUE(edit);
            EXPECT_EQ(edit->text(), "60");
            edit->setText("4");
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_EQ(ui.messages.value(0), QString::fromUtf8("5～100の間で設定してください"));
            EXPECT_TRUE(quality->isVisible());
            saveShot(quality, "quality");
            edit->setText("80");
            control<QCheckBox>(quality, "1033")->setChecked(true);
            ++qualityRounds;
            QTest::keyClick(edit, Qt::Key_Return);
        });
        pressSave(dialog);
    });
    trigger(57604);
    EXPECT_EQ(qualityRounds, 1);
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(stored("InitialSaveQuality").toInt(), 80);
    EXPECT_EQ(stored("InitialSaveFormat").toInt(), kJpgFormatIndex);
    EXPECT_TRUE(QFileInfo::exists(home.filePath("photo.jpg")));
    EXPECT_TRUE(onlyDocument()->view()->image().progressive);
}

TEST_F(SaveAsTest, FolderAndFormatAreRememberedOnlyWithoutAFixedFormat) {
    CQuillonDoc* doc = newDocument(8);
    ASSERT_TRUE(doc);
    QTemporaryDir first, second;
    setStored("InitialSavePath", first.path());
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        dialog->fileNameEdit()->setText("one");
        chooseType(dialog, kGifFormatIndex);
        pressSave(dialog);
    });
    trigger(57604);
    EXPECT_TRUE(QFileInfo::exists(first.filePath("one.gif")));
    EXPECT_EQ(stored("InitialSavePath").toString(), first.path());
    EXPECT_EQ(stored("InitialSaveFormat").toInt(), kGifFormatIndex);

    // With a fixed format (BMP) the dialog opens on it and nothing is remembered.
    doc->fixedFormatIndex = 3;
    whenShown<CSaveAsDlg>([&](CSaveAsDlg* dialog) {
        EXPECT_EQ(dialog->fileNameEdit()->text(), "one.bmp");
        dialog->fileNameEdit()->setText(second.filePath("two.bmp"));
        pressSave(dialog);
    });
    trigger(57604);
    EXPECT_TRUE(QFileInfo::exists(second.filePath("two.bmp")));
    EXPECT_EQ(stored("InitialSavePath").toString(), first.path());
    EXPECT_EQ(stored("InitialSaveFormat").toInt(), kGifFormatIndex);
}

// The rules of the flow, with the dialogs answered by script.
class SaveFlowTest : public SaveAsTest {
protected:
    void answerSaveAs(const QString& path) {
        app->dialogs.chooseSavePath = [this, path](CQuillonView& view, const QString& suggested,
                                                   const QString& folder) -> std::optional<QString> {
            shownView = &view;
            shownName = suggested;
            shownFolder = folder;
            if (path.isEmpty()) return std::nullopt;
            return path;
        };
    }
    void answerQuality(std::optional<JpegQuality> answer) {
        app->dialogs.chooseJpegQuality = [this, answer](JpegQuality start) {
            qualityShown.push_back(start);
            return answer;
        };
    }
    CQuillonView* shownView = nullptr;
    QString shownName, shownFolder;
    std::vector<JpegQuality> qualityShown;
};

TEST_F(SaveFlowTest, StartsFromTheRememberedFormatFolderAndTheDocumentsName) {
    setStored("InitialSaveFormat", 19);
    setStored("InitialSavePath", "/pictures");
    answerSaveAs({});
    CQuillonDoc* doc = onlyDocument();
    EXPECT_FALSE(doc->saveAs());
    EXPECT_EQ(shownView, doc->view());
    EXPECT_EQ(shownName, doc->title() + ".png");
    EXPECT_EQ(shownFolder, "/pictures");
    EXPECT_EQ(stored("InitialSaveFormat").toInt(), 19) << "a cancel changes nothing";
}

TEST_F(SaveFlowTest, RememberedFormatOutsideTheTableStartsOnBmp) {
    for (const int storedIndex : {0, 21, -7}) {
        setStored("InitialSaveFormat", storedIndex);
        answerSaveAs({});
        onlyDocument()->saveAs();
        EXPECT_EQ(shownName, onlyDocument()->title() + ".bmp") << storedIndex;
    }
}

TEST_F(SaveFlowTest, QualityPerFormat) {
    struct Case {
        const char* name;
        int bits;
        bool asksQuality;
    } cases[] = {{"a.tif", 24, false}, {"a.GIF", 8, false}, {"a.bmp", 24, false},
                 {"a.png", 24, false}, {"a.jpg", 24, true}};
    for (const Case& c : cases) {
        CQuillonDoc* doc = newDocument(c.bits);
        ASSERT_TRUE(doc);
        qualityShown.clear();
        answerSaveAs(home.filePath(c.name));
        answerQuality(JpegQuality{85, false});
        EXPECT_TRUE(doc->saveAs()) << c.name << ui.messages.join('\n').toStdString();
        EXPECT_EQ(qualityShown.size(), c.asksQuality ? 1u : 0u) << c.name;
        EXPECT_TRUE(QFileInfo::exists(home.filePath(c.name))) << c.name;
    }
}

TEST_F(SaveFlowTest, CancelInTheQualityDialogSavesNothing) {
    answerSaveAs(home.filePath("a.jpg"));
    answerQuality(std::nullopt);
    EXPECT_FALSE(onlyDocument()->saveAs());
    EXPECT_FALSE(QFileInfo::exists(home.filePath("a.jpg")));
    EXPECT_EQ(stored("InitialSaveQuality").toInt(), 0) << "not written";
}

TEST_F(SaveFlowTest, DocumentSaveOfAJpegStartsFrom100AndAnUnknownExtensionSavesNothing) {
    CQuillonDoc* doc = onlyDocument();
    answerQuality(JpegQuality{70, true});
    ASSERT_TRUE(doc->saveTo(home.filePath("a.JPG"), kJpgFormatIndex, 90, false));
    EXPECT_TRUE(doc->save());
    ASSERT_EQ(qualityShown.size(), 1u);
    EXPECT_EQ(qualityShown[0].quality, 100);

    ASSERT_TRUE(doc->saveTo(home.filePath("a.jpeg"), kJpgFormatIndex, 90, false));
    ui.messages.clear();
    EXPECT_FALSE(doc->save()) << "jpeg is not one of the save table's extensions";
    EXPECT_TRUE(ui.messages.isEmpty());
}

}  // namespace
}  // namespace quillon::test
