#include "dialogs/colour_swatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace quillon {

CColourSwatch::CColourSwatch(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("1085"));
    setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    setFixedSize(48, 22);
}

void CColourSwatch::setSwatch(std::optional<QRgb> colour, bool sunken) {
    m_colour = colour;
    setFrameShadow(sunken ? QFrame::Sunken : QFrame::Raised);
    update();
}

void CColourSwatch::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QColor fill = m_colour ? QColor::fromRgb(*m_colour) : palette().color(QPalette::Button);
    painter.fillRect(contentsRect(), fill);
    painter.end();
    QFrame::paintEvent(event);
}

void CColourSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) emit clicked();
    event->accept();
}

}  // namespace quillon
