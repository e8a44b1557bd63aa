#include "frame/print_progress_window.h"

#include "ui/progress_window.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

namespace quillon {

void PrintProgressWindow::open(const QString& text) {
    close();
    m_window = new QDialog(m_parent);
    m_window->setObjectName(QStringLiteral("1363"));
    m_window->setWindowTitle(QString::fromUtf8("印刷中"));
    m_window->setModal(false);
    // 187 x 45 dialog units at the 9-point face.
    m_window->setFixedSize(284, 74);
    auto* line = new QLabel(text, m_window);
    line->setObjectName(QStringLiteral("1364"));
    line->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(m_window);
    layout->addWidget(line);
    if (m_parent) {
        const QPoint centre = m_parent->mapToGlobal(m_parent->rect().center());
        m_window->move(centre - QPoint(m_window->width() / 2, m_window->height() / 2));
    }
    m_window->show();
    pumpMessages();
    m_window->grabMouse();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_cursor = true;
}

void PrintProgressWindow::close() {
    if (m_cursor) QApplication::restoreOverrideCursor();
    m_cursor = false;
    if (!m_window) return;
    m_window->releaseMouse();
    delete m_window.data();
}

}  // namespace quillon
