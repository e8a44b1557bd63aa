#include "frame/about_dlg.h"

#include "resources/toolbar_icons.h"
#include "ui/ui_port.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#include <jconfig.h>

namespace quillon {

bool CompanionCounter::doubleClick(bool shift) {
    if (shift) ++m_count;
    if (m_count < 3) return false;
    m_count = 0;
    return true;
}

CompanionCounter& companionCounter() {
    static CompanionCounter counter;
    return counter;
}

QString companionProgram() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/zerkan");
    const QFileInfo info(beside);
    if (info.isFile() && info.isExecutable()) return beside;
    return QStandardPaths::findExecutable(QStringLiteral("zerkan"));
}

void startCompanion() {
    const QString program = companionProgram();
    if (!program.isEmpty()) QProcess::startDetached(program, {});
}

QString versionLine() { return QStringLiteral("Quillon 32bit Version 1.01"); }

QString jpegLibraryLine() {
    constexpr int v = LIBJPEG_TURBO_VERSION_NUMBER;
    return QStringLiteral("JPEG: libjpeg-turbo %1.%2.%3").arg(v / 1000000).arg(v / 1000 % 1000).arg(v % 1000);
}

CAboutDlg::CAboutDlg(UiPort& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("1000"));
    setWindowTitle(QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
    // 214 x 65 dialog units at the 9-point face.
    setFixedSize(321, 106);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("1001"));
    m_icon->setPixmap(programIcon().pixmap(32, 32));
    m_icon->setFixedSize(32, 32);
    m_version = new QLabel(versionLine(), this);
    m_version->setObjectName(QStringLiteral("1002"));
    auto* copyright = new QLabel(QStringLiteral("Copyright (C) Tessaly"), this);
    auto* jpeg = new QLabel(jpegLibraryLine(), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 12, 10, 12);
    grid->setHorizontalSpacing(14);
    grid->addWidget(m_icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(m_version, 0, 1);
    grid->addWidget(copyright, 1, 1);
    grid->addWidget(jpeg, 2, 1);
    grid->addWidget(ok, 0, 2, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
}

void CAboutDlg::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QDialog::mouseDoubleClickEvent(e);
    const QPoint at = e->position().toPoint();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    if (shift && m_version->geometry().contains(at)) m_ui.message(buildStamp(), MsgButtons::Ok, MsgIcon::None);
    if (!m_icon->geometry().contains(at)) return QDialog::mouseDoubleClickEvent(e);
    if (companionCounter().doubleClick(shift)) startCompanion();
}

}  // namespace quillon
