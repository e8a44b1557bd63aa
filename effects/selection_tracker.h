// The selection tracker: the state machine that turns left-button drags over
// the image window into a selection, moves and resizes it by its handles,
// places pasted pictures and text before they are burnt in, picks the
// transparent colour and draws the tilt reference line.
//
// It stores picture pixel coordinates and takes window points of the image
// window's client area. It touches no widget: what it needs done (lifting
// pixels, burning in, scrolling, capturing the mouse, repainting) it asks of
// its host, and what it shows it describes as an OverlayPlan.
#pragma once

#include "effects/floating_object.h"
#include "effects/tracker_geometry.h"
#include "image/rect.h"

#include <optional>
#include <vector>

namespace quillon {

enum class ToolMode : int {
    Idle = 0,
    RubberBand = 1,
    PickTransparent = 2,
    PasteFloating = 3,
    PasteDragging = 4,
    TextFloating = 5,
    TextDragging = 6,
    SelectionLifted = 7,
    SelectionDragging = 8,
    LineReady = 9,
    LineDrawing = 10,
};

// 3 to 8: something floats at the rectangle.
inline bool isFloatingMode(ToolMode m) { return int(m) >= 3 && int(m) <= 8; }

// The shapes the pointer takes; the numbered ones are our own resources.
enum class TrackerCursor {
    Arrow,
    Cross,
    SizeNWSE,
    SizeNS,
    SizeNESW,
    SizeWE,
    PickColour,  // 12
    Move,        // 14
    Moving,      // 15
};

class TrackerHost {
public:
    virtual ~TrackerHost() = default;
    virtual TrackerView view() const = 0;
    // Copies the rectangle out of the picture as the floating bitmap. On
    // failure the host has told the user (5019) and returns false.
    virtual bool liftPixels(const Rect& rect, FloatingObject& into) = 0;
    // The burn-in of each floating state; each takes the undo snapshot first.
    virtual void commitPaste(const FloatingObject& object, int left, int top) = 0;
    virtual void commitText(const FloatingObject& object, const Rect& rect) = 0;
    virtual void commitMove(const Rect& home, const Rect& now) = 0;
    // Stores the pixel value under (x, y) as the GIF transparent index and beeps.
    virtual void pickTransparent(int x, int y) = 0;
    // One scroll line: dx, dy are -1, 0 or 1.
    virtual void scrollLine(int dx, int dy) = 0;
    // Mouse capture and the auto-scroll timer (17, 100 ms) together.
    virtual void setCapture(bool on) = 0;
    // The overlay changed; the host repaints it (now, when `now` is set).
    virtual void overlayChanged(bool now) = 0;
    // The tilt reference line was finished.
    virtual void lineFinished() = 0;
    virtual void setCursor(TrackerCursor cursor) = 0;
};

// What the view paints after each paint of the picture, in window points.
struct OverlayPlan {
    std::optional<Rect> focusRect;
    std::vector<Rect> handles;         // inverted
    std::optional<Rect> homeOutline;   // dotted outline where a moved selection was
    std::optional<Rect> line;          // from (left, top) to (right, bottom)
    std::optional<Rect> floatingAt;    // the floating picture, scaled into this rectangle
};

class SelectionTracker {
public:
    explicit SelectionTracker(TrackerHost& host) : m_host(host) {}

    ToolMode mode() const { return m_mode; }
    const Rect& selection() const { return m_rect; }
    const Rect& home() const { return m_home; }
    bool hasRect() const { return !(m_rect == Rect{}); }
    int grabX() const { return m_grabX; }
    int grabY() const { return m_grabY; }
    int handleCode() const { return m_handle; }
    bool dragging() const { return m_dragging; }
    const FloatingObject& floating() const { return m_floating; }
    int lineOrientation() const { return m_orientation; }

    // Starts PasteFloating (value: transparent), TextFloating or LineReady
    // (value: orientation). The floating object is built by the caller; an
    // empty one for the paste and text states changes nothing.
    bool start(ToolMode mode, int value, FloatingObject object = {});
    // Applies what is pending, then keeps, clamps or clears the rectangle.
    void commit(bool eraseFirst, bool keepAsSelection, bool clear);
    void selectAll();
    // A selection at that rectangle, its pixels not lifted (none when empty).
    void selectRect(const Rect& rect);
    void pickTransparentMode() { m_mode = ToolMode::PickTransparent; }

    // Events, in image-window client points.
    void buttonDown(int xw, int yw);
    void mouseMove(int xw, int yw);
    void buttonUp(int xw, int yw);
    // The auto-scroll tick with the pointer's current window point.
    void timerTick(int xw, int yw);
    // Enter and Escape; false when the key is not the tracker's.
    bool enterKey();
    bool escapeKey();
    // An arrow key while something floats or a selection is lifted moves it
    // by (dx, dy) picture pixels; it burns in later, as after a drag. False
    // in the other states, where the key is not the tracker's.
    bool arrowKey(int dx, int dy);

    TrackerCursor cursorAt(int xw, int yw) const;
    OverlayPlan overlay() const;
    // The work area of effects: the selection, or none.
    std::optional<Rect> workArea() const;

private:
    Rect toPicture(int xw, int yw) const;
    void updateRect(int x, int y);
    void placeAt(int left, int top);
    void dropFloating() { m_floating = FloatingObject{}; }
    void applyPending();
    void finishIdle();

    TrackerHost& m_host;
    ToolMode m_mode = ToolMode::Idle;
    Rect m_rect;
    Rect m_home;
    int m_grabX = 0, m_grabY = 0;
    int m_handle = kHandleOutside;
    bool m_dragging = false;
    int m_downX = 0, m_downY = 0;
    int m_orientation = 0;
    FloatingObject m_floating;
};

}  // namespace quillon
