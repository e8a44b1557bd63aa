#include "dialogs/image_info_dialog.h"

#include "dialogs/dialog_texts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace quillon {

CImageInfoDlg::CImageInfoDlg(const PictureInfoTexts& texts, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("1250"));
    setWindowTitle(QString::fromUtf8(dialog_text::kInfoCaption));
    auto* grid = new QGridLayout(this);
    struct Row {
        const char* label;
        const char* id;
        const QString& text;
    };
    const Row rows[] = {
        {dialog_text::kInfoPathLabel, "1251", texts.path},
        {dialog_text::kInfoFormatLabel, "1254", texts.format},
        {dialog_text::kInfoSizeLabel, "1252", texts.size},
        {dialog_text::kInfoDepthLabel, "1253", texts.depth},
    };
    int line = 0;
    for (const Row& row : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(row.label), this), line, 0);
        auto* value = new QLabel(row.text, this);
        value->setObjectName(QLatin1String(row.id));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(value, line, 1);
        ++line;
    }
    grid->setColumnStretch(1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    grid->addWidget(buttons, line, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    setMinimumWidth(320);
}

}  // namespace quillon
