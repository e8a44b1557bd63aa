#include "effects/view_editor.h"

#include "ui/wait_cursor.h"
#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "effects/burn_in.h"
#include "effects/clipboard.h"
#include "effects/overlay_painter.h"
#include "effects/tracker_cursors.h"
#include "image/error_messages.h"
#include "image/image_window.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QScreen>
#include <QTimerEvent>

namespace quillon {
ViewEditor::ViewEditor(CQuillonView& view, CImageWindow& window, UiPort& ui)
    : m_view(view), m_window(window), m_ui(ui) {}

ViewEditor::~ViewEditor() = default;

TrackerView ViewEditor::view() const {
    const CImageObject& image = m_view.image();
    TrackerView v;
    v.pictureWidth = image.hasBitmap() ? image.width() : 0;
    v.pictureHeight = image.hasBitmap() ? image.height() : 0;
    v.zoom = std::max(1, image.zoom);
    v.scrollX = image.scrollX;
    v.scrollY = image.scrollY;
    v.clientWidth = m_window.clientRect().width();
    v.clientHeight = m_window.clientRect().height();
    return v;
}

void ViewEditor::buttonDown(QPoint p) { m_tracker.buttonDown(p.x(), p.y()); }
void ViewEditor::mouseMove(QPoint p) { m_tracker.mouseMove(p.x(), p.y()); }
void ViewEditor::buttonUp(QPoint p) { m_tracker.buttonUp(p.x(), p.y()); }

bool ViewEditor::key(int key, bool shift) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!m_tracker.enterKey()) return false;
        updateCursor();
        return true;
    }
    if (key == Qt::Key_Escape) return m_tracker.escapeKey();
    const int step = shift ? 10 : 1;
    switch (key) {
    case Qt::Key_Left: return m_tracker.arrowKey(-step, 0);
    case Qt::Key_Right: return m_tracker.arrowKey(step, 0);
    case Qt::Key_Up: return m_tracker.arrowKey(0, -step);
    case Qt::Key_Down: return m_tracker.arrowKey(0, step);
    default: return false;
    }
}

void ViewEditor::paint(QPainter& painter) {
    if (!m_view.hasPicture()) return;
    const TrackerView v = view();
    const Rect picture{v.toWindowX(0), v.toWindowY(0), v.toWindowX(v.pictureWidth), v.toWindowY(v.pictureHeight)};
    const Rect client{0, 0, v.clientWidth, v.clientHeight};
    const Rect area{std::max(picture.left, client.left), std::max(picture.top, client.top),
                    std::min(picture.right, client.right), std::min(picture.bottom, client.bottom)};
    paintOverlay(painter, m_tracker.overlay(), m_tracker.floating(), area);
    if (m_outline && !m_view.selection()) {
        const RotationOutline o = rotationOutline(v.pictureWidth, v.pictureHeight, *m_outline);
        const auto w = [&v](QPoint p) { return QPoint(v.toWindowX(p.x()), v.toWindowY(p.y())); };
        painter.save();
        painter.setClipRect(QRect(area.left, area.top, area.width(), area.height()));
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(QPen(Qt::white, 0));
        const QPoint corners[4] = {w(o.corners[0]), w(o.corners[1]), w(o.corners[2]), w(o.corners[3])};
        painter.drawPolygon(corners, 4);
        painter.drawLine(w(o.centre), w(o.marker));
        painter.restore();
    }
}

void ViewEditor::showRotationOutline(std::optional<int> degrees) {
    m_outline = degrees;
    m_window.update();
}

int ViewEditor::referenceAngle() const { return referenceLineAngle(m_tracker.selection()); }

void ViewEditor::updateCursor() {
    const QPoint p = m_window.mapFromGlobal(QCursor::pos());
    setCursor(m_tracker.cursorAt(p.x(), p.y()));
}

bool ViewEditor::liftPixels(const Rect& rect, FloatingObject& into) {
    WaitCursor wait;
    into = liftedFloating(m_view.image(), rect);
    if (into.width > 0) return true;
    into = FloatingObject{};
    m_ui.message(loadString(5019), MsgButtons::Ok, MsgIcon::Stop);
    return false;
}

void ViewEditor::burnIn(const std::function<bool()>& work) {
    if (!m_view.prepareUndo()) return;
    {
        WaitCursor wait;
        work();
    }
    m_view.reportImagingError();
    m_view.image().refresh();
    m_view.document().setModified(true);
}

void ViewEditor::commitPaste(const FloatingObject& object, int left, int top) {
    if (!object.pasteSource) return;
    burnIn([&] { return pasteAt(m_view.image(), *object.pasteSource, left, top, object.transparent); });
}

