#include "album/delete_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace quillon {

CDeleteDlg::CDeleteDlg(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("1290"));
    setWindowTitle(QString::fromUtf8("削除"));
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("1291"));
    const int edge = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(edge, edge));
    auto* message = new QLabel(text, this);
    message->setObjectName(QStringLiteral("1292"));
    message->setTextFormat(Qt::PlainText);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(message, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const struct {
        const char* label;
        int code;
    } kButtons[] = {{"はい(&Y)", kDeleteYes}, {"すべて(&A)", kDeleteAll}, {"いいえ(&N)", kDeleteNo},
                    {"ｷｬﾝｾﾙ(&C)", kDeleteCancel}};
    for (const auto& b : kButtons) {
        auto* button = new QPushButton(QString::fromUtf8(b.label), this);
        button->setObjectName(QString::number(b.code));
        button->setAutoDefault(b.code == kDeleteYes);
        button->setDefault(b.code == kDeleteYes);
        connect(button, &QPushButton::clicked, this, [this, code = b.code] { done(code); });
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

int askDelete(const QString& text, QWidget* parent) {
    CDeleteDlg dialog(text, parent);
    const int code = dialog.exec();
    return code == QDialog::Rejected ? kDeleteCancel : code;
}

}  // namespace quillon
