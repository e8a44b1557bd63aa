// The window shown while a picture prints (dialog 1363, "印刷中"): one
// centred line, no buttons. It holds the mouse while it is up.
#pragma once

#include "frame/print_job.h"

#include <QPointer>

class QDialog;
class QWidget;

namespace quillon {

class PrintProgressWindow : public PrintProgress {
public:
    explicit PrintProgressWindow(QWidget* parent) : m_parent(parent) {}
    ~PrintProgressWindow() override { close(); }
    void open(const QString& text) override;
    void close() override;
    QDialog* window() const { return m_window; }

private:
    QWidget* m_parent;
    QPointer<QDialog> m_window;
    bool m_cursor = false;
};

}  // namespace quillon
