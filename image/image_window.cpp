#include "image/image_window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <atomic>

namespace quillon {
namespace {

std::atomic<bool> g_paintFailed{false};

int barExtent(const QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w); }

}  // namespace

void notePaintFailed() { g_paintFailed = true; }
bool takePaintFailed() { return g_paintFailed.exchange(false); }

CImageWindow::CImageWindow(CImageObject& image, QWidget* parent)
    : QWidget(parent), m_image(image), m_model(image, barExtent(this)) {
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    m_vBar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_hBar, m_vBar}) {
        bar->hide();
        bar->setTracking(false);  // the picture moves when the thumb is released
        bar->setSingleStep(4);
        bar->setFocusPolicy(Qt::NoFocus);
        const Qt::Orientation o = bar->orientation();
        connect(bar, &QScrollBar::actionTriggered, this, [this, o](int action) { barAction(o, action); });
        connect(bar, &QScrollBar::sliderReleased, this, [this, bar, o] {
            applyScroll(o, ScrollAction::ThumbPosition, bar->sliderPosition());
        });
    }
    m_image.setSink(this);
}

CImageWindow::~CImageWindow() {
    if (m_image.sink() == this) m_image.setSink(nullptr);
}

void CImageWindow::setZoom(int percent, bool redraw) {
    m_model.setZoom(percent, redraw);
    if (redraw) {
        syncBars();
        invalidateAll();
        repaint();
    }
}

void CImageWindow::recentre() {
    m_model.recentre();
    syncBars();
    update();
}

void CImageWindow::announcePaletteChanged() {
    if (paletteChanged) paletteChanged();
}

void CImageWindow::invalidateAll() {
    update();
}

void CImageWindow::layoutAndScroll() {
    m_model.setWindowSize(width(), height());
    m_model.layout();
    if (m_image.fitWindow) resize(m_model.windowWidth(), m_model.windowHeight());
    m_model.updateScrollBars();
    syncBars();
    update();
}

void CImageWindow::resizeEvent(QResizeEvent*) {
    m_model.resized(width(), height());
    syncBars();
    update();
}

void CImageWindow::syncBars() {
    const int bar = m_model.barExtent();
    const int cw = m_model.clientWidth(), ch = m_model.clientHeight();
    m_hBar->setVisible(m_model.horizontalShown());
    m_vBar->setVisible(m_model.verticalShown());
    m_hBar->setGeometry(0, ch, cw, bar);
    m_vBar->setGeometry(cw, 0, bar, ch);
    const QSignalBlocker bh(m_hBar), bv(m_vBar);
    m_hBar->setRange(0, std::max(0, m_image.scrollRangeX));
    m_hBar->setPageStep(std::max(1, cw));
    m_vBar->setRange(0, std::max(0, m_image.scrollRangeY));
    m_vBar->setPageStep(std::max(1, ch));
    if (m_image.scrollX >= 0) m_hBar->setValue(m_image.scrollX);
    if (m_image.scrollY >= 0) m_vBar->setValue(m_image.scrollY);
}

void CImageWindow::barAction(Qt::Orientation o, int action) {
    ScrollAction a;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: a = ScrollAction::LineBack; break;
    case QAbstractSlider::SliderSingleStepAdd: a = ScrollAction::LineForward; break;
    case QAbstractSlider::SliderPageStepSub: a = ScrollAction::PageBack; break;
    case QAbstractSlider::SliderPageStepAdd: a = ScrollAction::PageForward; break;
    case QAbstractSlider::SliderToMinimum: a = ScrollAction::ToStart; break;
    case QAbstractSlider::SliderToMaximum: a = ScrollAction::ToEnd; break;
    case QAbstractSlider::SliderMove: {
        // Dragging the thumb moves the picture on release; a move that is
        // not a drag (the wheel over the bar) moves it now.
        QScrollBar* bar = o == Qt::Horizontal ? m_hBar : m_vBar;
        if (bar->isSliderDown()) return;
        applyScroll(o, ScrollAction::ThumbPosition, bar->sliderPosition());
        return;
    }
    default: return;
    }
    applyScroll(o, a, 0);
}

void CImageWindow::scrollLine(Qt::Orientation o, int direction) {
    applyScroll(o, direction < 0 ? ScrollAction::LineBack : ScrollAction::LineForward, 0);
}

