#include "doc/quillon_view.h"
#include "ui/wait_cursor.h"
#include "dialogs/transparent_pick.h"

#include "doc/document_host.h"
#include "doc/quillon_doc.h"
#include "doc/zoom.h"
#include "effects/view_editor.h"
#include "image/error_messages.h"
#include "image/image_window.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>

#include <cstdlib>

namespace quillon {
CQuillonView::CQuillonView(CQuillonDoc& doc, DocumentHost& host, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_host(host) {
    setFocusPolicy(Qt::StrongFocus);
    m_window = new CImageWindow(m_image, this);
    m_window->setGeometry(rect());
    m_window->show();
    // Ctrl with the wheel zooms in and out by the zoom commands' steps.
    m_window->wheelZoom = [this](int notches) {
        if (!hasPicture()) return;
        int zoom = m_zoom;
        for (int i = 0; i < std::abs(notches); ++i) zoom = notches > 0 ? zoomedIn(zoom) : zoomedOut(zoom);
        if (zoom != m_zoom) setZoom(zoom);
    };
    m_editor = std::make_unique<ViewEditor>(*this, *m_window, m_host.ui());
    // The overlay after each paint; the pointer's shape follows it without a button.
    m_window->overlayPainter = [this](QPainter& painter) { m_editor->paint(painter); };
    m_window->setMouseTracking(true);
    setMouseTracking(true);
}

CQuillonView::~CQuillonView() {
    m_window->overlayPainter = nullptr;
    delete m_window;  // before the image object it shows
    m_window = nullptr;
    m_editor.reset();
}

void CQuillonView::setZoom(int percent) {
    m_zoom = percent;
    m_window->setZoom(percent, true);
    emit stateChanged();
}

void CQuillonView::resetZoom() {
    m_zoom = 100;
    m_window->setZoom(100, true);
    m_window->recentre();
    emit stateChanged();
}

void CQuillonView::fitFrameToPicture() {
    QWidget* frame = parentWidget();
    auto* sub = qobject_cast<QMdiSubWindow*>(frame);
    if (!sub || sub->isMaximized() || sub->isMinimized()) return;
    const QSize extra = sub->size() - size();
    sub->resize(QSize(m_image.displayWidth, m_image.displayHeight) + extra);
}

void CQuillonView::layoutView() {
    m_window->setGeometry(rect());
    m_window->layoutAndScroll();
}

std::optional<Rect> CQuillonView::selection() const { return m_editor->tracker().workArea(); }

void CQuillonView::select(std::optional<Rect> rect) { m_editor->tracker().selectRect(rect.value_or(Rect{})); }

void CQuillonView::finishPendingWork(bool eraseFirst, bool keepSelection, bool clearSelection) {
    m_editor->tracker().commit(eraseFirst, keepSelection, clearSelection);
}

bool CQuillonView::trackerIdle() const { return m_editor->tracker().mode() == ToolMode::Idle; }

bool CQuillonView::prepareUndo() {
    WaitCursor wait;
    m_undoAvailable = true;
    m_undo.reset();
    m_undo = m_image.duplicate();
    m_rememberedModified = m_doc.isModified();
    if (!m_undo) {
        m_host.ui().message(loadString(5009), MsgButtons::Ok, MsgIcon::Exclamation);
        m_undoAvailable = false;
        emit stateChanged();
        return false;
    }
    emit stateChanged();
    return true;
}

void CQuillonView::undo() {
    if (!m_undo) return;
    const std::optional<Rect> noted = selection();
    {
        WaitCursor wait;
        CImageObject temporary;
        temporary.takeOver(m_image, false);
        m_image.takeOver(*m_undo, true);
        m_undo->takeOver(temporary, false);
    }
    reportImagingError();
    const bool modified = m_doc.isModified();
    m_doc.setModified(m_rememberedModified);
    m_rememberedModified = modified;
    std::optional<Rect> clipped;
    if (noted) {
        Rect r = *noted;
        r.right = std::min(r.right, m_image.width());
        r.bottom = std::min(r.bottom, m_image.height());
        r.left = std::max(r.left, 0);
        r.top = std::max(r.top, 0);
        if (!r.isEmpty()) clipped = r;
    }
    select(clipped);
}

void CQuillonView::dropUndo() {
    m_undoAvailable = false;
    m_undo.reset();
    emit stateChanged();
}

bool CQuillonView::applyChange(const std::function<bool(CImageObject&)>& operation) {
    finishPendingWork(false, true, false);
    if (!prepareUndo()) return false;
    bool ok;
    {
        WaitCursor wait;
        ok = operation(m_image);
    }
    reportImagingError();
    m_image.refresh();
    m_doc.setModified(true);
    return ok;
}

bool CQuillonView::reportImagingError() { return quillon::reportImagingError(m_host.ui()); }

void CQuillonView::noteActivation() {
    if ((QApplication::mouseButtons() & Qt::LeftButton) && rect().contains(mapFromGlobal(QCursor::pos())))
        m_ignoreNextClick = true;
}

void CQuillonView::resizeEvent(QResizeEvent*) {
    if (!isMinimized()) m_window->setGeometry(rect());
}

void CQuillonView::focusInEvent(QFocusEvent*) {
    m_image.refresh();
    m_window->setFocus();
    m_host.viewActivated(this);
}

void CQuillonView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    if (pickForSaveAs(e->position().toPoint())) return;
    if (m_ignoreNextClick) {  // the click that activated the window
        m_ignoreNextClick = false;
        return;
    }
    if (!hasPicture()) return;
    m_image.paintWithoutCapture = true;
    m_editor->buttonDown(m_window->mapFrom(this, e->position().toPoint()));
}

// While the Save As dialog picks the transparent colour, a click takes the
// pixel under it (the activation click included).
bool CQuillonView::pickForSaveAs(const QPoint& point) {
    TransparentPick* pick = TransparentPick::active();
    if (!pick) return false;
    m_ignoreNextClick = false;
    int px = 0, py = 0;
    m_window->model().clientToPicture(point.x(), point.y(), px, py);
    const int index = hasPicture() ? pickTransparentAt(m_image, px, py) : 0;
    m_host.ui().beep();
    pick->pickedInView(index);
    return true;
}

void CQuillonView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    m_image.paintWithoutCapture = false;
    if (hasPicture()) m_editor->buttonUp(m_window->mapFrom(this, e->position().toPoint()));
}

void CQuillonView::mouseMoveEvent(QMouseEvent* e) {
    if (hasPicture()) m_editor->mouseMove(m_window->mapFrom(this, e->position().toPoint()));
}

void CQuillonView::keyPressEvent(QKeyEvent* e) {
    if (!hasPicture() || !m_editor->key(e->key(), e->modifiers() & Qt::ShiftModifier)) e->ignore();
}

void CQuillonView::contextMenuEvent(QContextMenuEvent* e) { emit contextMenuRequested(e->globalPos()); }

}  // namespace quillon
