#include "orrery/ui/scan_dialog.h"

#include <QApplication>

#include <cstdlib>
#include <initializer_list>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
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
    source_ = new QComboBox;
    source_->setObjectName("source");
    resolution_ = new QComboBox;
    resolution_->setObjectName("resolution");
    auto* form = new QFormLayout;
    form->addRow("Device", device_);
    form->addRow("Source", source_);
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
    previewButton_ = buttons->addButton("Preview", QDialogButtonBox::ActionRole);
    previewButton_->setObjectName("preview");
    scanButton_ = buttons->addButton("Scan", QDialogButtonBox::ActionRole);
    scanButton_->setObjectName("scan");
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName("cancel");
    connect(previewButton_, &QPushButton::clicked, this, &ScanDialog::preview);
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
    previewButton_->setEnabled(scanner_ != nullptr);
    if (!scanner_) {
        status_->setText("No scanner answers.");
        return;
    }
    ScannerChoices c = scanner_->choices();
    mode_->clear();
    for (const std::string& m : c.modes) mode_->addItem(QString::fromStdString(m));
    mode_->setCurrentText(QString::fromStdString(c.mode));
    source_->clear();
    for (const std::string& s : c.sources) source_->addItem(QString::fromStdString(s));
    source_->setCurrentText(QString::fromStdString(c.source));
    source_->setEnabled(source_->count() > 1);
    resolution_->clear();
    std::vector<int> offered = SaneScanner::offeredResolutions(c);
    int closest = 0;
    for (size_t i = 0; i < offered.size(); ++i) {
        resolution_->addItem(QString("%1 dpi").arg(offered[i]), offered[i]);
        if (std::abs(offered[i] - c.resolution) < std::abs(offered[size_t(closest)] - c.resolution)) closest = int(i);
    }
    if (!offered.empty()) resolution_->setCurrentIndex(closest);
    for (int k = 0; k < 4; ++k) {
        area_[k]->setRange(0, c.maxArea[k % 2] > 0 ? c.maxArea[k % 2] : 1000);
        area_[k]->setValue(c.area[k]);
    }
    status_->setText(QString::fromStdString(name.toStdString()));
}

ScanSettings ScanDialog::settings() const {
    ScanSettings s;
    s.mode = mode_->currentText().toStdString();
    s.source = source_->currentText().toStdString();
    s.resolution = resolution_->currentData().toInt();
    for (int k = 0; k < 4; ++k) s.area[k] = area_[k]->value();
    return s;
}

void ScanDialog::setScanning(bool on) {
    scanning_ = on;
    for (QWidget* w : std::initializer_list<QWidget*>{device_, mode_, resolution_, previewButton_, scanButton_})
        w->setEnabled(!on);
    source_->setEnabled(!on && source_->count() > 1);
    for (QDoubleSpinBox* a : area_) a->setEnabled(!on);
}

void ScanDialog::reject() {
    if (scanning_) {
        cancelRequested_ = true;
        return;
    }
    QDialog::reject();
}

bool ScanDialog::run(const ScanSettings& settings, Picture& out) {
    if (!scanner_ || scanning_) return false;
    cancelRequested_ = false;
    setScanning(true);
    status_->setText("Scanning...");
    Status s = scanner_->scan(settings, out, [this](int) {
        QApplication::processEvents();
        return !cancelRequested_;
    });
    setScanning(false);
    if (cancelRequested_) {
        out = Picture();
        QDialog::reject();
        return false;
    }
    if (s == ORRERY_REFUSED && !scanner_->refused().empty()) {
        std::string names;
        for (const std::string& n : scanner_->refused()) names += (names.empty() ? "" : ", ") + n;
        status_->setText(QString::fromStdString("The scanner refused: " + names + "."));
    } else if (s != ORRERY_OK) {
        status_->setText(QString("Scan failed (0x%1).").arg(s, 4, 16, QChar('0')));
    } else {
        status_->setText(QString());
    }
    return s == ORRERY_OK;
}

void ScanDialog::preview() {
    // The whole bed at the lowest resolution offered.
    ScanSettings s = settings();
    s.preview = true;
    if (resolution_->count() > 0) s.resolution = resolution_->itemData(0).toInt();
    for (double& a : s.area) a = -1;
    Picture p;
    if (run(s, p))
        previewLabel_->setPixmap(QPixmap::fromImage(toImage(p)).scaled(previewLabel_->size(), Qt::KeepAspectRatio));
}

void ScanDialog::scan() {
    if (run(settings(), picture_)) accept();
}

}  // namespace orrery
