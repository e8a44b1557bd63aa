#include "dialogs/quality_dialog.h"

#include "dialogs/dialog_texts.h"
#include "ui/ui_port.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillon {

CQualitySpin::CQualitySpin(int value, QWidget* parent) : QAbstractSpinBox(parent), m_last(value) {
    setObjectName(QStringLiteral("1032"));
    lineEdit()->setObjectName(QStringLiteral("1031"));
    lineEdit()->setText(QString::number(value));
    setAccelerated(true);
}

void CQualitySpin::stepBy(int steps) {
    m_last = QualityModel::stepped(text(), steps, m_last);
    lineEdit()->setText(QString::number(m_last));
    selectAll();
}

QValidator::State CQualitySpin::validate(QString& input, int&) const {
    if (input.size() > 6) return QValidator::Invalid;
    for (const QChar c : input)
        if (!c.isDigit()) return QValidator::Invalid;
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled CQualitySpin::stepEnabled() const {
    bool ok = false;
    const int value = text().toInt(&ok);
    if (!ok) return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (value < QualityModel::kMaximum) enabled |= StepUpEnabled;
    if (value > QualityModel::kMinimum) enabled |= StepDownEnabled;
    return enabled;
}

QSize CQualitySpin::sizeHint() const {
    QSize size = QAbstractSpinBox::sizeHint();
    size.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 40);
    return size;
}

CQualityDlg::CQualityDlg(QualityModel& model, UiPort& ui, QWidget* parent)
    : QDialog(parent), m_model(model), m_ui(ui) {
    setObjectName(QStringLiteral("1030"));
    setWindowTitle(QString::fromUtf8(dialog_text::kQualityCaption));
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(QString::fromUtf8(dialog_text::kQualityLabel), this);
    m_spin = new CQualitySpin(model.quality(), this);
    label->setBuddy(m_spin);
    auto* range = new QLabel(QStringLiteral("(5～100)"), this);
    m_progressive = new QCheckBox(QString::fromUtf8(dialog_text::kProgressive), this);
    m_progressive->setObjectName(QStringLiteral("1033"));
    m_progressive->setChecked(model.progressive());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_spin, 0, 1);
    grid->addWidget(range, 0, 2);
    grid->addWidget(m_progressive, 1, 0, 1, 3);
    grid->addWidget(buttons, 0, 3, 2, 1);
    connect(buttons, &QDialogButtonBox::accepted, this, &CQualityDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CQualityDlg::reject);
    m_spin->setFocus();
    m_spin->selectAll();
}

void CQualityDlg::accept() {
    if (const std::optional<QString> refusal = m_model.accept(m_spin->text())) {
        m_ui.message(*refusal, MsgButtons::Ok, MsgIcon::Exclamation);
        m_spin->setFocus();
        m_spin->selectAll();
        return;
    }
    m_model.setProgressive(m_progressive->isChecked());
    QDialog::accept();
}

}  // namespace quillon
