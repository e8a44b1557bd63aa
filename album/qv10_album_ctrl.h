// CQV10AlbumCtrl: the grid of the camera's album, which also reorders its
// frames by dragging. A press on a frame starts the drag; the focus mark
// shows where the frame would go (the place after the last frame too); the
// release asks the parent to move it: reorderRequested(source, target).
#pragma once

#include "album/album_ctrl.h"
#include "album/album_reorder.h"

namespace quillon {

class CQV10AlbumCtrl : public CAlbumCtrl {
    Q_OBJECT
public:
    explicit CQV10AlbumCtrl(QWidget* parent = nullptr);

    bool reordering() const { return m_reorder.active(); }

signals:
    // The parent moves the item itself.
    void reorderRequested(int source, int target);

protected:
    void afterPress(int hit) override;
    void dragTo(QPoint client) override;
    void afterRelease() override;
    bool dragHeld() const override { return m_reorder.active() || CAlbumCtrl::dragHeld(); }

private:
    void showDragCursor();
    AlbumReorder m_reorder;
};

}  // namespace quillon
