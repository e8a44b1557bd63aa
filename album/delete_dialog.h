// The delete question (dialog 1290 "削除"): the question icon, the text, and
// はい / すべて / いいえ / ｷｬﾝｾﾙ, which end it with 1, 19, 7 and 2.
#pragma once

#include <QDialog>

namespace quillon {

enum DeleteAnswer { kDeleteYes = 1, kDeleteAll = 19, kDeleteNo = 7, kDeleteCancel = 2 };

class CDeleteDlg : public QDialog {
    Q_OBJECT
public:
    CDeleteDlg(const QString& text, QWidget* parent = nullptr);
};

// Runs the dialog; Escape and closing the window answer ｷｬﾝｾﾙ.
int askDelete(const QString& text, QWidget* parent);

}  // namespace quillon
