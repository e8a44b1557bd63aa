// The geometry of an image window without the widget: zoom, centring, the
// scroll bars with their update loop, line and page steps, resizing, and the
// rectangles a paint uses. It works on the image object's display fields
// (zoom, display size, scroll origin and range, fit-window and stretch).
//
// The window's full size is fixed by its parent; a shown bar takes barExtent
// pixels off the client area, which is why showing one bar can bring the other.
#pragma once

#include "image/image_object.h"
#include "image/rect.h"

namespace quillon {

enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, ThumbTrack, ThumbPosition, ToStart, ToEnd, EndScroll };

struct PaintGeometry {
    Rect source;       // picture pixels, top-down
    Rect destination;  // client pixels
    bool frame = false;  // draw the one-pixel frame around a centred picture
    Rect frameRect;      // its corners, inclusive
};

class ScrollModel {
public:
    explicit ScrollModel(CImageObject& image, int barExtent = 16) : m_image(image), m_bar(barExtent) {}

    // The window's outer size (client area plus shown bars).
    void setWindowSize(int width, int height);
    int windowWidth() const { return m_windowWidth; }
    int windowHeight() const { return m_windowHeight; }
    int clientWidth() const { return m_windowWidth - (m_vShown ? m_bar : 0); }
    int clientHeight() const { return m_windowHeight - (m_hShown ? m_bar : 0); }
    bool horizontalShown() const { return m_hShown; }
    bool verticalShown() const { return m_vShown; }
    int barExtent() const { return m_bar; }

    // Zoom of the picture: display size and the stretched-painting bit; with
    // redraw the window is laid out and its bars updated.
    void setZoom(int percent, bool redraw);
    // Centring and the fit-window and stretch modes.
    void layout();
    void recentre();
    // Hides both bars, then shows what the overhangs need until nothing
    // changes. Returns whether the content moved (the caller repaints).
    bool updateScrollBars();
    // One scroll bar action; thumb is the bar position for the thumb actions.
    // Returns the step taken (0: nothing moved).
    int scroll(Qt::Orientation orientation, ScrollAction action, int thumb = 0);
    // The window got a new outer size.
    void resized(int width, int height);

    // Where the picture goes in a paint of the client area.
    PaintGeometry paintGeometry() const;
    // A client point as a picture pixel.
    void clientToPicture(int x, int y, int& px, int& py) const;

private:
    CImageObject& m_image;
    int m_bar;
    int m_windowWidth = 0, m_windowHeight = 0;
    bool m_hShown = false, m_vShown = false;
    bool m_updating = false;
};

}  // namespace quillon
