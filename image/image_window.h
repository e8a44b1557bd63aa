// The image window: the widget side of an image object. It shows the picture
// at its zoom, centres it inside a one-pixel frame when it is smaller than
// the window, scrolls it when larger, and hands every key and mouse event on
// to its parent (events it does not accept travel up in Qt). After each
// paint it lets the parent draw its overlays. The geometry is ui/scroll_model.h.
#pragma once

#include "image/image_object.h"
#include "image/image_window_sink.h"
#include "ui/scroll_model.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QScrollBar;

namespace quillon {

class CImageWindow : public QWidget, public ImageWindowSink {
public:
    CImageWindow(CImageObject& image, QWidget* parent);
    ~CImageWindow() override;

    CImageObject& image() { return m_image; }
    ScrollModel& model() { return m_model; }
    QScrollBar* horizontalBar() const { return m_hBar; }
    QScrollBar* verticalBar() const { return m_vBar; }
    QRect clientRect() const { return QRect(0, 0, m_model.clientWidth(), m_model.clientHeight()); }

    // Zoom in percent; with redraw the window is laid out and repainted.
    void setZoom(int percent, bool redraw);
    void recentre();
    // One line step, as a scroll bar arrow gives it; direction -1 or 1.
    void scrollLine(Qt::Orientation orientation, int direction);

    // Called after every paint with the painter of the client area.
    std::function<void(QPainter&)> overlayPainter;
    // Ctrl with the wheel: notches up (positive) or down.
    std::function<void(int notches)> wheelZoom;
    // Called when the paint palette was rebuilt.
    std::function<void()> paletteChanged;

    // ImageWindowSink
    bool isShown() const override { return isVisible(); }
    void announcePaletteChanged() override;
    void invalidateAll() override;
    void layoutAndScroll() override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void barAction(Qt::Orientation orientation, int action);
    void applyScroll(Qt::Orientation orientation, ScrollAction action, int thumb);
    void syncBars();
    void paintPicture(QPainter& painter, const QRect& exposed);

    CImageObject& m_image;
    ScrollModel m_model;
    QScrollBar* m_hBar;
    QScrollBar* m_vBar;
};

// The process-wide paint-failed flag: set when a picture could not be
// painted; the application shows message 5011 at idle and clears it.
void notePaintFailed();
bool takePaintFailed();

}  // namespace quillon
