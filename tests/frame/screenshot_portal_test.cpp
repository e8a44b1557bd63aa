// The desktop's screenshot portal, as Wayland sessions offer it, played by a
// small service on a session bus of this test's own (dbus-run-session).
#include "frame/screen_reader.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace quillon {
namespace {

class ScreenshotPortal : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "portal-test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QApplication(argc, argv);
    }
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) GTEST_SKIP() << "no session bus";
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        if (portal.state() != QProcess::NotRunning) {
            portal.kill();
            portal.waitForFinished(5000);
        }
    }
    // Starts the portal and waits until it owns its name.
    void startPortal(const QStringList& arguments) {
        portal.start(QStringLiteral(FAKE_PORTAL), arguments);
        ASSERT_TRUE(portal.waitForStarted(10000));
        QElapsedTimer clock;
        clock.start();
        while (!QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.portal.Desktop")) {
            ASSERT_LT(clock.elapsed(), 20000) << "the portal did not come up";
            QThread::msleep(20);
        }
    }

    QTemporaryDir dir;
    QProcess portal;
};

TEST_F(ScreenshotPortal, TheDesktopsPictureIsRead) {
    QImage screen(64, 48, QImage::Format_RGB32);
    screen.fill(qRgb(10, 200, 30));
    const QString file = dir.filePath("screenshot.png");
    ASSERT_TRUE(screen.save(file));
    startPortal({"file", file});
    const auto picture = readScreenThroughPortal();
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->image.convertToFormat(QImage::Format_RGB32), screen);
}

TEST_F(ScreenshotPortal, ARefusalOrNoPortalGivesNothing) {
    EXPECT_FALSE(readScreenThroughPortal().has_value()) << "no portal on the bus";
    startPortal({"refuse"});
    EXPECT_FALSE(readScreenThroughPortal().has_value());
}

}  // namespace
}  // namespace quillon