void ViewEditor::commitText(const FloatingObject& object, const Rect& rect) {
    if (object.textMask.isNull()) return;
    burnIn([&] { return burnInText(m_view.image(), rect.left, rect.top, object.textMask, object.textColour); });
}

void ViewEditor::commitMove(const Rect& home, const Rect& now) {
    burnIn([&] { return moveSelection(m_view.image(), home, now); });
}

void ViewEditor::pickTransparent(int x, int y) {
    CImageObject& image = m_view.image();
    image.gifOptions.transparentIndex = int(image.pixelValue(x, y));
    image.gifOptions.transparent = 1;
    m_ui.beep();
}

void ViewEditor::scrollLine(int dx, int dy) {
    if (dx) m_window.scrollLine(Qt::Horizontal, dx);
    if (dy) m_window.scrollLine(Qt::Vertical, dy);
}

void ViewEditor::setCapture(bool on) {
    if (on) m_autoScroll.start(100, this);
    else m_autoScroll.stop();
}

void ViewEditor::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_autoScroll.timerId()) return;
    const QPoint p = m_window.mapFromGlobal(QCursor::pos());
    m_tracker.timerTick(p.x(), p.y());
}

namespace {

// Where an overlay draws, in window pixels.
QRect boundsOf(const OverlayPlan& plan) {
    QRect bounds;
    const auto add = [&](const std::optional<Rect>& r) {
        if (!r) return;
        const Rect n = normalized(*r);
        bounds |= QRect(n.left, n.top, n.width() + 1, n.height() + 1);
    };
    add(plan.focusRect);
    add(plan.homeOutline);
    add(plan.line);
    add(plan.floatingAt);
    return bounds.adjusted(-1, -1, 1, 1);
}

}  // namespace

void ViewEditor::overlayChanged(bool now) {
    // Only the old and the new place of the overlay are painted again.
    const QRect shown = boundsOf(m_tracker.overlay());
    const QRect exposed = (m_overlayShown | shown) & m_window.clientRect();
    m_overlayShown = shown;
    if (!exposed.isEmpty()) {
        if (now) m_window.repaint(exposed);
        else m_window.update(exposed);
    }
    m_view.selectionChanged();
}

void ViewEditor::lineFinished() {
    // Posted, as the view posts itself the line-finished message.
    QMetaObject::invokeMethod(
        this, [this] { if (lineFinishedHandler) lineFinishedHandler(); }, Qt::QueuedConnection);
}

void ViewEditor::setCursor(TrackerCursor cursor) { m_window.setCursor(trackerCursor(cursor)); }

void ViewEditor::copy() {
    m_tracker.commit(true, false, false);
    WaitCursor wait;
    if (!copyToClipboard(m_view.image(), m_tracker.workArea()))
        m_ui.message(loadString(5013), MsgButtons::Ok, MsgIcon::Exclamation);
}

void ViewEditor::cut() {
    copy();
    deleteContents();
}

void ViewEditor::deleteContents() {
    m_tracker.commit(false, true, false);
    const std::optional<Rect> area = m_tracker.workArea();
    burnIn([&] { return clearToWhite(m_view.image(), area); });
    m_window.update();
}

void ViewEditor::paste(bool transparent) {
    m_tracker.commit(false, false, true);
    std::shared_ptr<CImageObject> picture;
    {
        WaitCursor wait;
        picture = clipboardPicture();
    }
    if (!picture) {
        m_ui.message(loadString(5015), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    FloatingObject object = pasteFloating(std::move(picture), transparent);
    if (object.width <= 0) {
        m_ui.message(loadString(5019), MsgButtons::Ok, MsgIcon::Stop);
        return;
    }
    m_tracker.start(ToolMode::PasteFloating, transparent ? 1 : 0, std::move(object));
    updateCursor();
}

void ViewEditor::selectAll() {
    // What floats is placed first, so that selecting everything loses no paste or text.
    m_tracker.commit(false, true, false);
    m_tracker.selectAll();
}

void ViewEditor::deselect() { m_tracker.commit(false, false, true); }

void ViewEditor::startPickTransparent() {
    m_tracker.commit(false, false, true);
    m_tracker.pickTransparentMode();
    updateCursor();
}

void ViewEditor::writeText(const std::function<std::optional<TextSettings>(const TextSettings&)>& choose) {
    m_tracker.commit(true, false, true);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? int(screen->logicalDotsPerInchX() + 0.5) : 96;
    const std::optional<TextSettings> chosen = choose(initialTextSettings(dpi));
    if (!chosen) return;
    FloatingObject object = textFloating(*chosen);
    if (object.width <= 0) return;  // nothing to write
    m_tracker.start(ToolMode::TextFloating, 0, std::move(object));
    updateCursor();
}

}  // namespace quillon
