// A UI port for tests: records every message and answers from a script.
#pragma once

#include "ui/ui_port.h"

#include <QStringList>

#include <deque>
#include <functional>

namespace quillon::test {

class ScriptedUi : public UiPort {
public:
    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon) override {
        messages << text;
        icons.push_back(icon);
        if (onMessage) onMessage();
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
    void beep() override { ++beeps; }

    QStringList messages;
    std::vector<MsgIcon> icons;
    std::deque<MsgAnswer> answers;
    int beeps = 0;
    std::function<void()> onMessage;  // runs while the message shows
};

}  // namespace quillon::test
