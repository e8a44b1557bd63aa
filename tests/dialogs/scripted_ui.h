// A UI port that records what the dialogs tell the user.
#pragma once

#include "ui/ui_port.h"

#include <QString>
#include <QStringList>

struct ScriptedUi : quillon::UiPort {
    QStringList messages;
    QList<quillon::MsgIcon> icons;
    int beeps = 0;
    quillon::MsgAnswer message(const QString& text, quillon::MsgButtons,
                               quillon::MsgIcon icon) override {
        messages << text;
        icons << icon;
        return quillon::MsgAnswer::Ok;
    }
    void beep() override { ++beeps; }
};
