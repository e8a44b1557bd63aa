// "画面全取り込み" on a real X server (Xvfb) of SCREEN_DEPTH bits where another
// client (xlogo) shows a black X on green over the whole screen: the picture
// is the screen without the program's own window, at the screen's size and depth.
#include "program_fixture.h"

#include "image/file_dispatch.h"
#include "image/save_formats.h"
#include "tests/xvfb.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace quillon::test {
namespace {

constexpr int kWidth = 800, kHeight = 600;

// One Xvfb for the process, on a display it chooses itself, with xlogo's
// window filling it.
class XServer : public ::testing::Environment {
public:
    void SetUp() override {
        if (QStandardPaths::findExecutable("xlogo").isEmpty() ||
            QStandardPaths::findExecutable("xwininfo").isEmpty())
            return;
        const QString name = m_server.start(QStringLiteral("%1x%2x%3").arg(kWidth).arg(kHeight).arg(SCREEN_DEPTH));
        if (name.isEmpty()) return;
        const QString geometry = QStringLiteral("%1x%2+0+0").arg(kWidth).arg(kHeight);
        m_logo.start("xlogo", {"-display", name, "-bg", "#00C000", "-fg", "black", "-geometry", geometry});
        if (!m_logo.waitForStarted(10000)) return;
        // Mapped once the server knows its window by name.
        QElapsedTimer clock;
        clock.start();
        while (QProcess::execute("xwininfo", {"-display", name, "-name", "xlogo"}) != 0) {
            if (clock.elapsed() > 20000) return;
            QThread::msleep(50);
        }
        display = name;
        qputenv("DISPLAY", display.toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    void TearDown() override {
        if (m_logo.state() != QProcess::NotRunning) {
            m_logo.terminate();
            m_logo.waitForFinished(5000);
        }
        m_server.stop();
    }
    static inline QString display;

private:
    Xvfb m_server;
    QProcess m_logo;
};

const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XServer);

class ScreenCapture : public ProgramTest {
protected:
    void SetUp() override {
        if (XServer::display.isEmpty()) GTEST_SKIP() << "no Xvfb, xlogo or xwininfo";
        ProgramTest::SetUp();
        ASSERT_TRUE(start());
        doc = onlyDocument();
        ASSERT_NE(doc, nullptr);
        view = doc->view();
    }
    static bool green(QRgb c) { return qGreen(c) > 150 && qRed(c) < 40 && qBlue(c) < 40; }
    static bool black(QRgb c) { return qGreen(c) < 40 && qRed(c) < 40 && qBlue(c) < 40; }
    bool enabled(int id) {
        frame().updateCommandUi();
        return frame().action(id)->isEnabled();
    }

    CQuillonDoc* doc = nullptr;
    CQuillonView* view = nullptr;
};

TEST_F(ScreenCapture, TakesTheScreenWithoutTheProgramsWindow) {
    frame().setGeometry(50, 50, 500, 400);
    frame().show();
    frame().showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(frame().isMaximized());

    trigger(109);
    ASSERT_TRUE(view->hasPicture());
    EXPECT_EQ(view->image().width(), kWidth);
    EXPECT_EQ(view->image().height(), kHeight);
    EXPECT_EQ(view->image().bitsPerPixel(), SCREEN_DEPTH == 16 ? 16 : 24);
    const QImage picture = view->image().toDeviceImage();
    // Where the maximised window stood, the other client's X on green shows.
    for (const QPoint p : {QPoint(10, 300), QPoint(790, 300), QPoint(400, 100), QPoint(400, 550)})
        EXPECT_TRUE(green(picture.pixel(p))) << p.x() << "," << p.y() << " " << std::hex << picture.pixel(p);
    for (const QPoint p : {QPoint(250, 100), QPoint(550, 500)})
        EXPECT_TRUE(black(picture.pixel(p))) << p.x() << "," << p.y() << " " << std::hex << picture.pixel(p);
    EXPECT_TRUE(frame().isVisible());
    EXPECT_FALSE(frame().isMaximized()) << "the window comes back restored";
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(view->zoom(), 100);
    const QString shot = shotPath(QStringLiteral("screen-capture-%1.png").arg(SCREEN_DEPTH));
    if (!shot.isEmpty()) frame().grab().save(shot);

    // A 16-bit picture may be saved and printed, but not as JPEG until it has 24 bits.
    EXPECT_TRUE(enabled(57603));
    EXPECT_TRUE(enabled(57607));
    EXPECT_EQ(saveRefusal(kSaveFormatJpeg, view->image().bitsPerPixel()).has_value(), SCREEN_DEPTH == 16);
    // One undo step brings the picture of the start back.
    trigger(57643);
    EXPECT_NE(view->image().toDeviceImage(), picture);
}

}  // namespace
}  // namespace quillon::test
