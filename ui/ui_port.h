// What the program asks of the user interface: message boxes and a beep.
// The program supplies Qt; tests supply a scripted port.
#pragma once

#include <QString>

namespace quillon {

enum class MsgIcon { None, Exclamation, Stop, Information, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel, RetryCancel, OkCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

class UiPort {
public:
    virtual ~UiPort() = default;
    virtual MsgAnswer message(const QString& text, MsgButtons, MsgIcon) = 0;
    virtual void beep() = 0;
};

}  // namespace quillon
