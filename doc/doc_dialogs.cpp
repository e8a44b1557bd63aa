#include "doc/doc_dialogs.h"

#include "doc/zoom.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quillon {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(u8("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QSpinBox* spin(const char* id, int min, int max, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(id));
    box->setRange(min, max);
    box->setValue(value);
    return box;
}

}  // namespace

int bitsOfDepthButton(int id) {
    switch (id) {
    case 1041: return 1;
    case 1042: return 4;
    case 1043: return 8;
    case 1044: return 16;
    case 1045: return 24;
    default: return 0;
    }
}

NewImageDialog::NewImageDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("1360"));
    setWindowTitle(u8("新規イメージ"));
    m_width = spin("1361", 1, 65535, 640, this);
    m_height = spin("1362", 1, 65535, 480, this);
    auto* form = new QFormLayout;
    form->addRow(u8("幅(&W):"), m_width);
    form->addRow(u8("高さ(&H):"), m_height);
    auto* group = new QGroupBox(u8("色数"), this);
    auto* groupLayout = new QVBoxLayout(group);
    const char* labels[5] = {"&1ﾋﾞｯﾄ(2色)", "&4ﾋﾞｯﾄ(16色)", "&8ﾋﾞｯﾄ(256色)", "1&6ﾋﾞｯﾄ(65536色)",
                             "&24ﾋﾞｯﾄ(1677万色)"};
    for (int i = 0; i < 5; ++i) {
        m_depth[i] = new QRadioButton(u8(labels[i]), group);
        m_depth[i]->setObjectName(QString::number(1041 + i));
        groupLayout->addWidget(m_depth[i]);
    }
    m_depth[4]->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addWidget(okCancel(this));
}

NewImageChoice NewImageDialog::choice() const {
    NewImageChoice c{m_width->value(), m_height->value(), 24};
    for (int i = 0; i < 5; ++i)
        if (m_depth[i]->isChecked()) c.bits = bitsOfDepthButton(1041 + i);
    return c;
}

ZoomDialog::ZoomDialog(int zoom, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("1240"));
    setWindowTitle(u8("ｽﾞｰﾑ倍率"));
    // Edit 1241 with its spin 1242 are one QSpinBox here.
    m_zoom = spin("1241", kZoomMin, kZoomMax, zoom, this);
    m_zoom->setSuffix(QStringLiteral(" %"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(u8("倍率(&Z):"), m_zoom);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

int ZoomDialog::zoom() const { return m_zoom->value(); }

}  // namespace quillon
