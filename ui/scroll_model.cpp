#include "ui/scroll_model.h"

#include <algorithm>

namespace quillon {
namespace {

// A picture narrower than the client gets a negative origin that centres it;
// a wider one never keeps a negative origin.
int centredOrigin(int origin, int display, int client) {
    if (display < client) return (display - client) / 2;
    return origin < 0 ? 0 : origin;
}

}  // namespace

void ScrollModel::setWindowSize(int width, int height) {
    m_windowWidth = std::max(0, width);
    m_windowHeight = std::max(0, height);
}

void ScrollModel::setZoom(int percent, bool redraw) {
    m_image.zoom = percent;
    if (!m_image.hasBitmap()) return;
    imaging::Bitmap& b = m_image.bitmap();
    if (percent == 100) {
        b.flags &= ~imaging::flag::kStretched;
        m_image.destinationRect = Rect{0, 0, b.width, b.height};
    } else {
        b.flags |= imaging::flag::kStretched;
        m_image.destinationRect = Rect{0, 0, percent * b.width / 100, percent * b.height / 100};
    }
    m_image.displayWidth = m_image.destinationRect.width();
    m_image.displayHeight = m_image.destinationRect.height();
    if (redraw) {
        layout();
        updateScrollBars();
    }
}

void ScrollModel::layout() {
    CImageObject& im = m_image;
    if (im.fitWindow) {
        im.displayWidth = im.zoom * im.width() / 100;
        im.displayHeight = im.zoom * im.height() / 100;
        im.scrollX = im.scrollY = 0;
        m_hShown = m_vShown = false;
        setWindowSize(im.displayWidth, im.displayHeight);
        return;
    }
    if (im.stretch) {
        im.displayWidth = clientWidth();
        im.displayHeight = clientHeight();
        im.scrollX = im.scrollY = 0;
        return;
    }
    im.scrollX = centredOrigin(im.scrollX, im.displayWidth, clientWidth());
    im.scrollY = centredOrigin(im.scrollY, im.displayHeight, clientHeight());
}

void ScrollModel::recentre() {
    CImageObject& im = m_image;
    if (!im.fitWindow && !im.stretch) {
        im.scrollX = im.displayWidth < clientWidth() ? (im.displayWidth - clientWidth()) / 2 : 0;
        im.scrollY = im.displayHeight < clientHeight() ? (im.displayHeight - clientHeight()) / 2 : 0;
    }
    updateScrollBars();
}

bool ScrollModel::updateScrollBars() {
    // Showing or hiding a bar resizes the client area, which in the window
    // comes back here: the guard keeps that from nesting.
    if (m_updating || !m_image.hasBitmap()) return false;
    m_updating = true;
    CImageObject& im = m_image;
    bool moved = false;
    m_hShown = m_vShown = false;
    bool changed = true;
    while (changed) {
        changed = false;
        const int overX = im.displayWidth - clientWidth();
        if (overX > 0) {
            im.scrollRangeX = overX;
            if (!m_hShown) m_hShown = changed = true;
            if (im.scrollX + clientWidth() > im.displayWidth) {
                im.scrollX -= im.scrollX + clientWidth() - im.displayWidth;
                moved = true;
            }
        } else if (m_hShown) {
            im.scrollRangeX = overX;
            m_hShown = false;
            changed = true;
        } else {
            im.scrollRangeX = std::min(im.scrollRangeX, 0);
        }
        const int overY = im.displayHeight - clientHeight();
        if (overY > 0) {
            im.scrollRangeY = overY;
            if (!m_vShown) m_vShown = changed = true;
            if (im.scrollY + clientHeight() > im.displayHeight) {
                im.scrollY -= im.scrollY + clientHeight() - im.displayHeight;
                moved = true;
            }
        } else if (m_vShown) {
            im.scrollRangeY = overY;
            m_vShown = false;
            changed = true;
        } else {
            im.scrollRangeY = std::min(im.scrollRangeY, 0);
        }
    }
    m_updating = false;
    return moved;
}

int ScrollModel::scroll(Qt::Orientation orientation, ScrollAction action, int thumb) {
    const bool horizontal = orientation == Qt::Horizontal;
    int& origin = horizontal ? m_image.scrollX : m_image.scrollY;
    const int range = horizontal ? m_image.scrollRangeX : m_image.scrollRangeY;
    const int client = horizontal ? clientWidth() : clientHeight();
    if (range <= 0) return 0;
    const int page = std::max(2, client - 2);
    int step = 0;
    switch (action) {
    case ScrollAction::LineBack: step = -4; break;
    case ScrollAction::LineForward: step = 4; break;
    case ScrollAction::PageBack: step = -page; break;
    case ScrollAction::PageForward: step = page; break;
    case ScrollAction::ThumbPosition: step = thumb - origin; break;
    case ScrollAction::ToStart: step = -origin; break;
    case ScrollAction::ToEnd: step = range - origin; break;
    case ScrollAction::ThumbTrack:  // nothing moves while the thumb is dragged
    case ScrollAction::EndScroll: step = 0; break;
    }
    step = std::clamp(step, -origin, range - origin);
    origin += step;
    return step;
}

void ScrollModel::resized(int width, int height) {
    setWindowSize(width, height);
    CImageObject& im = m_image;
    im.scrollX = centredOrigin(im.scrollX, im.displayWidth, clientWidth());
    im.scrollY = centredOrigin(im.scrollY, im.displayHeight, clientHeight());
    updateScrollBars();
    // The bars may have taken space: centre again in what is left.
    im.scrollX = centredOrigin(im.scrollX, im.displayWidth, clientWidth());
    im.scrollY = centredOrigin(im.scrollY, im.displayHeight, clientHeight());
}

PaintGeometry ScrollModel::paintGeometry() const {
    const CImageObject& im = m_image;
    PaintGeometry g;
    const int w = im.width(), h = im.height();
    const int cw = clientWidth(), ch = clientHeight();
    if (im.stretch) {
        g.source = Rect{0, 0, w, h};
        g.destination = Rect{0, 0, cw, ch};
        return g;
    }
    const int zoom = std::max(1, im.zoom);
    g.destination = Rect{0, 0, cw, ch};
    g.source.left = im.scrollX * 100 / zoom;
    g.source.right = g.source.left + cw * 100 / zoom;
    if (g.source.right > w) {
        g.source.right = w;
        g.destination.right = zoom * w / 100 - im.scrollX;
    }
    g.source.top = im.scrollY * 100 / zoom;
    g.source.bottom = g.source.top + ch * 100 / zoom;
    if (g.source.bottom > h) {
        g.source.bottom = h;
        g.destination.bottom = zoom * h / 100 - im.scrollY;
    }
    // A negative origin is a centring margin: the picture starts at -origin.
    if (im.scrollX < 0) {
        g.source.left = 0;
        g.destination.left = -im.scrollX;
    }
    if (im.scrollY < 0) {
        g.source.top = 0;
        g.destination.top = -im.scrollY;
    }
    if (im.scrollX < 0 || im.scrollY < 0) {
        g.frame = true;
        g.frameRect = Rect{-im.scrollX - 1, -im.scrollY - 1, im.displayWidth - im.scrollX,
                           im.displayHeight - im.scrollY};
    }
    return g;
}

void ScrollModel::clientToPicture(int x, int y, int& px, int& py) const {
    const int zoom = std::max(1, m_image.zoom);
    px = (m_image.scrollX + x) * 100 / zoom;
    py = (m_image.scrollY + y) * 100 / zoom;
}

}  // namespace quillon
