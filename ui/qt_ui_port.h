// The UI port over Qt message boxes: the program's one message-box helper.
#pragma once

#include "ui/ui_port.h"

class QWidget;

namespace quillon {

class QtUiPort : public UiPort {
public:
    // Boxes are owned by parent (the main window once it exists).
    explicit QtUiPort(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon) override;
    void beep() override;

private:
    QWidget* m_parent;
};

// The caption of every message box: the application name.
QString messageCaption();

}  // namespace quillon
