#include "album/album_reorder.h"

namespace quillon {

void AlbumReorder::begin() {
    if (m_active || m_model.focusIndex() < 0) return;
    m_source = m_model.focusIndex();
    const int placeholder = m_model.append(QImage());
    if (placeholder < 0) return;
    m_model.setHidden(placeholder, true);
    m_active = true;
}

void AlbumReorder::drag(int x, int y) {
    if (!m_active) return;
    if (y < 0) m_model.scrollToRow(m_model.firstVisibleRow() - 1);
    else if (y >= m_model.clientHeight()) m_model.scrollToRow(m_model.firstVisibleRow() + 1);
    if (y < 0 || y >= m_model.clientHeight()) return;
    const int hit = m_model.hitTest(x, y);
    if (hit >= 0) m_model.moveFocusMark(hit);
}

std::optional<std::pair<int, int>> AlbumReorder::end() {
    if (!m_active) return std::nullopt;
    m_active = false;
    const int target = m_model.focusIndex();
    m_model.remove(m_model.count() - 1);
    if (target == m_source) return std::nullopt;
    return std::make_pair(m_source, target);
}

}  // namespace quillon
