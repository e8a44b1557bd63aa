#include "dialogs/modal_input_gate.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>

namespace quillon {

namespace {

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

bool isPress(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

bool isMouseButton(QEvent::Type type) {
    return isPress(type) || type == QEvent::MouseButtonRelease || type == QEvent::MouseMove;
}

}  // namespace

ModalInputGate::ModalInputGate(QWidget* dialog) : m_dialog(dialog) {
    qApp->installEventFilter(this);
}

ModalInputGate::~ModalInputGate() {
    close();
    qApp->removeEventFilter(this);
}

void ModalInputGate::openFor(QWidget* view, const QCursor& cursor) {
    close();
    if (!view) return;
    m_view = view;
    m_cursor = cursor;
    QGuiApplication::setOverrideCursor(view->underMouse() ? cursor : QCursor(Qt::ArrowCursor));
}

void ModalInputGate::close() {
    if (!isOpen()) return;
    m_view = nullptr;
    QGuiApplication::restoreOverrideCursor();
}

bool ModalInputGate::insideDialog(const QWidget* widget) const {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == m_dialog) return true;
    return false;
}

bool ModalInputGate::insideView(const QWidget* widget) const {
    for (const QWidget* w = widget; w && m_view; w = w->parentWidget()) {
        if (w == m_view) return true;
        if (w->isWindow()) break;
    }
    return false;
}

bool ModalInputGate::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || !m_dialog) return false;
    auto* widget = static_cast<QWidget*>(watched);
    const QEvent::Type type = event->type();

    if (isOpen() && insideView(widget)) {
        if (type == QEvent::Enter || type == QEvent::Leave) {
            QGuiApplication::changeOverrideCursor(type == QEvent::Enter ? m_cursor
                                                                        : QCursor(Qt::ArrowCursor));
        }
        if (isMouseButton(type)) return false;  // the view takes its click
    }
    // The program's windows give way to the dialog, as to a modal one.
    if (type == QEvent::WindowActivate && widget->isWindow() && !insideDialog(widget)) {
        m_dialog->activateWindow();
        return false;
    }
    if (!isInput(type) || (type == QEvent::Close && !widget->isWindow())) return false;
    if (insideDialog(widget)) {
        if (isOpen() && isPress(type)) {
            if (onPressInDialog) onPressInDialog();
            return true;
        }
        return false;
    }
    if (isOpen() && isPress(type) && onPressElsewhere) onPressElsewhere();
    return true;
}

}  // namespace quillon
