// The file list windows in the running program: command 100, filling,
// opening, copying between windows, deleting to the trash, watching.
#include "tests/quillon/program_fixture.h"

#include "album/album_ctrl.h"
#include "album/delete_dialog.h"
#include "album/file_list_windows.h"
#include "album/file_list_wnd.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"

#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace quillon::test {
namespace {

bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A picture saved by the program's writer for its extension's format code.
QString writePicture(const QString& path, QSize size, QColor colour, int formatCode) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    QPainter p(&image);
    p.setPen(QPen(colour.darker(250), std::max(2, size.width() / 40)));
    p.drawEllipse(QRect(QPoint(0, 0), size).adjusted(size.width() / 6, size.height() / 6, -size.width() / 6,
                                                     -size.height() / 6));
    p.drawLine(0, 0, size.width(), size.height());
    p.end();
    CImageObject object;
    object.fromDeviceImage(image, false, false);
    EXPECT_TRUE(savePicture(object, path, formatCode, 24, formatCode == 10 ? 85 : 0)) << path.toStdString();
    return path;
}

void writeText(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class FileListTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        qputenv("XDG_CACHE_HOME", home.filePath("xdg-cache").toUtf8());
        ASSERT_TRUE(start());
    }
    QString folder(const QString& name) {
        const QString path = home.filePath(name);
        QDir().mkpath(path);
        return path;
    }
    CFileListWnd* openOn(const QString& path) {
        const int before = app->fileLists()->count();
        trigger(100);
        if (app->fileLists()->count() != before + 1) return nullptr;
        for (int slot = FileListWindows::kSlots - 1; slot >= 0; --slot) {
            CFileListWnd* w = app->fileLists()->window(slot);
            if (w && w->folder() == QDir::currentPath()) {
                w->setFolder(path);
                EXPECT_TRUE(waitFor([w] { return w->thumbnailsDone(); }));
                return w;
            }
        }
        return nullptr;
    }
    void select(CFileListWnd* w, const QString& caption, bool add = false) {
        const int index = w->captions().indexOf(caption);
        ASSERT_GE(index, 0) << caption.toStdString();
        CAlbumCtrl* album = w->album();
        QTest::mouseClick(album, Qt::LeftButton, add ? Qt::ControlModifier : Qt::NoModifier,
                          album->cellRect(index).center());
    }
};

TEST_F(FileListTest, TheFolderShowsReadablePicturesWithAcceptedExtensionsOnly) {
    const QString dir = folder("mixed");
    writePicture(dir + "/small.bmp", QSize(40, 30), Qt::red, 6);
    writeText(dir + "/notes.TXT", "text");
    writeText(dir + "/README", "no extension");
    writePicture(dir + "/.hidden.bmp", QSize(40, 30), Qt::red, 6);
    writeText(dir + "/broken.PNG", "not a picture");
    CFileListWnd* w = openOn(dir);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->captions(), QStringList{"small.bmp"});
    EXPECT_TRUE(ui.messages.isEmpty()) << "left out without a word";
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("ﾌｧｲﾙ一覧"));
    EXPECT_EQ(w->findChild<QLabel*>("1191")->text(), dir);
    EXPECT_TRUE(w->album()->model().state(0) & album_state::kHasThumbnail);
}

TEST_F(FileListTest, Command100IsDisabledWithTenWindowsOpen) {
    for (int i = 0; i < 10; ++i) trigger(100);
    EXPECT_EQ(app->fileLists()->count(), 10);
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(100)->isEnabled());
    // Closing one frees its slot, and the next window takes it.
    app->fileLists()->window(3)->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(app->fileLists()->count(), 9);
    EXPECT_TRUE(frame().action(100)->isEnabled());
    trigger(100);
    ASSERT_NE(app->fileLists()->window(3), nullptr);
    EXPECT_EQ(app->fileLists()->count(), 10);
}

TEST_F(FileListTest, TheSavePopupOffersOnlyWindowsOnOtherFolders) {
    const QString a = folder("a"), b = folder("b");
    writePicture(a + "/one.bmp", QSize(40, 30), Qt::green, 6);
    CFileListWnd* first = openOn(a);
    CFileListWnd* same = openOn(a);
    CFileListWnd* other = openOn(b);
    ASSERT_TRUE(first && same && other);
    first->rebuildSavePopup();
    EXPECT_FALSE(first->savePopup()->menuAction()->isEnabled()) << "nothing selected yet";
    select(first, "one.bmp");
    first->rebuildSavePopup();
    const QList<QAction*> entries = first->savePopup()->actions();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0]->objectName(), QString::number(204 + other->slot()));
    EXPECT_EQ(entries[0]->text(), b + QString::fromUtf8("へ保存(&1)"));
    EXPECT_TRUE(first->savePopup()->menuAction()->isEnabled());
    EXPECT_FALSE(first->action(102)->isEnabled()) << "sending to the camera waits for the camera's album";
    // A window alone on its folder has an empty, greyed popup.
    other->rebuildSavePopup();
    EXPECT_EQ(other->savePopup()->actions().size(), 2);
}

