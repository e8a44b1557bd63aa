// CAlbumCtrl: the thumbnail grid as a widget. It paints the cells of its
// AlbumGridModel (background, thumbnail and caption, frame) inside a sunken
// border, scrolls by rows with a scroll bar of its own, repeats a held drag
// outside its area on a 100 ms timer, and forwards keys and mouse to the
// model. What the parent window hears: notification(code) with the codes of
// AlbumNotification, and idOk() for Return.
#pragma once

#include "album/album_grid_model.h"

#include <QBasicTimer>
#include <QBrush>
#include <QFont>
#include <QWidget>

#include <vector>

class QScrollBar;

namespace quillon {

// The caption font (ＭＳ 明朝, 9 points at the screen's resolution) and the
// cell geometry it gives.
struct AlbumMetrics {
    QFont font;
    int thumbnailWidth = 0;
    int thumbnailHeight = 0;
    int fontHeight = 0;
};
AlbumMetrics albumMetrics(int logicalDpiX);

// Screens of fewer than 15 bits show thumbnails in the 3-3-2 colours:
// index r + 8 g + 64 b, red r x 32, green g x 32, blue b x 64.
std::vector<QRgb> albumScreenPalette();
QImage reducedToScreen(const QImage& thumbnail, int screenDepth);

class CAlbumCtrl : public QWidget, protected AlbumGridObserver {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;

    explicit CAlbumCtrl(QWidget* parent = nullptr);
    ~CAlbumCtrl() override;

    // Takes the placeholder's place, geometry and id (its object name), and
    // deletes it.
    void replacePlaceholder(QWidget* placeholder);

    AlbumGridModel& model() { return m_model; }
    const AlbumGridModel& model() const { return m_model; }

    // The public operations (index 0-based).
    int appendItem(const QImage& thumbnail);
    int insertItem(int index, const QImage& thumbnail);
    bool removeItem(int index) { return m_model.remove(index); }
    void removeAllItems() { m_model.removeAll(); }
    bool moveItem(int from, int to) { return m_model.move(from, to); }
    bool setCaption(int index, const QString& caption) { return m_model.setCaption(index, caption); }
    QString caption(int index) const { return m_model.caption(index); }
    bool setThumbnail(int index, const QImage& thumbnail);
    int selectedCount() const { return m_model.selectedCount(); }
    int nextSelected(int after) const { return m_model.nextSelected(after); }
    int focusIndex() const { return m_model.focusIndex(); }
    bool selectItem(int index, bool withFocus, bool notify) { return m_model.selectItem(index, withFocus, notify); }
    QSize thumbnailSize() const { return {m_model.thumbnailWidth(), m_model.thumbnailHeight()}; }
    // The display palette's first 255 entries; empty on screens without one.
    std::vector<QRgb> displayPalette() const;
    int screenDepth() const { return m_screenDepth; }
    void setScreenDepth(int depth) { m_screenDepth = depth; }

    // The client area inside the border, in widget coordinates.
    QRect clientRect() const;
    // An item's cell in widget coordinates.
    QRect cellRect(int index) const;
    QScrollBar* scrollBar() const { return m_bar; }

signals:
    void notification(int code);
    void idOk();
    // The items on view changed (scrolling, resizing): loaders reorder.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void timerEvent(QTimerEvent*) override;
    void changeEvent(QEvent*) override;

    // Hooks for the camera album's reorder drag, in client coordinates.
    virtual void afterPress(int hit) { (void)hit; }
    virtual void dragTo(QPoint client) { m_model.drag(client.x(), client.y()); }
    virtual void afterRelease() {}
    virtual bool dragHeld() const { return m_model.dragging(); }

    // AlbumGridObserver
    void notify(int code) override { emit notification(code); }
    void okPressed() override { emit idOk(); }
    void invalidateItem(int index) override;
    void invalidateFrom(int index) override;
    void invalidateAll() override { update(); }
    void scrolled(int rows) override;
    void scrollBarChanged() override;

private:
    void layoutClient();
    void paintCell(QPainter& painter, int index, const QRect& cell);
    void paintBorder(QPainter& painter);

    AlbumGridModel m_model;
    AlbumMetrics m_metrics;
    QScrollBar* m_bar;
    QBrush m_focusBrush;
    QBasicTimer m_timer;
    QPoint m_lastDrag;  // where the held mouse last was, in client coordinates
    int m_screenDepth = 24;
    bool m_syncingBar = false;
};

}  // namespace quillon
