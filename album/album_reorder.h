// Reordering by dragging, for the camera's album: a press on an item starts
// it from the focus item, and a hidden placeholder is appended so that the
// place after the last item can be aimed at. Moving shows the target by the
// focus mark alone; the release removes the placeholder and reports
// (source, target) when they differ. The owner moves the item itself.
#pragma once

#include "album/album_grid_model.h"

#include <optional>
#include <utility>

namespace quillon {

class AlbumReorder {
public:
    explicit AlbumReorder(AlbumGridModel& model) : m_model(model) {}

    // After the press has been handled by the grid.
    void begin();
    void drag(int x, int y);
    std::optional<std::pair<int, int>> end();

    bool active() const { return m_active; }
    int source() const { return m_source; }
    // Over another place than the source the drag cursor shows.
    bool overOtherPlace() const { return m_active && m_model.focusIndex() != m_source; }

private:
    AlbumGridModel& m_model;
    int m_source = -1;
    bool m_active = false;
};

}  // namespace quillon
