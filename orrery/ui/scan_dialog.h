// The scan dialog: device, source, mode, resolution, area and a preview, over SANE.
#pragma once

#include <QDialog>
#include <memory>

#include "orrery/core/config.h"
#include "orrery/sane/sane_scanner.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace orrery {

class ScanDialog : public QDialog {
    Q_OBJECT
public:
    ScanDialog(const Config& config, QWidget* parent = nullptr);
    ~ScanDialog() override;

    // The scanned picture after "Scan", empty otherwise.
    const Picture& picture() const { return picture_; }
    ScanSettings settings() const;
    bool hasDevice() const { return scanner_ != nullptr; }

    bool scanning() const { return scanning_; }

public slots:
    void preview();
    void scan();
    // During a scan: cancels it on the device; the dialog then closes with nothing.
    void reject() override;

private:
    void openDevice(const QString& name);
    bool run(const ScanSettings& settings, Picture& out);
    // Everything but Cancel is off while a scan runs: the device, its
    // settings and a second scan must wait for this one.
    void setScanning(bool on);

    Config config_;
    std::unique_ptr<SaneScanner> scanner_;
    QComboBox* device_;
    QComboBox* mode_;
    QComboBox* source_;
    QComboBox* resolution_;
    QDoubleSpinBox* area_[4];
    QLabel* previewLabel_;
    QLabel* status_;
    QPushButton* scanButton_;
    QPushButton* previewButton_;
    Picture picture_;
    bool scanning_ = false;
    bool cancelRequested_ = false;
};

}  // namespace orrery
