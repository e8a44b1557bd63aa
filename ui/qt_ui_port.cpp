#include "ui/qt_ui_port.h"

#include "resources/strings.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace quillon {

QString messageCaption() { return loadString(57344); }

MsgAnswer QtUiPort::message(const QString& text, MsgButtons buttons, MsgIcon icon) {
    QMessageBox box(m_parent);
    box.setWindowTitle(messageCaption());
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    // Japanese captions on the buttons, as the system's own boxes had.
    struct B { QMessageBox::StandardButton button; const char* text; MsgAnswer answer; };
    std::vector<B> wanted;
    switch (buttons) {
    case MsgButtons::Ok: wanted = {{QMessageBox::Ok, "OK", MsgAnswer::Ok}}; break;
    case MsgButtons::OkCancel:
        wanted = {{QMessageBox::Ok, "OK", MsgAnswer::Ok}, {QMessageBox::Cancel, "ｷｬﾝｾﾙ", MsgAnswer::Cancel}};
        break;
    case MsgButtons::YesNo:
        wanted = {{QMessageBox::Yes, "はい(&Y)", MsgAnswer::Yes}, {QMessageBox::No, "いいえ(&N)", MsgAnswer::No}};
        break;
    case MsgButtons::YesNoCancel:
        wanted = {{QMessageBox::Yes, "はい(&Y)", MsgAnswer::Yes},
                  {QMessageBox::No, "いいえ(&N)", MsgAnswer::No},
                  {QMessageBox::Cancel, "ｷｬﾝｾﾙ", MsgAnswer::Cancel}};
        break;
    case MsgButtons::RetryCancel:
        wanted = {{QMessageBox::Retry, "再試行(&R)", MsgAnswer::Retry},
                  {QMessageBox::Cancel, "ｷｬﾝｾﾙ", MsgAnswer::Cancel}};
        break;
    }
    for (const B& b : wanted) box.addButton(b.button)->setText(QString::fromUtf8(b.text));
    box.setDefaultButton(wanted.front().button);
    if (buttons != MsgButtons::YesNo) box.setEscapeButton(wanted.back().button);
    const auto pressed = QMessageBox::StandardButton(box.exec());
    for (const B& b : wanted)
        if (b.button == pressed) return b.answer;
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : wanted.back().answer;
}

void QtUiPort::beep() { QApplication::beep(); }

}  // namespace quillon
