// The scanner and video commands through the real program and the real
// capture library: SANE's test device and the video test source answer.
#include "program_fixture.h"

#include "frame/capture_commands.h"
#include "image/image_window.h"

#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QTest>

namespace quillon::test {
namespace {

class CaptureTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        // The library's settings and SANE's own, in this test's folder.
        QDir().mkpath(home.filePath("sane"));
        write(home.filePath("sane/dll.conf"), "test\n");
        write(home.filePath("sane/test.conf"), "number_of_devices 1\n");
        QDir().mkpath(home.filePath("xdg-config/orrery"));
        QDir().mkpath(home.filePath("camera"));
        write(home.filePath("xdg-config/orrery/orrery.conf"),
              "camera = virtual\nvirtual.folder = " + home.filePath("camera").toUtf8() +
                  "\nscanner = test:0\nsane.config_dir = " + home.filePath("sane").toUtf8() +
                  "\nvideo = test\nvideo.test_rate = 1/30\n");
        options.captureLibraryPath = QStringLiteral(QUILLON_ORRERY_LIBRARY);
        ASSERT_TRUE(start());
        ASSERT_TRUE(app->captureLibrary().loaded());
        doc = onlyDocument();
        ASSERT_NE(doc, nullptr);
        view = doc->view();
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Presses the button of the library's dialog once it can be pressed.
    void pressWhenReady(const char* button, const QString& shot = {}) {
        auto* timer = new QTimer;
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, [timer, button, shot] {
            QWidget* modal = QApplication::activeModalWidget();
            QPushButton* b = modal ? modal->findChild<QPushButton*>(button) : nullptr;
            if (!b || !b->isEnabled()) return;
            timer->stop();
            timer->deleteLater();
            if (!shot.isEmpty() && !shotPath(shot).isEmpty()) modal->grab().save(shotPath(shot));
            b->click();
        });
        timer->start();
    }
    bool undoEnabled() {
        frame().updateCommandUi();
        return frame().action(57643)->isEnabled();
    }
    void shot(const QString& name) {
        const QString path = shotPath(name);
        if (!path.isEmpty()) frame().grab().save(path);
    }

    CQuillonDoc* doc = nullptr;
    CQuillonView* view = nullptr;
};

TEST_F(CaptureTest, ScanReplacesThePictureWithOneUndoStep) {
    const QImage before = view->image().toDeviceImage();
    ASSERT_FALSE(undoEnabled());
    // Cancel leaves the picture and the undo state as they were, and says nothing.
    pressWhenReady("cancel");
    trigger(110);
    EXPECT_EQ(view->image().toDeviceImage(), before);
    EXPECT_FALSE(undoEnabled());
    EXPECT_FALSE(doc->isModified());
    EXPECT_TRUE(ui.messages.isEmpty());

    pressWhenReady("scan", "capture-scan-dialog.png");
    trigger(110);
    // The test device's default area, 80 x 100 mm, at the dialog's resolution.
    ASSERT_TRUE(view->hasPicture());
    EXPECT_NE(view->image().width(), before.width());
    EXPECT_GT(view->image().height(), view->image().width()) << "taller than wide, like the device's area";
    EXPECT_EQ(view->image().bitsPerPixel(), 24);
    EXPECT_TRUE(view->scanned());
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(view->zoom(), 100);
    shot("capture-after-scan.png");
    ASSERT_TRUE(undoEnabled());
    trigger(57643);
    EXPECT_EQ(view->image().toDeviceImage(), before) << "one undo brings the white picture back";
}

TEST_F(CaptureTest, VideoStillReplacesThePictureAndIsNotAScan) {
    view->setScanned(true);
    const int startWidth = view->image().width();
    pressWhenReady("capture");
    trigger(111);
    ASSERT_TRUE(view->hasPicture());
    EXPECT_EQ(view->image().bitsPerPixel(), 24);
    EXPECT_GT(view->image().width(), 0);
    EXPECT_FALSE(view->scanned());
    EXPECT_TRUE(doc->isModified());
    shot("capture-after-video.png");
    ASSERT_TRUE(undoEnabled());
    trigger(57643);
    EXPECT_EQ(view->image().width(), startWidth) << "the picture of the start is back";
}

TEST_F(CaptureTest, AFailedScreenReadLeavesNoPictureAndUndoBringsItBack) {
    app->captureHooks.readScreen = [] { return std::optional<ScreenPicture>(); };
    frame().showMaximized();
    trigger(109);
    EXPECT_FALSE(view->hasPicture());
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(frame().isVisible());
    EXPECT_FALSE(frame().isMaximized());
    ASSERT_TRUE(undoEnabled());
    trigger(57643);
    EXPECT_TRUE(view->hasPicture());
}

}  // namespace
}  // namespace quillon::test
