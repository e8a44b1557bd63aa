// The thumbnail grid without its widget: items with their thumbnails,
// captions and state words, the selection set with its focus and anchor, the
// rows on view, the hit test, the keyboard table and the mouse rules. The
// widget (album_ctrl.h) paints what this says and forwards its events here;
// the model tells it what to repaint and what to send through an observer.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace quillon {

// State word bits of an item.
namespace album_state {
constexpr uint16_t kSelected = 1;
constexpr uint16_t kFocus = 2;
constexpr uint16_t kHasThumbnail = 4;
constexpr uint16_t kHidden = 8;  // draws nothing: the reorder placeholder
}  // namespace album_state

// Notification codes to the parent.
enum AlbumNotification { kAlbumSelChange = 1, kAlbumFocusChange = 2, kAlbumDoubleClick = 3, kAlbumDeleteKey = 4 };

struct AlbumItem {
    QImage thumbnail;
    QString caption;
    uint16_t state = 0;
};

class AlbumGridObserver {
public:
    virtual ~AlbumGridObserver() = default;
    virtual void notify(int code) { (void)code; }
    virtual void okPressed() {}
    virtual void invalidateItem(int index) { (void)index; }
    virtual void invalidateFrom(int index) { (void)index; }
    virtual void invalidateAll() {}
    // The view moved by that many rows (negative: up); the pixels on view
    // can be moved instead of repainted when fewer rows than the view moved.
    virtual void scrolled(int rows) { (void)rows; }
    virtual void scrollBarChanged() {}
};

// Keys of the keyboard table.
enum class AlbumKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, Space, Delete, Return };

struct AlbumScrollBar {
    int maximum = 0;  // range 0..maximum, in rows
    int position = 0;
    bool enabled = false;
};

class AlbumGridModel {
public:
    explicit AlbumGridModel(AlbumGridObserver* observer = nullptr);
    void setObserver(AlbumGridObserver* observer) { m_observer = observer ? observer : &m_silent; }

    // Geometry: the thumbnail size and the caption line's height fix the cell.
    void setCellMetrics(int thumbnailWidth, int thumbnailHeight, int fontHeight);
    // The client area (inside the border) and the scroll bar's width: columns
    // and rows on view follow, and the first row on view is kept in range.
    void setClientSize(int width, int height, int scrollBarWidth);

    int cellWidth() const { return m_cellWidth; }
    int cellHeight() const { return m_cellHeight; }
    int thumbnailWidth() const { return m_thumbWidth; }
    int thumbnailHeight() const { return m_thumbHeight; }
    int clientWidth() const { return m_clientWidth; }
    int clientHeight() const { return m_clientHeight; }
    int columns() const { return m_columns; }
    int visibleRows() const { return m_visibleRows; }
    int totalRows() const;
    int firstVisible() const { return m_first; }
    int firstVisibleRow() const { return m_first / m_columns; }
    AlbumScrollBar scrollBar() const { return m_bar; }

    // Items.
    int count() const { return int(m_items.size()); }
    const AlbumItem& item(int index) const { return m_items[size_t(index)]; }
    uint16_t state(int index) const { return m_items[size_t(index)].state; }
    // Returns the new index.
    int append(QImage thumbnail);
    int insert(int index, QImage thumbnail);
    bool remove(int index);
    void removeAll();
    bool move(int from, int to);
    bool setCaption(int index, const QString& caption);
    QString caption(int index) const;
    bool setThumbnail(int index, QImage thumbnail);
    bool setHidden(int index, bool hidden);

    // Selection and focus.
    int selectedCount() const;
    int nextSelected(int after) const;  // -1 when none
    int focusIndex() const { return m_items.empty() ? -1 : m_focus; }
    int anchor() const { return m_anchor; }
    bool selectItem(int index, bool withFocus, bool notify);
    void setHasFocus(bool focus);
    bool hasFocus() const { return m_hasFocus; }

    // Where a point of the client area falls: an item, or -1.
    int hitTest(int x, int y) const;
    // The cell of an item in client coordinates (left, top); row may lie
    // outside the view.
    int cellLeft(int index) const;
    int cellTop(int index) const;

    // Scrolling by the scroll bar's codes.
    void lineUp() { scrollToRow(firstVisibleRow() - 1); }
    void lineDown() { scrollToRow(firstVisibleRow() + 1); }
    void pageUp() { scrollToRow(firstVisibleRow() - m_visibleRows); }
    void pageDown() { scrollToRow(firstVisibleRow() + m_visibleRows); }
    void scrollToRow(int row);

    // The keyboard table.
    void key(AlbumKey key, bool shift);

    // The mouse: a press, moves with the button held (also the timer's
    // repeats at the cursor), the release and a double-click.
    void press(int x, int y, bool ctrl, bool shift);
    void drag(int x, int y);
    void release();
    void doubleClick(int x, int y);
    bool dragging() const { return m_dragging; }

    // The focus alone moves (no selection change): the reorder drag's mark.
    void moveFocusMark(int index);

private:
    int maxFirstRow() const;
    void updateScrollBar();
    void setFocusIndex(int index);
    void selectRange(int from, int to);
    void selectOnly(int index);
    void ensureVisible(int index);
    void notify(int code) { m_observer->notify(code); }
    bool valid(int index) const { return index >= 0 && index < count(); }
    void reindexAfterMove(int from, int to, int landed);

    AlbumGridObserver m_silent;
    AlbumGridObserver* m_observer;
    std::vector<AlbumItem> m_items;
    int m_thumbWidth = 0, m_thumbHeight = 0;
    int m_cellWidth = 4, m_cellHeight = 4;
    int m_clientWidth = 0, m_clientHeight = 0;
    int m_columns = 1;
    int m_visibleRows = 0;
    int m_first = 0;
    int m_focus = 0;
    int m_anchor = 0;
    bool m_hasFocus = false;
    bool m_dragging = false;
    AlbumScrollBar m_bar;
};

}  // namespace quillon
