#include "album/album_grid_model.h"

#include <algorithm>
#include <new>

namespace quillon {

using namespace album_state;

AlbumGridModel::AlbumGridModel(AlbumGridObserver* observer) : m_observer(observer ? observer : &m_silent) {}

void AlbumGridModel::setCellMetrics(int thumbnailWidth, int thumbnailHeight, int fontHeight) {
    m_thumbWidth = std::max(1, thumbnailWidth);
    m_thumbHeight = std::max(1, thumbnailHeight);
    m_cellWidth = m_thumbWidth + 4;
    m_cellHeight = m_thumbHeight + fontHeight + 4;
}

void AlbumGridModel::setClientSize(int width, int height, int scrollBarWidth) {
    const int oldColumns = m_columns;
    const int oldFirst = m_first;
    m_clientWidth = std::max(0, width);
    m_clientHeight = std::max(0, height);
    m_columns = std::max(1, (m_clientWidth - scrollBarWidth) / m_cellWidth);
    m_visibleRows = m_clientHeight / m_cellHeight;
    // The first item on view starts a row, and the last row ends the view
    // when the rows from there would not fill it.
    int row = m_first / m_columns;
    row = std::min(row, maxFirstRow());
    m_first = std::max(0, row) * m_columns;
    updateScrollBar();
    if (m_columns != oldColumns || m_first != oldFirst) m_observer->invalidateAll();
}

int AlbumGridModel::totalRows() const { return (count() + m_columns - 1) / m_columns; }

int AlbumGridModel::maxFirstRow() const { return std::max(0, totalRows() - m_visibleRows); }

void AlbumGridModel::updateScrollBar() {
    m_bar.maximum = maxFirstRow();
    m_bar.position = firstVisibleRow();
    m_bar.enabled = m_bar.maximum > 0 || m_bar.position > 0;
    m_observer->scrollBarChanged();
}

int AlbumGridModel::append(QImage thumbnail) {
    AlbumItem item;
    item.state = thumbnail.isNull() ? 0 : kHasThumbnail;
    item.thumbnail = std::move(thumbnail);
    item.caption = QString::number(count() + 1);
    const int index = count();
    if (m_hasFocus && index == m_focus) item.state |= kFocus;
    try {
        m_items.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    updateScrollBar();
    m_observer->invalidateItem(index);
    return index;
}

int AlbumGridModel::insert(int index, QImage thumbnail) {
    if (index < 0 || index > count()) return -1;
    if (index == count()) return append(std::move(thumbnail));
    AlbumItem item;
    item.state = thumbnail.isNull() ? 0 : kHasThumbnail;
    item.thumbnail = std::move(thumbnail);
    item.caption = QString::number(index + 1);
    try {
        m_items.insert(m_items.begin() + index, std::move(item));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (m_focus >= index) ++m_focus;
    if (m_anchor >= index) ++m_anchor;
    updateScrollBar();
    m_observer->invalidateFrom(index);
    return index;
}

bool AlbumGridModel::remove(int index) {
    if (!valid(index)) return false;
    m_items.erase(m_items.begin() + index);
    if (m_first >= count() && m_first > 0) m_first = std::max(0, m_first - m_columns);
    const int last = std::max(0, count() - 1);
    m_focus = std::min(m_focus, last);
    m_anchor = std::min(m_anchor, last);
    // Exactly one item carries the focus mark: the one at the focus index.
    for (AlbumItem& item : m_items) item.state &= uint16_t(~kFocus);
    if (m_hasFocus && !m_items.empty()) m_items[size_t(m_focus)].state |= kFocus;
    updateScrollBar();
    m_observer->invalidateFrom(std::min(index, m_first));
    notify(kAlbumSelChange);
    notify(kAlbumFocusChange);
    return true;
}

void AlbumGridModel::removeAll() {
    m_items.clear();
    m_focus = m_anchor = m_first = 0;
    m_dragging = false;
    updateScrollBar();
    m_observer->invalidateAll();
}

void AlbumGridModel::reindexAfterMove(int from, int to, int landed) {
    auto follow = [&](int index) {
        if (index == from) return landed;
        if (from < landed && index > from && index <= landed) return index - 1;
        if (landed < from && index >= landed && index < from) return index + 1;
        return index;
    };
    (void)to;
    m_focus = follow(m_focus);
    m_anchor = follow(m_anchor);
}

bool AlbumGridModel::move(int from, int to) {
    if (!valid(from) || to < 0 || to > count()) return false;
    const int landed = to < from ? to : to - 1;
    if (landed == from) return true;
    AlbumItem item = std::move(m_items[size_t(from)]);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + landed, std::move(item));
    reindexAfterMove(from, to, landed);
    for (int i = std::min(from, landed); i <= std::max(from, landed); ++i) m_observer->invalidateItem(i);
    return true;
}

bool AlbumGridModel::setCaption(int index, const QString& caption) {
    if (!valid(index)) return false;
    m_items[size_t(index)].caption = caption;
    m_observer->invalidateItem(index);
    return true;
}

QString AlbumGridModel::caption(int index) const { return valid(index) ? item(index).caption : QString(); }

bool AlbumGridModel::setThumbnail(int index, QImage thumbnail) {
    if (!valid(index)) return false;
    AlbumItem& item = m_items[size_t(index)];
    item.state = uint16_t((item.state & ~kHasThumbnail) | (thumbnail.isNull() ? 0 : kHasThumbnail));
    item.thumbnail = std::move(thumbnail);
    m_observer->invalidateItem(index);
    return true;
}

bool AlbumGridModel::setHidden(int index, bool hidden) {
    if (!valid(index)) return false;
    AlbumItem& item = m_items[size_t(index)];
    item.state = uint16_t(hidden ? item.state | kHidden : item.state & ~kHidden);
    m_observer->invalidateItem(index);
    return true;
}

int AlbumGridModel::selectedCount() const {
    return int(std::count_if(m_items.begin(), m_items.end(),
                             [](const AlbumItem& item) { return item.state & kSelected; }));
}

int AlbumGridModel::nextSelected(int after) const {
    for (int i = std::max(0, after + 1); i < count(); ++i)
        if (m_items[size_t(i)].state & kSelected) return i;
    return -1;
}

bool AlbumGridModel::selectItem(int index, bool withFocus, bool notifyParent) {
    if (!valid(index)) return false;
    const int oldFocus = m_focus;
    for (int i = 0; i < count(); ++i) {
        AlbumItem& item = m_items[size_t(i)];
        const uint16_t before = item.state;
        const uint16_t bits = withFocus ? uint16_t(kSelected | kFocus) : kSelected;
        item.state = uint16_t(i == index ? item.state | bits : item.state & ~bits);
        if (item.state != before) m_observer->invalidateItem(i);
    }
    m_focus = m_anchor = index;
    if (notifyParent) {
        notify(kAlbumSelChange);
        if (oldFocus != m_focus) notify(kAlbumFocusChange);
    }
    return true;
}

void AlbumGridModel::setHasFocus(bool focus) {
    m_hasFocus = focus;
    if (!valid(m_focus)) return;
    AlbumItem& item = m_items[size_t(m_focus)];
    item.state = uint16_t(focus ? item.state | kFocus : item.state & ~kFocus);
    m_observer->invalidateItem(m_focus);
}

void AlbumGridModel::setFocusIndex(int index) {
    for (int i = 0; i < count(); ++i) {
        AlbumItem& item = m_items[size_t(i)];
        const bool mark = m_hasFocus && i == index;
        if (bool(item.state & kFocus) != mark) {
            item.state ^= kFocus;
            m_observer->invalidateItem(i);
        }
    }
    m_focus = index;
}

void AlbumGridModel::selectRange(int from, int to) {
    const int low = std::min(from, to), high = std::max(from, to);
    for (int i = 0; i < count(); ++i) {
        AlbumItem& item = m_items[size_t(i)];
        const bool on = i >= low && i <= high;
        if (bool(item.state & kSelected) != on) {
            item.state ^= kSelected;
            m_observer->invalidateItem(i);
        }
    }
}

void AlbumGridModel::selectOnly(int index) { selectRange(index, index); }

int AlbumGridModel::hitTest(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_columns * m_cellWidth) return -1;
    const int index = m_columns * (y / m_cellHeight) + x / m_cellWidth + m_first;
    return index < count() ? index : -1;
}

int AlbumGridModel::cellLeft(int index) const { return ((index - m_first) % m_columns + m_columns) % m_columns * m_cellWidth; }

int AlbumGridModel::cellTop(int index) const {
    return (index / m_columns - firstVisibleRow()) * m_cellHeight;
}

void AlbumGridModel::scrollToRow(int row) {
    row = std::clamp(row, 0, maxFirstRow());
    const int moved = row - firstVisibleRow();
    if (moved == 0) return;
    m_first = row * m_columns;
    updateScrollBar();
    m_observer->scrolled(moved);
}

void AlbumGridModel::ensureVisible(int index) {
    const int row = index / m_columns;
    if (row < firstVisibleRow()) scrollToRow(row);
    else if (m_visibleRows > 0 && row >= firstVisibleRow() + m_visibleRows) scrollToRow(row - m_visibleRows + 1);
}

void AlbumGridModel::key(AlbumKey key, bool shift) {
    if (m_items.empty()) return;
    const int n = count(), c = m_columns, v = m_visibleRows;
    const int f = m_focus;
    const int firstRow = firstVisibleRow();
    int next = f;
    switch (key) {
    case AlbumKey::Space:
        m_items[size_t(f)].state ^= kSelected;
        m_observer->invalidateItem(f);
        notify(kAlbumSelChange);
        return;
    case AlbumKey::Delete: notify(kAlbumDeleteKey); return;
    case AlbumKey::Return: m_observer->okPressed(); break;
    case AlbumKey::Left:
        next = std::max(0, f - 1);
        if (next / c < firstRow) scrollToRow(firstRow - 1);
        break;
    case AlbumKey::Right:
        next = std::min(n - 1, f + 1);
        if (next / c >= firstRow + v) scrollToRow(firstRow + 1);
        break;
    case AlbumKey::Up:
        if (f - c >= 0) next = f - c;
        if (next / c < firstRow) scrollToRow(firstRow - 1);
        break;
    case AlbumKey::Down:
        if (f + c < n) next = f + c;
        if (next / c >= firstRow + v) scrollToRow(firstRow + 1);
        break;
    case AlbumKey::PageUp:
        next = f - (v - 1) * c;
        if (next < 0) next = f % c;
        scrollToRow(next / c);
        break;
    case AlbumKey::PageDown:
        next = f + v * c;
        if (next >= n) {
            // The lowest row that has this column.
            next = (n - 1) / c * c + f % c;
            if (next >= n) next -= c;
        }
        scrollToRow(next / c - v + 1);
        break;
    case AlbumKey::Home:
        next = 0;
        scrollToRow(0);
        break;
    case AlbumKey::End:
        next = n - 1;
        scrollToRow(totalRows() - v);
        break;
    }
    setFocusIndex(next);
    if (shift) {
        selectRange(m_anchor, next);
    } else {
        selectOnly(next);
        m_anchor = next;
    }
    notify(kAlbumSelChange);
    notify(kAlbumFocusChange);
    if (!shift) ensureVisible(next);
}

void AlbumGridModel::press(int x, int y, bool ctrl, bool shift) {
    const int hit = hitTest(x, y);
    if (hit < 0) return;
    const int oldFocus = m_focus;
    if (ctrl) {
        setFocusIndex(hit);
        m_items[size_t(hit)].state ^= kSelected;
        m_observer->invalidateItem(hit);
        m_anchor = hit;
    } else if (!shift) {
        selectOnly(hit);
        setFocusIndex(hit);
        m_anchor = hit;
    } else {
        selectRange(m_anchor, hit);
        setFocusIndex(hit);
    }
    notify(kAlbumSelChange);
    if (m_focus != oldFocus) notify(kAlbumFocusChange);
    m_dragging = true;
}

void AlbumGridModel::drag(int x, int y) {
    if (!m_dragging) return;
    if (y < 0) scrollToRow(firstVisibleRow() - 1);
    else if (y >= m_clientHeight) scrollToRow(firstVisibleRow() + 1);
    if (y < 0 || y >= m_clientHeight) return;
    const int hit = hitTest(x, y);
    if (hit < 0 || hit == m_focus) return;
    selectRange(m_anchor, hit);
    setFocusIndex(hit);
    notify(kAlbumSelChange);
    notify(kAlbumFocusChange);
}

void AlbumGridModel::release() { m_dragging = false; }

void AlbumGridModel::doubleClick(int x, int y) {
    if (hitTest(x, y) >= 0) notify(kAlbumDoubleClick);
}

void AlbumGridModel::moveFocusMark(int index) {
    if (valid(index) && index != m_focus) setFocusIndex(index);
}

}  // namespace quillon
