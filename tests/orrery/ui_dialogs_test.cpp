// The library's own scan and video dialogs, driven offscreen, and the
// requests 2 and 3 going through the dialog plug-in when a parent is given.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>

#include "orrery/ui/scan_dialog.h"
#include "orrery/ui/video_dialog.h"
#include "orrery_fixture.h"

using namespace orrery_test;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "orrery_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

void shoot(QWidget& widget, const char* name) {
    const char* dir = std::getenv("QUILLON_SHOTS");
    if (!dir) return;
    QDir().mkpath(dir);
    widget.grab().save(QString(dir) + "/" + name);
}

class OrreryUiDialogs : public OrreryTest {
protected:
    void SetUp() override {
        app();
        OrreryTest::SetUp();
        std::string sane = testing::TempDir() + "/orrery-sane";
        std::filesystem::create_directories(sane);
        std::ofstream(sane + "/dll.conf") << "test\n";
        std::ofstream(sane + "/test.conf") << "number_of_devices 2\n";
        configure("scanner = test:1\nsane.config_dir = " + sane + "\nvideo = test");
    }
    // Clicks the named button of the modal dialog once it is up.
    void clickWhenShown(const char* button) {
        QTimer::singleShot(300, [button] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            shoot(*modal, (std::string("orrery-modal-") + button + ".png").c_str());
            if (auto* b = modal->findChild<QPushButton*>(button)) b->click();
        });
    }
};

TEST_F(OrreryUiDialogs, ScanDialogListsDevicesPreviewsAndScans) {
    orrery::ScanDialog dialog(orrery::Config::load());
    ASSERT_TRUE(dialog.hasDevice());
    auto* device = dialog.findChild<QComboBox*>("device");
    ASSERT_EQ(device->count(), 2);
    EXPECT_EQ(device->currentData().toString(), "test:1");
    auto* mode = dialog.findChild<QComboBox*>("mode");
    EXPECT_GE(mode->findText("Color"), 0);
    mode->setCurrentText("Color");
    dialog.preview();
    shoot(dialog, "orrery-scan-dialog.png");
    dialog.scan();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.picture().empty());
}

TEST_F(OrreryUiDialogs, VideoDialogShowsLiveFramesAndCaptures) {
    orrery::VideoDialog dialog(orrery::Config::load());
    ASSERT_TRUE(dialog.hasSource());
    ASSERT_TRUE(dialog.refresh());
    shoot(dialog, "orrery-video-dialog.png");
    dialog.findChild<QPushButton*>("capture")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.picture().width, 640);
}

TEST_F(OrreryUiDialogs, VideoDialogWithoutSourceCannotCapture) {
    configure("video = none");
    orrery::VideoDialog dialog(orrery::Config::load());
    EXPECT_FALSE(dialog.hasSource());
    EXPECT_FALSE(dialog.findChild<QPushButton*>("capture")->isEnabled());
}

TEST_F(OrreryUiDialogs, RequestsWithAParentRunTheDialogs) {
    QWidget parent;
    clickWhenShown("capture");
    orrery::Picture frame = takeDib(GlobalHandle(call(ORRERY_VIDEO_CAPTURE, intptr_t(&parent))));
    EXPECT_EQ(frame.width, 640);
    clickWhenShown("scan");
    orrery::Picture scan = takeDib(GlobalHandle(call(ORRERY_SCAN, intptr_t(&parent))));
    EXPECT_GT(scan.width, 0);
    // Cancel gives no picture.
    QTimer::singleShot(300, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) static_cast<QDialog*>(modal)->reject();
    });
    EXPECT_EQ(call(ORRERY_SCAN, intptr_t(&parent)), 0);
}

}  // namespace
