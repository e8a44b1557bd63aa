#include "cli/console_port.h"

#include <cstdio>

namespace quillon::cli {

MsgAnswer ConsolePort::message(const QString& text, MsgButtons buttons, MsgIcon) {
    ++m_messages;
    error(text);
    // Nobody answers on a command line: questions take their safe answer.
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgAnswer::No;
    case MsgButtons::RetryCancel:
    case MsgButtons::OkCancel: return MsgAnswer::Cancel;
    case MsgButtons::Ok: break;
    }
    return MsgAnswer::Ok;
}

void ConsolePort::print(const QString& text) {
    std::fputs((text + '\n').toUtf8().constData(), stdout);
}

void ConsolePort::error(const QString& text) {
    std::fputs((text + '\n').toUtf8().constData(), stderr);
}

}  // namespace quillon::cli
