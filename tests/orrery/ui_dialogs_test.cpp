// The library's own scan and video dialogs, driven offscreen, and the
// requests 2 and 3 going through the dialog plug-in when a parent is given.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
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
        configure("scanner = test:1\nsane.config_dir = " + saneConfigFolder() + "\nvideo = test");
    }
    // Acts on the modal dialog once it is up and its button can be pressed
    // (the video dialog's capture waits for the first frame): polled, so a
    // slow machine only waits longer.
    void whenReady(const char* button, std::function<void(QWidget&, QPushButton&)> act) {
        auto* timer = new QTimer;
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, [timer, button, act] {
            QWidget* modal = QApplication::activeModalWidget();
            QPushButton* b = modal ? modal->findChild<QPushButton*>(button) : nullptr;
            if (!b || !b->isEnabled()) return;
            timer->stop();
            timer->deleteLater();
            act(*modal, *b);
        });
        timer->start();
    }
    void clickWhenShown(const char* button) {
        whenReady(button, [button](QWidget& modal, QPushButton& b) {
            shoot(modal, (std::string("orrery-modal-") + button + ".png").c_str());
            b.click();
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

TEST_F(OrreryUiDialogs, CancelDuringAScanCancelsItAndGivesNothing) {
    orrery::ScanDialog dialog(orrery::Config::load());
    ASSERT_TRUE(dialog.hasDevice());
    auto* resolution = dialog.findChild<QComboBox*>("resolution");
    ASSERT_GT(resolution->findData(300), -1);
    resolution->setCurrentIndex(resolution->findData(300));
    // Runs at the scan's first pause for events.
    std::vector<std::pair<std::string, bool>> enabled;
    bool wasScanning = false;
    QTimer::singleShot(0, &dialog, [&] {
        wasScanning = dialog.scanning();
        shoot(dialog, "orrery-scan-dialog-scanning.png");
        for (const char* name : {"device", "mode", "resolution", "scan", "preview", "cancel", "left"})
            if (auto* w = dialog.findChild<QWidget*>(name)) enabled.push_back({name, w->isEnabled()});
        dialog.findChild<QPushButton*>("scan")->click();  // a second scan must not start
        dialog.findChild<QPushButton*>("cancel")->click();
    });
    dialog.scan();
    ASSERT_TRUE(wasScanning);
    ASSERT_EQ(enabled.size(), 7u);
    for (const auto& [name, on] : enabled) EXPECT_EQ(on, name == "cancel") << name;
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.picture().empty());
    EXPECT_FALSE(dialog.scanning());
}

TEST_F(OrreryUiDialogs, ScanDialogOffersSourcesAndResolutionsAndReportsRefusals) {
    orrery::ScanDialog dialog(orrery::Config::load());
    auto* source = dialog.findChild<QComboBox*>("source");
    EXPECT_GE(source->findText("Flatbed"), 0);
    EXPECT_GE(source->count(), 2);
    auto* resolution = dialog.findChild<QComboBox*>("resolution");
    EXPECT_GE(resolution->findData(75), 0);
    EXPECT_GE(resolution->findData(1200), 0);
    dialog.findChild<QComboBox*>("mode")->addItem("Sepia");  // not the device's
    dialog.findChild<QComboBox*>("mode")->setCurrentText("Sepia");
    dialog.scan();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.findChild<QLabel*>("status")->text().contains("refused: mode")) << dialog.findChild<QLabel*>("status")->text().toStdString();
}

TEST_F(OrreryUiDialogs, VideoDialogShowsLiveFramesAndCaptures) {
    orrery::VideoDialog dialog(orrery::Config::load());
    ASSERT_TRUE(dialog.hasSource());
    ASSERT_TRUE(dialog.refresh(3000));
    shoot(dialog, "orrery-video-dialog.png");
    dialog.findChild<QPushButton*>("capture")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.picture().width, 640);
}

TEST_F(OrreryUiDialogs, AStalledSourceDoesNotHoldTheTimer) {
    // One frame every 30 seconds: after the first, the source gives nothing.
    configure("video = test\nvideo.test_rate = 1/30");
    orrery::VideoDialog dialog(orrery::Config::load());
    ASSERT_TRUE(dialog.hasSource());
    ASSERT_TRUE(dialog.refresh(3000));
    auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < 20; ++tick) EXPECT_FALSE(dialog.refresh());
    // Twenty ticks that waited for a frame would take seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_TRUE(dialog.findChild<QPushButton*>("capture")->isEnabled());
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
    whenReady("scan", [](QWidget& modal, QPushButton&) { static_cast<QDialog&>(modal).reject(); });
    EXPECT_EQ(call(ORRERY_SCAN, intptr_t(&parent)), 0);
}

}  // namespace
