#include "image/image_window.h"

#include <QMouseEvent>
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
    m_cacheValid = false;
    update();
}

void CImageWindow::layoutAndScroll() {
    m_cacheValid = false;
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
    case QAbstractSlider::SliderMove: return;  // dragging the thumb moves nothing
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
    // The slider follows the model, not its own idea of the step.
    bar->setSliderPosition(origin);
    if (step != 0) repaint();
}

const QImage& CImageWindow::shownImage() {
    if (!m_cacheValid) {
        m_cache = m_image.toDeviceImage();
        m_cacheValid = true;
    }
    return m_cache;
}

void CImageWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = clientRect();
    if (m_hBar->isVisible() && m_vBar->isVisible())  // the square between the bars
        painter.fillRect(QRect(client.right() + 1, client.bottom() + 1, width(), height()),
                         palette().brush(QPalette::Window));
    painter.setClipRect(event->rect() & client);
    painter.fillRect(client, Qt::white);
    if (m_image.hasBitmap()) {
        const QImage& picture = shownImage();
        if (picture.isNull()) {
            notePaintFailed();
        } else {
            const PaintGeometry g = m_model.paintGeometry();
            if (m_image.stretch) {
                painter.drawImage(client, picture);
            } else {
                const QRect dest(g.destination.left, g.destination.top, g.destination.width(),
                                 g.destination.height());
                painter.save();
                painter.setClipRect(dest & event->rect() & client);
                // The whole zoomed picture placed at minus the origin; the
                // clip keeps the paint to the part that shows.
                painter.drawImage(QRectF(-m_image.scrollX, -m_image.scrollY, m_image.displayWidth,
                                         m_image.displayHeight),
                                  picture);
                painter.restore();
            }
            if (g.frame) {
                painter.setPen(Qt::black);
                painter.setBrush(Qt::NoBrush);
                const Rect& f = g.frameRect;
                painter.drawRect(f.left, f.top, f.right - f.left, f.bottom - f.top);
            }
        }
    }
    painter.setClipRect(client);
    if (overlayPainter) overlayPainter(painter);
}

void CImageWindow::mousePressEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::mouseReleaseEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::mouseDoubleClickEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::mouseMoveEvent(QMouseEvent* e) { e->ignore(); }
void CImageWindow::keyPressEvent(QKeyEvent* e) { e->ignore(); }
void CImageWindow::keyReleaseEvent(QKeyEvent* e) { e->ignore(); }

}  // namespace quillon
