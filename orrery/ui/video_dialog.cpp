#include "orrery/ui/video_dialog.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orrery {

VideoDialog::VideoDialog(const Config& config, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾋﾞﾃﾞｵ取り込み"));
    view_ = new QLabel;
    view_->setFixedSize(kVideoWidth / 2, kVideoHeight / 2);
    view_->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox;
    captureButton_ = buttons->addButton("Capture", QDialogButtonBox::AcceptRole);
    captureButton_->setObjectName("capture");
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(captureButton_, &QPushButton::clicked, this, &VideoDialog::capture);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(buttons);

    std::string error;
    source_ = VideoSource::start(config, error);
    captureButton_->setEnabled(false);
    if (!source_) {
        view_->setText(QString::fromStdString(error));
        return;
    }
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] { refresh(0); });
    timer_->start(40);
}

VideoDialog::~VideoDialog() = default;

bool VideoDialog::refresh(int waitMs) {
    if (!source_) return false;
    Picture frame;
    if (!source_->pull(frame, waitMs)) return false;
    latest_ = std::move(frame);
    QImage image(latest_.rgb.data(), latest_.width, latest_.height, latest_.width * 3, QImage::Format_RGB888);
    view_->setPixmap(QPixmap::fromImage(image.scaled(view_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    captureButton_->setEnabled(true);
    return true;
}

void VideoDialog::capture() {
    if (latest_.empty()) return;
    picture_ = latest_;
    accept();
}

}  // namespace orrery
