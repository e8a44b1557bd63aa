// The video dialog: a live picture from the configured source and a
// capture button that keeps the frame shown.
#pragma once

#include <QDialog>
#include <memory>

#include "orrery/core/config.h"
#include "orrery/video/video_source.h"

class QLabel;
class QPushButton;
class QTimer;

namespace orrery {

class VideoDialog : public QDialog {
    Q_OBJECT
public:
    VideoDialog(const Config& config, QWidget* parent = nullptr);
    ~VideoDialog() override;

    const Picture& picture() const { return picture_; }
    bool hasSource() const { return source_ != nullptr; }

public slots:
    // Shows the newest frame when one has come within waitMs; true when one
    // came. The dialog's timer never waits, so a stalled source cannot hold
    // up the interface.
    bool refresh(int waitMs = 0);
    void capture();

private:
    std::unique_ptr<VideoSource> source_;
    QLabel* view_;
    QPushButton* captureButton_;
    QTimer* timer_;
    Picture latest_;
    Picture picture_;
};

}  // namespace orrery
