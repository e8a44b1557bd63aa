// The plug-in's C entry points (see ui_plugin.h): each runs its dialog
// modally over the parent widget and hands the picture back as a packed DIB.
#include "orrery/ui/ui_plugin.h"

#include <QApplication>
#include <QMessageBox>

#include "orrery/core/blocks.h"
#include "orrery/sane/sane_scanner.h"
#include "orrery/ui/scan_dialog.h"
#include "orrery/ui/video_dialog.h"

namespace {

QWidget* parentWidget(intptr_t parent) { return reinterpret_cast<QWidget*>(parent); }

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int orreryUiAvailable(void) { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

__attribute__((visibility("default"))) GlobalHandle orreryUiVideo(intptr_t parent) {
    orrery::VideoDialog dialog(orrery::Config::load(), parentWidget(parent));
    if (dialog.exec() != QDialog::Accepted) return 0;
    return orrery::pictureToDib(dialog.picture());
}

__attribute__((visibility("default"))) GlobalHandle orreryUiScan(intptr_t parent) {
    orrery::ScanDialog dialog(orrery::Config::load(), parentWidget(parent));
    if (dialog.exec() != QDialog::Accepted) return 0;
    return orrery::pictureToDib(dialog.picture());
}

__attribute__((visibility("default"))) void orreryUiCalibrate(intptr_t parent) {
    orrery::Config config = orrery::Config::load();
    orrery::Status status = 0;
    auto scanner = orrery::SaneScanner::open(config, orrery::SaneScanner::chosenDevice(config), status);
    QWidget* owner = parentWidget(parent);
    if (!scanner || !scanner->choices().canCalibrate) {
        QMessageBox::information(owner, QStringLiteral("ｷｬﾘﾌﾞﾚｰｼｮﾝ"), "The scanner offers no calibration.");
        return;
    }
    if (QMessageBox::question(owner, QStringLiteral("ｷｬﾘﾌﾞﾚｰｼｮﾝ"), "Calibrate the scanner now?") != QMessageBox::Yes)
        return;
    status = scanner->calibrate();
    if (status != ORRERY_OK)
        QMessageBox::warning(owner, QStringLiteral("ｷｬﾘﾌﾞﾚｰｼｮﾝ"), "Calibration failed.");
}

}  // extern "C"
