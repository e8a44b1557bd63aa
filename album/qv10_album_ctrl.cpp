#include "album/qv10_album_ctrl.h"

namespace quillon {

CQV10AlbumCtrl::CQV10AlbumCtrl(QWidget* parent) : CAlbumCtrl(parent), m_reorder(model()) {}

void CQV10AlbumCtrl::afterPress(int hit) {
    if (hit < 0) return;
    model().release();  // the selection drag gives way to the reorder drag
    m_reorder.begin();
}

void CQV10AlbumCtrl::dragTo(QPoint client) {
    if (!m_reorder.active()) {
        CAlbumCtrl::dragTo(client);
        return;
    }
    m_reorder.drag(client.x(), client.y());
    showDragCursor();
}

void CQV10AlbumCtrl::afterRelease() {
    const auto moved = m_reorder.end();
    setCursor(Qt::ArrowCursor);
    if (moved) emit reorderRequested(moved->first, moved->second);
}

void CQV10AlbumCtrl::showDragCursor() {
    setCursor(m_reorder.overOtherPlace() ? Qt::DragMoveCursor : Qt::ArrowCursor);
}

}  // namespace quillon
