// The UI port of the command line: messages go to standard error, as they are.
#pragma once

#include "ui/ui_port.h"

#include <QString>

namespace quillon::cli {

class ConsolePort : public UiPort {
public:
    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon) override;
    void beep() override {}

    void print(const QString& text);  // a line on standard output
    void error(const QString& text);  // a line on standard error
    int messageCount() const { return m_messages; }

private:
    int m_messages = 0;
};

}  // namespace quillon::cli