TEST_F(FileListTest, CopyIntoAnotherWindowAsksBeforeOverwritingAndKeepsTimes) {
    const QString a = folder("a"), b = folder("b");
    writePicture(a + "/same.bmp", QSize(60, 40), Qt::blue, 6);
    writePicture(a + "/new.bmp", QSize(60, 40), Qt::yellow, 6);
    writePicture(b + "/same.bmp", QSize(30, 30), Qt::magenta, 6);
    const QDateTime old = QDateTime::currentDateTime().addDays(-30);
    {
        QFile f(a + "/new.bmp");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(old, QFileDevice::FileModificationTime);
    }
    QFile before(b + "/same.bmp");
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray kept = before.readAll();
    CFileListWnd* from = openOn(a);
    CFileListWnd* to = openOn(b);
    ASSERT_TRUE(from && to);

    select(from, "same.bmp");
    ui.answers = {MsgAnswer::No};
    from->copySelectedTo(to->slot());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], b + QString::fromUtf8("/same.bmp を 上書きしますか？"));
    QFile after(b + "/same.bmp");
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), kept);
    EXPECT_EQ(to->captions(), QStringList{"same.bmp"});

    select(from, "new.bmp");
    from->copySelectedTo(to->slot());
    EXPECT_EQ(to->captions(), (QStringList{"same.bmp", "new.bmp"}));
    EXPECT_EQ(QFileInfo(b + "/new.bmp").lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
    EXPECT_TRUE(waitFor([to] { return to->thumbnailsDone(); }));
    EXPECT_TRUE(to->album()->model().state(1) & album_state::kHasThumbnail);
}

TEST_F(FileListTest, ACopyThatRunsOutOfSpaceLeavesNoPartialFile) {
    const QString a = folder("a"), b = folder("b");
    writePicture(a + "/big.bmp", QSize(600, 400), Qt::cyan, 6);  // about 720 KB
    writePicture(b + "/big.bmp", QSize(20, 20), Qt::gray, 6);
    const qint64 oldSize = QFileInfo(b + "/big.bmp").size();
    CFileListWnd* from = openOn(a);
    CFileListWnd* to = openOn(b);
    ASSERT_TRUE(from && to);
    select(from, "big.bmp");
    // The file system refuses writes past 64 KB, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ui.answers = {MsgAnswer::Yes};
    from->copySelectedTo(to->slot());
    setrlimit(RLIMIT_FSIZE, &saved);
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1], QString::fromUtf8("ﾃﾞｨｽｸが一杯です。"));
    EXPECT_EQ(QDir(b).entryList(QDir::Files | QDir::Hidden), QStringList{"big.bmp"}) << "no partial file left";
    EXPECT_EQ(QFileInfo(b + "/big.bmp").size(), oldSize) << "the old file is kept";
}

TEST_F(FileListTest, DeleteAsksPerFileAndMovesToTheTrash) {
    const QString dir = folder("pics");
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        writePicture(dir + "/" + name, QSize(30, 20), Qt::darkGreen, 6);
    CFileListWnd* w = openOn(dir);
    ASSERT_NE(w, nullptr);
    QStringList questions;
    std::deque<int> answers = {kDeleteYes, kDeleteNo, kDeleteAll};
    app->fileLists()->dialogs.askDelete = [&](const QString& text, QWidget*) {
        questions << text;
        const int a = answers.front();
        answers.pop_front();
        return a;
    };
    select(w, "a.bmp");
    for (const char* name : {"b.bmp", "c.bmp", "d.bmp"}) select(w, name, true);
    QTest::keyClick(w->album(), Qt::Key_Delete);
    ASSERT_EQ(questions.size(), 3) << "the last file goes without asking";
    EXPECT_EQ(questions[0], dir + QString::fromUtf8("/a.bmpを削除します。\nよろしいですか？"));
    EXPECT_EQ(w->captions(), QStringList{"b.bmp"});
    EXPECT_TRUE(QFileInfo::exists(dir + "/b.bmp"));
    const QString trash = home.filePath("xdg-data/Trash/files");
    for (const char* name : {"a.bmp", "c.bmp", "d.bmp"}) {
        EXPECT_FALSE(QFileInfo::exists(dir + "/" + name)) << name;
        EXPECT_TRUE(QFileInfo::exists(trash + "/" + name)) << name;
    }
    // Cancel stops before anything goes.
    answers = {kDeleteCancel};
    select(w, "b.bmp");
    w->deleteSelected();
    EXPECT_TRUE(QFileInfo::exists(dir + "/b.bmp"));
}

