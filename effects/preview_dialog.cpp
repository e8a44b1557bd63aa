#include "effects/preview_dialog.h"

#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quillon {

UpDown::UpDown(int low, int high, int position, QWidget* parent)
    : QWidget(parent), m_low(low), m_high(high), m_position(position), m_up(new QToolButton(this)),
      m_down(new QToolButton(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        column->addWidget(b);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    const auto step = [this](int by) {
        setPosition(m_position + by);
        if (onStep) onStep(m_position);
    };
    connect(m_up, &QToolButton::clicked, this, [step] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [step] { step(-1); });
}

void UpDown::setPosition(int position) { m_position = std::clamp(position, m_low, m_high); }

PreviewDialog::PreviewDialog(CImageObject& picture, UiPort& ui, const QString& caption, QWidget* parent)
    : QDialog(parent), m_backup(picture), m_ui(ui) {
    setWindowTitle(caption);
}

int PreviewDialog::run() {
    if (!m_backup.open()) {
        m_ui.message(loadString(5018), MsgButtons::Ok, MsgIcon::Exclamation);
        return Rejected;
    }
    return exec();
}

void PreviewDialog::addButtons(QBoxLayout* body) {
    auto* row = new QHBoxLayout;
    m_preview = new QPushButton(QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"), this);
    m_preview->setObjectName(QStringLiteral("1016"));
    m_preview->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("実行"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    cancel->setAutoDefault(false);
    row->addWidget(m_preview);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    body->addLayout(row);
    connect(m_preview, &QPushButton::clicked, this, &PreviewDialog::preview);
    connect(ok, &QPushButton::clicked, this, &PreviewDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PreviewDialog::reject);
}

QLineEdit* PreviewDialog::makeEdit(const QString& id, int value, int maxLength) {
    auto* edit = new QLineEdit(QString::number(value), this);
    edit->setObjectName(id);
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(48);
    return edit;
}

void PreviewDialog::preview() {
    if (!readParameters()) return;
    if (!m_backup.show([this](CImageObject& picture) { return applyEffect(picture); })) {
        m_ui.message(loadString(5019), MsgButtons::Ok, MsgIcon::Exclamation);
        reject();
    }
}

void PreviewDialog::accept() {
    if (!readParameters()) return;
    m_backup.restore(false);
    QDialog::accept();
}

void PreviewDialog::reject() {
    m_backup.restore(true);
    QDialog::reject();
}

}  // namespace quillon
