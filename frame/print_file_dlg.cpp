#include "frame/print_file_dlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quillon {

CPrintFileDlg::CPrintFileDlg(QPrinter* printer, QWidget* parent) : QPrintDialog(printer, parent) {
    setObjectName(QStringLiteral("1260"));
    setWindowTitle(QString::fromUtf8("印刷"));
    setOptions(QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);

    m_tab = new QWidget;
    m_tab->setWindowTitle(QStringLiteral("Image Color Matching"));
    m_group = new QGroupBox(QStringLiteral("Image Color Matching"), m_tab);
    m_check = new QCheckBox(QString::fromUtf8("Image Color Matchingを使用してｶﾗｰ印刷(&G)"), m_group);
    m_check->setObjectName(QStringLiteral("1261"));
    const char* labels[3] = {"鮮やかさを優先(&S)", "ｺﾝﾄﾗｽﾄを優先(&T)", "特定の色を優先(&M)"};
    auto* layout = new QVBoxLayout(m_group);
    layout->addWidget(m_check);
    for (int i = 0; i < 3; ++i) {
        m_radios[i] = new QRadioButton(QString::fromUtf8(labels[i]), m_group);
        m_radios[i]->setObjectName(QString::number(1262 + i));
        layout->addWidget(m_radios[i]);
        connect(m_radios[i], &QRadioButton::clicked, this, [this, i] { m_model.selectIntent(i + 1); });
    }
    auto* tabLayout = new QVBoxLayout(m_tab);
    tabLayout->addWidget(m_group);
    tabLayout->addStretch();
    setOptionTabs({m_tab});
    connect(m_check, &QCheckBox::clicked, this, [this](bool on) {
        m_model.setChecked(on);
        showModel();
    });

    // Refresh after the standard dialog has handled a change of printer,
    // its properties, or its colour mode.
    m_printers = findChild<QComboBox*>(QStringLiteral("printers"));
    if (m_printers) {
        connect(m_printers, &QComboBox::currentIndexChanged, this, &CPrintFileDlg::refresh, Qt::QueuedConnection);
        for (QLabel* label : findChildren<QLabel*>())
            if (label->buddy() == m_printers) label->setText(QString::fromUtf8("ﾌﾟﾘﾝﾀ名(&N):"));
    }
    if (auto* properties = findChild<QPushButton*>(QStringLiteral("properties"))) {
        properties->setText(QString::fromUtf8("ﾌﾟﾛﾊﾟﾃｨ(&P)..."));
        connect(properties, &QPushButton::clicked, this, &CPrintFileDlg::refresh, Qt::QueuedConnection);
    }
    if (auto* grey = findChild<QRadioButton*>(QStringLiteral("grayscale")))
        connect(grey, &QRadioButton::toggled, this, &CPrintFileDlg::refresh);

    m_model.initialise({});
    refresh();
}

QString CPrintFileDlg::currentPrinterName() const {
    return m_printers ? m_printers->currentText() : printer()->printerName();
}

void CPrintFileDlg::refresh() {
    const QString name = currentPrinterName();
    const auto* grey = findChild<QRadioButton*>(QStringLiteral("grayscale"));
    PrinterColour colour;
    colour.colour = printerPrintsColour(name) && !(grey && grey->isChecked());
    m_profile = colour.colour ? findPrinterProfile(name) : std::nullopt;
    colour.profileKnown = m_profile.has_value();
    colour.intent = m_profile ? m_profile->intent : 0;
    m_model.refresh(colour);
    showModel();
}

void CPrintFileDlg::showModel() {
    m_check->setEnabled(m_model.checkEnabled());
    m_check->setChecked(m_model.checked());
    for (int i = 0; i < 3; ++i) {
        m_radios[i]->setEnabled(m_model.radiosEnabled());
        m_radios[i]->setChecked(m_model.selectedIntent() == i + 1);
    }
}

void CPrintFileDlg::accept() {
    QPrintDialog::accept();
    m_flag = m_model.checkEnabled() && m_model.checked();
    m_intent = m_model.selectedIntent();
}

}  // namespace quillon
