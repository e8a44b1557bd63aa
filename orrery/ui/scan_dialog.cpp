#include "orrery/ui/scan_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orrery {

namespace {

QImage toImage(const Picture& p) {
    QImage image(p.rgb.data(), p.width, p.height, p.width * 3, QImage::Format_RGB888);
    return image.copy();
}

}  // namespace

ScanDialog::ScanDialog(const Config& config, QWidget* parent) : QDialog(parent), config_(config) {
    setWindowTitle(QStringLiteral("ｽｷｬﾅ取り込み"));
    device_ = new QComboBox;
    device_->setObjectName("device");
    mode_ = new QComboBox;
    mode_->setObjectName("mode");
    resolution_ = new QSpinBox;
    resolution_->setObjectName("resolution");
    resolution_->setSuffix(" dpi");
    auto* form = new QFormLayout;
    form->addRow("Device", device_);
    form->addRow("Mode", mode_);
    form->addRow("Resolution", resolution_);
    const char* names[4] = {"left", "top", "right", "bottom"};
    auto* areaRow = new QHBoxLayout;
    for (int k = 0; k < 4; ++k) {
        area_[k] = new QDoubleSpinBox;
        area_[k]->setObjectName(names[k]);
        area_[k]->setSuffix(" mm");
        area_[k]->setDecimals(1);
        areaRow->addWidget(area_[k]);
    }
    form->addRow("Area", areaRow);
    previewLabel_ = new QLabel;
    previewLabel_->setMinimumSize(200, 240);
    previewLabel_->setAlignment(Qt::AlignCenter);
    previewLabel_->setFrameShape(QFrame::Box);
    status_ = new QLabel;
    status_->setObjectName("status");
    auto* buttons = new QDialogButtonBox;
    auto* previewButton = buttons->addButton("Preview", QDialogButtonBox::ActionRole);
    previewButton->setObjectName("preview");
    scanButton_ = buttons->addButton("Scan", QDialogButtonBox::AcceptRole);
    scanButton_->setObjectName("scan");
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(previewButton, &QPushButton::clicked, this, &ScanDialog::preview);
    connect(scanButton_, &QPushButton::clicked, this, &ScanDialog::scan);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(previewLabel_);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    std::string chosen = SaneScanner::chosenDevice(config_);
    for (const ScannerInfo& info : SaneScanner::devices(config_))
        device_->addItem(QString::fromStdString(info.vendor + " " + info.model + " (" + info.name + ")"),
                         QString::fromStdString(info.name));
    if (!chosen.empty() && device_->findData(QString::fromStdString(chosen)) < 0)
        device_->addItem(QString::fromStdString(chosen), QString::fromStdString(chosen));
    connect(device_, &QComboBox::currentIndexChanged, this,
            [this](int index) { openDevice(device_->itemData(index).toString()); });
    int index = device_->findData(QString::fromStdString(chosen));
    if (index >= 0) device_->setCurrentIndex(index);
    openDevice(device_->currentData().toString());
}

ScanDialog::~ScanDialog() = default;

void ScanDialog::openDevice(const QString& name) {
    scanner_.reset();
    Status status = ORRERY_OK;
    if (!name.isEmpty()) scanner_ = SaneScanner::open(config_, name.toStdString(), status);
    scanButton_->setEnabled(scanner_ != nullptr);
    if (!scanner_) {
        status_->setText("No scanner answers.");
        return;
    }
    ScannerChoices c = scanner_->choices();
    mode_->clear();
    for (const std::string& m : c.modes) mode_->addItem(QString::fromStdString(m));
    mode_->setCurrentText(QString::fromStdString(c.mode));
    if (c.rangeResolution && c.resolutions.size() == 2) {
        resolution_->setRange(c.resolutions[0], c.resolutions[1]);
    } else if (!c.resolutions.empty()) {
        resolution_->setRange(*std::min_element(c.resolutions.begin(), c.resolutions.end()),
                              *std::max_element(c.resolutions.begin(), c.resolutions.end()));
    }
    resolution_->setValue(c.resolution);
    for (int k = 0; k < 4; ++k) {
        area_[k]->setRange(0, c.maxArea[k % 2] > 0 ? c.maxArea[k % 2] : 1000);
        area_[k]->setValue(c.area[k]);
    }
    status_->setText(QString::fromStdString(name.toStdString()));
}

ScanSettings ScanDialog::settings() const {
    ScanSettings s;
    s.mode = mode_->currentText().toStdString();
    s.resolution = resolution_->value();
    for (int k = 0; k < 4; ++k) s.area[k] = area_[k]->value();
    return s;
}

bool ScanDialog::run(const ScanSettings& settings, Picture& out) {
    if (!scanner_) return false;
    Status s = scanner_->scan(settings, out, [](int) {
        QApplication::processEvents();
        return true;
    });
    if (s != ORRERY_OK) status_->setText(QString("Scan failed (0x%1).").arg(s, 4, 16, QChar('0')));
    return s == ORRERY_OK;
}

void ScanDialog::preview() {
    // The whole bed at low resolution.
    ScanSettings s = settings();
    s.preview = true;
    s.resolution = std::max(resolution_->minimum(), std::min(50, resolution_->maximum()));
    for (double& a : s.area) a = -1;
    Picture p;
    if (run(s, p))
        previewLabel_->setPixmap(QPixmap::fromImage(toImage(p)).scaled(previewLabel_->size(), Qt::KeepAspectRatio));
}

void ScanDialog::scan() {
    if (run(settings(), picture_)) accept();
}

}  // namespace orrery
