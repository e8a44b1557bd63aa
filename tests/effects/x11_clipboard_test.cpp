// The clipboard of a real X server (Xvfb) against xclip, another program.
#include "effects/clipboard.h"
#include "tests/xvfb.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace quillon {
namespace {

// One Xvfb for the process, on a display it chooses itself.
class XServer : public ::testing::Environment {
public:
    void SetUp() override { display = m_server.start("640x480x24"); }
    void TearDown() override {
        delete app;
        app = nullptr;
        m_server.stop();
    }
    static inline QString display;
    static inline QGuiApplication* app = nullptr;

private:
    test::Xvfb m_server;
};

const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XServer);

class X11Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        if (XServer::display.isEmpty() || QStandardPaths::findExecutable("xclip").isEmpty())
            GTEST_SKIP() << "no Xvfb or xclip";
        if (!XServer::app) {
            qputenv("DISPLAY", XServer::display.toLatin1());
            qputenv("QT_QPA_PLATFORM", "xcb");
            static int argc = 1;
            static char name[] = "x11-clipboard-test";
            static char* argv[] = {name, nullptr};
            XServer::app = new QGuiApplication(argc, argv);
        }
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_TRUE(dir.isValid());
    }
    // Runs xclip while this process keeps answering the X server.
    QByteArray xclip(const QStringList& arguments) {
        QProcess process;
        process.start("xclip", arguments);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning && !process.waitForFinished(0)) loop.exec();
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput();
    }
    QTemporaryDir dir;
};

std::unique_ptr<CImageObject> colourful(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 30, y * 40, (x + y) * 15));
    auto p = std::make_unique<CImageObject>();
    p->fromDeviceImage(image, false, false);
    return p;
}

TEST_F(X11Clipboard, CopiedSelectionReadsBackThroughXclipAsPng) {
    auto picture = colourful(8, 6);
    ASSERT_TRUE(copyToClipboard(*picture, Rect{2, 1, 7, 5}));
    const QByteArray png = xclip({"-selection", "clipboard", "-t", "image/png", "-o"});
    const QImage back = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(back.size(), QSize(5, 4));
    const QImage source = picture->toDeviceImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(back.pixel(x, y), source.pixel(x + 2, y + 1)) << x << "," << y;
}

TEST_F(X11Clipboard, PngPutThereByXclipPastesWithItsPixels) {
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) image.setPixel(x, y, qRgb(200 - x * 50, y * 100, 77));
    const QString file = dir.filePath("put.png");
    ASSERT_TRUE(image.save(file));
    QProcess owner;  // xclip keeps the selection while it runs in the foreground
    owner.start("xclip", {"-quiet", "-selection", "clipboard", "-t", "image/png", "-i", file});
    ASSERT_TRUE(owner.waitForStarted(5000));
    std::shared_ptr<CImageObject> pasted;
    QElapsedTimer clock;
    clock.start();
    while (!pasted && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        // Once xclip owns the clipboard, what it offers is its picture.
        if (!QGuiApplication::clipboard()->ownsClipboard() && clipboardOffersPicture())
            pasted = clipboardPicture();
        if (!pasted) QThread::msleep(50);
    }
    owner.kill();
    owner.waitForFinished(5000);
    ASSERT_TRUE(pasted);
    const QImage got = pasted->toDeviceImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(got.size(), image.size());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(got.pixel(x, y), image.pixel(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace quillon
