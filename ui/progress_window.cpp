#include "ui/progress_window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quillon {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("1280"));
    setWindowTitle(QString::fromUtf8("進行状況"));
    setModal(false);
    // 185 x 48 dialog units at the 9-point face: about 280 x 80 pixels.
    setFixedSize(280, 80);
    m_text = new QLabel(QString::fromUtf8("ﾒｯｾｰｼﾞ"), this);
    m_text->setObjectName(QStringLiteral("1281"));
    m_text->setAlignment(Qt::AlignCenter);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("1282"));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, m_max);
    m_bar->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    if (parent) {
        const QPoint centre = parent->mapToGlobal(parent->rect().center());
        move(centre - QPoint(width() / 2, height() / 2));
    }
}

void ProgressWindow::setMaximum(int max) {
    m_max = max;
    m_bar->setRange(0, max);
}

void ProgressWindow::showStep(const QString& text, int position) {
    if (!text.isNull()) m_text->setText(text);
    // A position above the maximum shows a full bar.
    if (position >= 0) m_bar->setValue(std::min(position, m_max));
    repaint();
}

namespace {
bool g_quitting = false;
}

void setQuitting(bool quitting) { g_quitting = quitting; }

bool quitting() { return g_quitting || QCoreApplication::closingDown(); }

bool pumpMessages() {
    if (quitting()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (quitting()) return false;
    // One idle pass: the same hook the application's idle work listens to.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) emit dispatcher->aboutToBlock();
    return true;
}

}  // namespace quillon
