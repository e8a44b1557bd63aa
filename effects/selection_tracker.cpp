#include "effects/selection_tracker.h"

#include <algorithm>

namespace quillon {

Rect SelectionTracker::toPicture(int xw, int yw) const {
    const TrackerView v = m_host.view();
    const int x = v.toPictureX(xw), y = v.toPictureY(yw);
    return {x, y, x, y};
}

bool SelectionTracker::start(ToolMode mode, int value, FloatingObject object) {
    const bool floating = mode == ToolMode::PasteFloating || mode == ToolMode::TextFloating;
    if (floating && (object.width <= 0 || object.height <= 0)) return false;
    m_mode = mode;
    if (mode == ToolMode::LineReady) {
        m_orientation = value;
        m_rect = {};
    } else if (floating) {
        m_floating = std::move(object);
        m_floating.transparent = mode == ToolMode::PasteFloating && value != 0;
        // Centred in the part of the picture the window shows.
        const TrackerView v = m_host.view();
        const int visLeft = std::clamp(v.toPictureX(0), 0, std::max(0, v.pictureWidth - 1));
        const int visRight = std::clamp(v.toPictureX(v.clientWidth), 0, std::max(0, v.pictureWidth - 1));
        const int visTop = std::clamp(v.toPictureY(0), 0, std::max(0, v.pictureHeight - 1));
        const int visBottom = std::clamp(v.toPictureY(v.clientHeight), 0, std::max(0, v.pictureHeight - 1));
        m_rect.left = visLeft + (visRight - m_floating.width - visLeft) / 2;
        m_rect.top = visTop + (visBottom - m_floating.height - visTop) / 2;
        m_rect.right = m_rect.left + m_floating.width;
        m_rect.bottom = m_rect.top + m_floating.height;
        m_home = m_rect;
    }
    m_host.overlayChanged(false);
    return true;
}

void SelectionTracker::applyPending() {
    switch (m_mode) {
    case ToolMode::PasteFloating:
    case ToolMode::PasteDragging:
        if (m_floating.pasteSource) m_host.commitPaste(m_floating, m_rect.left, m_rect.top);
        break;
    case ToolMode::TextFloating:
    case ToolMode::TextDragging:
        m_host.commitText(m_floating, m_rect);
        break;
    case ToolMode::SelectionLifted:
    case ToolMode::SelectionDragging:
        if (!(m_rect == m_home)) m_host.commitMove(m_home, m_rect);
        break;
    default: break;
    }
}

void SelectionTracker::commit(bool eraseFirst, bool keepAsSelection, bool clear) {
    if (m_dragging) {
        m_dragging = false;
        m_host.setCapture(false);
    }
    const bool lineState = m_mode == ToolMode::LineReady || m_mode == ToolMode::LineDrawing;
    applyPending();
    m_mode = ToolMode::Idle;
    if (!eraseFirst) m_host.overlayChanged(true);
    dropFloating();

    const TrackerView v = m_host.view();
    if (clear || lineState) {
        m_rect = {};
    } else {
        Rect r = normalized(m_rect);
        r.left = std::clamp(r.left, 0, v.pictureWidth);
        r.right = std::clamp(r.right, 0, v.pictureWidth);
        r.top = std::clamp(r.top, 0, v.pictureHeight);
        r.bottom = std::clamp(r.bottom, 0, v.pictureHeight);
        m_rect = r.isEmpty() ? Rect{} : r;
    }
    if (m_rect == Rect{}) {
        m_host.overlayChanged(false);
        return;
    }
    m_home = m_rect;
    m_mode = ToolMode::SelectionLifted;
    if (!keepAsSelection && !m_host.liftPixels(m_rect, m_floating)) {
        m_mode = ToolMode::Idle;
        m_rect = {};
        dropFloating();
    }
    m_host.overlayChanged(false);
}

void SelectionTracker::selectAll() {
    const TrackerView v = m_host.view();
    selectRect(Rect{0, 0, v.pictureWidth, v.pictureHeight});
}

void SelectionTracker::selectRect(const Rect& rect) {
    dropFloating();
    m_rect = m_home = rect.isEmpty() ? Rect{} : rect;
    m_mode = rect.isEmpty() ? ToolMode::Idle : ToolMode::SelectionLifted;
    m_host.overlayChanged(false);
}

std::optional<Rect> SelectionTracker::workArea() const {
    if (!hasRect() || m_mode == ToolMode::LineReady || m_mode == ToolMode::LineDrawing) return std::nullopt;
    const Rect r = normalized(m_rect);
    if (r.isEmpty()) return std::nullopt;
    return r;
}

void SelectionTracker::buttonDown(int xw, int yw) {
    const TrackerView v = m_host.view();
    if (v.pictureWidth <= 0 || !v.insideClient(xw, yw)) return;
    const int x = v.toPictureX(xw), y = v.toPictureY(yw);
    if (!v.insidePicture(x, y)) return;
    m_downX = xw;
    m_downY = yw;

    // A press outside what floats burns it in (or drops the selection).
    if (m_mode != ToolMode::LineReady && hasRect() && !normalized(m_rect).contains(x, y)) {
        commit(true, true, false);
        m_mode = ToolMode::Idle;
        m_rect = {};
    }

    switch (m_mode) {
    case ToolMode::Idle:
        m_mode = ToolMode::RubberBand;
        m_rect = {x, y, x, y};
        break;
    case ToolMode::PickTransparent:
        m_rect = {x, y, x, y};
        m_grabX = m_grabY = 0;
        return;
    case ToolMode::PasteFloating:
    case ToolMode::TextFloating:
    case ToolMode::SelectionLifted:
        m_grabX = x - m_rect.left;
        m_grabY = y - m_rect.top;
        if (m_rect.contains(x, y)) {
            m_mode = ToolMode(int(m_mode) + 1);
            if (m_mode == ToolMode::SelectionDragging) {
                m_handle = hitTest(v.toWindow(m_rect), xw, yw);
                // A selection kept without its pixels lifts them now, to show them moving.
                if (m_floating.shown.isNull() && m_rect == m_home) m_host.liftPixels(m_home, m_floating);
            }
        }
        break;
    case ToolMode::LineReady:
        m_mode = ToolMode::LineDrawing;
        m_rect = {x, y, x, y};
        break;
    default: break;
    }
    m_host.overlayChanged(false);
    m_dragging = true;
    m_host.setCapture(true);
    m_host.setCursor(cursorAt(xw, yw));
}

void SelectionTracker::updateRect(int x, int y) {
    const TrackerView v = m_host.view();
    switch (m_mode) {
    case ToolMode::RubberBand:
    case ToolMode::LineDrawing:
        m_rect.right = std::clamp(x, 0, v.pictureWidth);
        m_rect.bottom = std::clamp(y, 0, v.pictureHeight);
        return;
    case ToolMode::SelectionDragging:
        if (m_handle != kHandleMove) {
            // The moving edges stop one pixel short of the opposite ones.
            switch (m_handle) {
            case kHandleTopLeft: case kHandleLeft: case kHandleBottomLeft:
                m_rect.left = std::min(x, m_rect.right - 1);
                break;
            case kHandleTopRight: case kHandleRight: case kHandleBottomRight:
                m_rect.right = std::max(x, m_rect.left + 1);
                break;
            default: break;
            }
            switch (m_handle) {
            case kHandleTopLeft: case kHandleTop: case kHandleTopRight:
                m_rect.top = std::min(y, m_rect.bottom - 1);
                break;
            case kHandleBottomLeft: case kHandleBottom: case kHandleBottomRight:
                m_rect.bottom = std::max(y, m_rect.top + 1);
                break;
            default: break;
            }
            return;
        }
        [[fallthrough]];
    case ToolMode::PasteDragging:
    case ToolMode::TextDragging:
        placeAt(x - m_grabX, y - m_grabY);
        return;
    default: return;
    }
}

void SelectionTracker::placeAt(int left, int top) {
    const TrackerView v = m_host.view();
    const int w = m_rect.width(), h = m_rect.height();
    m_rect.left = left;
    m_rect.top = top;
    m_rect.right = m_rect.left + w;
    m_rect.bottom = m_rect.top + h;
    // At least one column and one row stay over the picture.
    if (m_rect.right <= 0) {
        m_rect.right = 1;
        m_rect.left = 1 - w;
    }
    if (m_rect.left >= v.pictureWidth) {
        m_rect.left = v.pictureWidth - 1;
        m_rect.right = m_rect.left + w;
    }
    if (m_rect.bottom <= 0) {
        m_rect.bottom = 1;
        m_rect.top = 1 - h;
    }
    if (m_rect.top >= v.pictureHeight) {
        m_rect.top = v.pictureHeight - 1;
        m_rect.bottom = m_rect.top + h;
    }
}

void SelectionTracker::mouseMove(int xw, int yw) {
    if (!m_dragging) {
        m_host.setCursor(cursorAt(xw, yw));
        return;
    }
    TrackerView v = m_host.view();
    const int dx = xw < 0 ? -1 : xw >= v.clientWidth ? 1 : 0;
    const int dy = yw < 0 ? -1 : yw >= v.clientHeight ? 1 : 0;
    if (dx || dy) m_host.scrollLine(dx, dy);
    v = m_host.view();
    updateRect(v.toPictureX(xw), v.toPictureY(yw));
    m_host.overlayChanged(false);
    m_host.setCursor(cursorAt(xw, yw));
}

void SelectionTracker::timerTick(int xw, int yw) {
    if (!m_dragging) return;
    if (m_host.view().insideClient(xw, yw)) return;
    mouseMove(xw, yw);
}

void SelectionTracker::buttonUp(int xw, int yw) {
    if (!m_dragging && m_mode != ToolMode::PickTransparent) return;
    const TrackerView v = m_host.view();
    if (m_mode == ToolMode::PickTransparent) {
        m_host.pickTransparent(v.toPictureX(xw), v.toPictureY(yw));
        commit(true, false, true);
        m_host.setCursor(cursorAt(xw, yw));
        return;
    }
    updateRect(v.toPictureX(xw), v.toPictureY(yw));
    m_dragging = false;
    m_host.setCapture(false);

    switch (m_mode) {
    case ToolMode::RubberBand: {
        m_rect = normalized(m_rect);
        if (m_rect.isEmpty()) {
            m_mode = ToolMode::Idle;
            m_rect = {};
            m_host.overlayChanged(false);
            return;
        }
        m_home = m_rect;
        m_mode = ToolMode::SelectionLifted;
        if (!m_host.liftPixels(m_rect, m_floating)) {
            m_mode = ToolMode::Idle;
            m_rect = {};
            dropFloating();
        }
        break;
    }
    case ToolMode::PasteDragging: m_mode = ToolMode::PasteFloating; break;
    case ToolMode::TextDragging: m_mode = ToolMode::TextFloating; break;
    case ToolMode::SelectionDragging: m_mode = ToolMode::SelectionLifted; break;
    case ToolMode::LineDrawing:
        m_mode = ToolMode::LineReady;
        m_host.lineFinished();
        break;
    default: break;
    }
    m_host.overlayChanged(false);
    const bool click = xw == m_downX && yw == m_downY;
    if (click && (m_mode == ToolMode::PasteFloating || m_mode == ToolMode::TextFloating ||
                  m_mode == ToolMode::SelectionLifted))
        commit(true, false, true);
    m_host.setCursor(cursorAt(xw, yw));
}

void SelectionTracker::finishIdle() {
    m_mode = ToolMode::Idle;
    m_rect = {};
    dropFloating();
    m_host.overlayChanged(false);
}

bool SelectionTracker::enterKey() {
    if (m_mode != ToolMode::PasteFloating && m_mode != ToolMode::TextFloating &&
        m_mode != ToolMode::SelectionLifted)
        return false;
    // The paste burns in the stored copy that is shown, not whatever the
    // clipboard holds by now.
    applyPending();
    finishIdle();
    return true;
}

bool SelectionTracker::escapeKey() {
    if (m_mode != ToolMode::PasteFloating && m_mode != ToolMode::TextFloating &&
        m_mode != ToolMode::SelectionLifted)
        return false;
    finishIdle();
    return true;
}

bool SelectionTracker::arrowKey(int dx, int dy) {
    if (m_dragging || (m_mode != ToolMode::PasteFloating && m_mode != ToolMode::TextFloating &&
                       m_mode != ToolMode::SelectionLifted))
        return false;
    // A selection kept without its pixels lifts them first, as a drag does.
    if (m_mode == ToolMode::SelectionLifted && m_floating.shown.isNull() && m_rect == m_home &&
        !m_host.liftPixels(m_home, m_floating))
        return true;
    placeAt(m_rect.left + dx, m_rect.top + dy);
    m_host.overlayChanged(false);
    return true;
}

TrackerCursor SelectionTracker::cursorAt(int xw, int yw) const {
    const TrackerView v = m_host.view();
    const int x = v.toPictureX(xw), y = v.toPictureY(yw);
    const bool overPicture = v.insidePicture(x, y);
    switch (m_mode) {
    case ToolMode::SelectionLifted:
    case ToolMode::SelectionDragging: {
        const int code = m_mode == ToolMode::SelectionDragging ? m_handle : hitTest(v.toWindow(m_rect), xw, yw);
        switch (code) {
        case kHandleTopLeft: case kHandleBottomRight: return TrackerCursor::SizeNWSE;
        case kHandleTop: case kHandleBottom: return TrackerCursor::SizeNS;
        case kHandleTopRight: case kHandleBottomLeft: return TrackerCursor::SizeNESW;
        case kHandleLeft: case kHandleRight: return TrackerCursor::SizeWE;
        case kHandleMove:
            return m_mode == ToolMode::SelectionDragging ? TrackerCursor::Moving : TrackerCursor::Move;
        default: return TrackerCursor::Arrow;
        }
    }
    case ToolMode::Idle:
    case ToolMode::RubberBand: return overPicture ? TrackerCursor::Cross : TrackerCursor::Arrow;
    case ToolMode::PickTransparent: return overPicture ? TrackerCursor::PickColour : TrackerCursor::Arrow;
    case ToolMode::PasteFloating:
    case ToolMode::TextFloating:
        return m_rect.contains(x, y) ? TrackerCursor::Move : TrackerCursor::Arrow;
    case ToolMode::PasteDragging:
    case ToolMode::TextDragging:
        return m_rect.contains(x, y) ? TrackerCursor::Moving : TrackerCursor::Arrow;
    case ToolMode::LineReady:
    case ToolMode::LineDrawing: return TrackerCursor::Cross;
    }
    return TrackerCursor::Arrow;
}

OverlayPlan SelectionTracker::overlay() const {
    OverlayPlan plan;
    const TrackerView v = m_host.view();
    if (m_mode == ToolMode::LineDrawing || m_mode == ToolMode::LineReady) {
        if (hasRect()) plan.line = v.toWindow(m_rect);  // the finished line stays shown
        return plan;
    }
    if (!hasRect() || m_mode == ToolMode::Idle || m_mode == ToolMode::PickTransparent) return plan;
    const Rect window = v.toWindow(normalized(m_rect));
    if (m_mode == ToolMode::RubberBand) {
        plan.focusRect = window;
        return plan;
    }
    plan.floatingAt = window;
    const bool resting = m_mode == ToolMode::PasteFloating || m_mode == ToolMode::TextFloating ||
                         m_mode == ToolMode::SelectionLifted;
    if (resting) plan.focusRect = window;
    if (m_mode == ToolMode::SelectionLifted) plan.handles = handleSquares(window);
    const bool selection = m_mode == ToolMode::SelectionLifted || m_mode == ToolMode::SelectionDragging;
    if (selection && !(m_rect == m_home)) plan.homeOutline = v.toWindow(m_home);
    return plan;
}

}  // namespace quillon