TEST_F(FileListTest, DoubleClickOpensThroughTheProgramAndTheFolderIsWatched) {
    const QString dir = folder("watched");
    writePicture(dir + "/first.bmp", QSize(64, 48), Qt::red, 6);
    CFileListWnd* w = openOn(dir);
    ASSERT_NE(w, nullptr);
    const QPoint at = w->album()->cellRect(0).center();
    QTest::mouseClick(w->album(), Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), w->album()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->album(), &twice);
    QCoreApplication::processEvents();
    QStringList paths;
    for (CQuillonDoc* doc : frame().documents()) paths << doc->path();
    EXPECT_TRUE(paths.contains(dir + "/first.bmp")) << paths.size() << paths.join(u',').toStdString() << ui.messages.join(u',').toStdString();

    writePicture(dir + "/second.jpg", QSize(64, 48), Qt::blue, 10);
    EXPECT_TRUE(waitFor([w] { return w->captions().size() == 2; })) << "added without a refresh";
    QFile::remove(dir + "/first.bmp");
    EXPECT_TRUE(waitFor([w] { return w->captions() == QStringList{"second.jpg"}; }));

    // Another folder, chosen with the directory chooser.
    const QString other = folder("other");
    writePicture(other + "/x.bmp", QSize(10, 10), Qt::black, 6);
    app->fileLists()->dialogs.chooseFolder = [&](const QString& start, QWidget*) -> std::optional<QString> {
        EXPECT_EQ(start, dir);
        return other;
    };
    w->action(203)->trigger();
    EXPECT_EQ(w->folder(), other);
    EXPECT_TRUE(waitFor([w] { return w->captions() == QStringList{"x.bmp"}; }));
}

TEST_F(FileListTest, ThumbnailsOnViewComeFirstAfterAScroll) {
    const QString dir = folder("many");
    const QString first = writePicture(dir + "/p000.jpg", QSize(800, 600), QColor(90, 140, 200), 10);
    for (int i = 1; i < 120; ++i) QFile::copy(first, dir + QStringLiteral("/p%1.jpg").arg(i, 3, 10, QChar(u'0')));
    trigger(100);
    CFileListWnd* w = app->fileLists()->window(0);
    ASSERT_NE(w, nullptr);
    w->setFolder(dir);  // the items are there at once, the thumbnails come later
    const AlbumGridModel& grid = w->album()->model();
    ASSERT_EQ(grid.count(), 120);
    const int screen = grid.columns() * grid.visibleRows();
    ASSERT_GT(screen, 0);
    ASSERT_LT(3 * screen, 120);
    w->album()->scrollBar()->setValue(w->album()->scrollBar()->maximum());
    const int lastScreen = grid.firstVisible();
    const auto done = [&](int from, int to) {
        int n = 0;
        for (int i = from; i < to; ++i) n += (grid.state(i) & album_state::kHasThumbnail) ? 1 : 0;
        return n;
    };
    ASSERT_TRUE(waitFor([&] { return done(lastScreen, 120) == 120 - lastScreen; }));
    // Between the first screen and the last nothing has been made yet, but
    // for what the workers had in hand.
    EXPECT_LE(done(screen, lastScreen), 4) << "of " << lastScreen - screen;
    EXPECT_TRUE(waitFor([w] { return w->thumbnailsDone(); }));
    EXPECT_EQ(done(0, 120), 120);
}

TEST_F(FileListTest, ScreenshotOfAFolderOfVariedPictures) {
    const QString dir = folder("varied");
    writePicture(dir + "/sunset.jpg", QSize(1600, 1200), QColor(240, 120, 40), 10);
    writePicture(dir + "/portrait.bmp", QSize(300, 900), QColor(60, 120, 220), 6);
    writePicture(dir + "/panorama.png", QSize(1200, 200), QColor(40, 180, 90), 75);
    writePicture(dir + QString::fromUtf8("/とても長い名前の旅行写真_2024年夏_北海道.jpg"), QSize(800, 600), QColor(200, 200, 60), 10);
    writePicture(dir + "/icon.bmp", QSize(16, 16), QColor(180, 60, 180), 6);
    writePicture(dir + "/grey.tif", QSize(500, 500), QColor(128, 128, 128), 3);
    writeText(dir + "/broken.jpg", "no picture here");
    for (int i = 0; i < 6; ++i)
        writePicture(dir + QStringLiteral("/QV%1.JPG").arg(i, 4, 10, QChar(u'0')), QSize(640, 480),
                     QColor::fromHsv(i * 60, 160, 230), 10);
    CFileListWnd* w = openOn(dir);
    ASSERT_NE(w, nullptr);
    w->resize(640, 480);
    select(w, "portrait.bmp");
    select(w, "sunset.jpg", true);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->captions().size(), 12);
    const QImage shot = w->grab().toImage();
    if (const QString path = shotPath(QStringLiteral("file-list.png")); !path.isEmpty()) shot.save(path);
}

}  // namespace
}  // namespace quillon::test

namespace quillon::test {
namespace {

TEST(DeleteDialog, ButtonsEndItWithTheirCodes) {
    qtApp();
    for (const int code : {kDeleteYes, kDeleteAll, kDeleteNo, kDeleteCancel}) {
        CDeleteDlg dialog(QString::fromUtf8("/home/user/写真/a.jpgを削除します。\nよろしいですか？"));
        dialog.show();
        QCoreApplication::processEvents();
        if (code == kDeleteAll)
            if (const QString path = shotPath(QStringLiteral("delete-dialog.png")); !path.isEmpty())
                dialog.grab().save(path);
        auto* button = dialog.findChild<QPushButton*>(QString::number(code));
        ASSERT_NE(button, nullptr) << code;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), code);
    }
}

}  // namespace
}  // namespace quillon::test
