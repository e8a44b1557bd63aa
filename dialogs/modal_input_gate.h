// Keeps the input of the program's other windows away from one dialog while
// it runs, as a modal dialog does, with one way through: in pick mode the
// clicks of a chosen view pass. Qt's own modality cannot be opened for one
// window while the dialog shows, so the dialog runs without it and this
// filter stands in for both the modality and the mouse capture of pick mode.
#pragma once

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace quillon {

class ModalInputGate : public QObject {
public:
    explicit ModalInputGate(QWidget* dialog);
    ~ModalInputGate() override;

    // Starts pick mode for view, which shows cursor meanwhile; every other
    // cursor becomes the arrow.
    void openFor(QWidget* view, const QCursor& cursor);
    void close();
    bool isOpen() const { return m_view != nullptr; }

    // In pick mode: a press inside the dialog, and one outside both the
    // dialog and the view. Both presses are swallowed.
    std::function<void()> onPressInDialog;
    std::function<void()> onPressElsewhere;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool insideDialog(const QWidget* widget) const;
    bool insideView(const QWidget* widget) const;

    QPointer<QWidget> m_dialog;
    QPointer<QWidget> m_view;
    QCursor m_cursor;
};

}  // namespace quillon