void CImageWindow::applyScroll(Qt::Orientation o, ScrollAction action, int thumb) {
    const int step = m_model.scroll(o, action, thumb);
    QScrollBar* bar = o == Qt::Horizontal ? m_hBar : m_vBar;
    const int origin = o == Qt::Horizontal ? m_image.scrollX : m_image.scrollY;
    // The slider follows the model, not its own idea of the step; its value
    // too, since the wheel over the bar steps from the value.
    bar->setValue(origin);
    if (step != 0) repaint();
}

void CImageWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = clientRect();
    if (m_hBar->isVisible() && m_vBar->isVisible())  // the square between the bars
        painter.fillRect(QRect(client.right() + 1, client.bottom() + 1, width(), height()),
                         palette().brush(QPalette::Window));
    painter.setClipRect(event->rect() & client);
    painter.fillRect(client, Qt::white);
    if (m_image.hasBitmap()) paintPicture(painter, event->rect() & client);
    painter.setClipRect(client);
    if (overlayPainter) overlayPainter(painter);
}

void CImageWindow::paintPicture(QPainter& painter, const QRect& exposed) {
    const PaintGeometry g = m_model.paintGeometry();
    const int w = m_image.width(), h = m_image.height();
    if (m_image.stretch) {
        const QImage picture = m_image.toDeviceImage();
        if (picture.isNull()) notePaintFailed();
        else painter.drawImage(clientRect(), picture);
        return;
    }
    const QRect dest = QRect(g.destination.left, g.destination.top, g.destination.width(), g.destination.height()) &
                       exposed;
    const int dw = std::max(1, m_image.displayWidth), dh = std::max(1, m_image.displayHeight);
    if (!dest.isEmpty()) {
        // Only the picture pixels under the exposed part are converted; they
        // are drawn where the whole zoomed picture would put them.
        const qint64 sx = m_image.scrollX, sy = m_image.scrollY;
        Rect source;
        source.left = int((dest.left() + sx) * w / dw) & ~7;  // whole bytes of 1-bit rows
        source.top = int((dest.top() + sy) * h / dh);
        source.right = int(std::min<qint64>(w, ((dest.right() + 1 + sx) * w + dw - 1) / dw));
        source.bottom = int(std::min<qint64>(h, ((dest.bottom() + 1 + sy) * h + dh - 1) / dh));
        const QImage part = m_image.toDeviceImage(source);
        if (part.isNull()) {
            notePaintFailed();
            return;
        }
        const QRectF target(double(source.left) * dw / w - double(sx), double(source.top) * dh / h - double(sy),
                            double(source.width()) * dw / w, double(source.height()) * dh / h);
        painter.save();
        painter.setClipRect(dest);
        painter.drawImage(target, part);
        painter.restore();
    }
    if (g.frame) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        const Rect& f = g.frameRect;
        painter.drawRect(f.left, f.top, f.right - f.left, f.bottom - f.top);
    }
}

void CImageWindow::wheelEvent(QWheelEvent* e) {
    // Ctrl with the wheel zooms; the view owns the zoom.
    if (e->modifiers() & Qt::ControlModifier) {
        const int notches = e->angleDelta().y() / 120;
        if (wheelZoom && notches != 0) wheelZoom(notches);
        e->accept();
        return;
    }
    QPoint delta = e->angleDelta();
    if (e->modifiers() & Qt::ShiftModifier) delta = QPoint(delta.y(), delta.x());
    bool moved = false;
    for (const Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        const int notches = (o == Qt::Horizontal ? delta.x() : delta.y()) / 120;
        if (notches == 0) continue;
        const bool shown = o == Qt::Horizontal ? m_model.horizontalShown() : m_model.verticalShown();
        if (!shown) continue;
        const int lines = std::abs(notches) * QApplication::wheelScrollLines() * 4;  // four line steps a line
        const ScrollAction a = notches > 0 ? ScrollAction::LineBack : ScrollAction::LineForward;
        for (int i = 0; i < lines; ++i) m_model.scroll(o, a, 0);
        (o == Qt::Horizontal ? m_hBar : m_vBar)->setValue(o == Qt::Horizontal ? m_image.scrollX : m_image.scrollY);
        moved = true;
    }
    if (moved) update();
    e->accept();
}

void CImageWindow::mousePressEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::mouseReleaseEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::mouseDoubleClickEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::mouseMoveEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::keyPressEvent(QKeyEvent* e) { e->ignore(); }
void CImageWindow::keyReleaseEvent(QKeyEvent* e) { e->ignore(); }

}  // namespace quillon
