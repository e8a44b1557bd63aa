#include "dialogs/picture_preview.h"

#include <QPainter>

namespace quillon {

CPicturePreview::CPicturePreview(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFixedSize(100, 80);
    m_picture.stretch = true;
    m_picture.setSink(this);
}

CPicturePreview::~CPicturePreview() {
    m_picture.setSink(nullptr);
    m_picture.release();
}

void CPicturePreview::clear() {
    m_picture.release();
    update();
}

void CPicturePreview::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.fillRect(inside, palette().color(QPalette::Window));
    if (m_picture.hasBitmap()) {
        const QImage image = m_picture.toDeviceImage();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (!image.isNull()) painter.drawImage(inside, image);
    }
    painter.end();
    QFrame::paintEvent(event);
}

}  // namespace quillon
