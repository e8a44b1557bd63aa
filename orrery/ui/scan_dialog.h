// The scan dialog: device, mode, resolution, area and a preview, over SANE.
#pragma once

#include <QDialog>
#include <memory>

#include "orrery/core/config.h"
#include "orrery/sane/sane_scanner.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

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

public slots:
    void preview();
    void scan();

private:
    void openDevice(const QString& name);
    bool run(const ScanSettings& settings, Picture& out);

    Config config_;
    std::unique_ptr<SaneScanner> scanner_;
    QComboBox* device_;
    QComboBox* mode_;
    QSpinBox* resolution_;
    QDoubleSpinBox* area_[4];
    QLabel* previewLabel_;
    QLabel* status_;
    QPushButton* scanButton_;
    Picture picture_;
};

}  // namespace orrery
