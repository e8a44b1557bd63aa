// The base of the previewing effect dialogs: a backup on opening (5018 when
// it cannot be had, and the dialog does not open), the Preview button 1016
// showing the effect on a fresh copy of the backup, OK ("実行") putting the
// backup back without redraw, Cancel ("ｷｬﾝｾﾙ") with redraw. The command
// applies the effect once after OK, with its undo snapshot.
#pragma once

#include "effects/effect_preview.h"

#include <QDialog>

#include <functional>

class QBoxLayout;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quillon {

class UiPort;

// The up-down control beside an edit: two arrow buttons over a position.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(int low, int high, int position, QWidget* parent);
    int position() const { return m_position; }
    void setPosition(int position);
    std::function<void(int)> onStep;  // after an arrow moved the position
    QToolButton* up() const { return m_up; }
    QToolButton* down() const { return m_down; }

private:
    int m_low, m_high, m_position;
    QToolButton* m_up;
    QToolButton* m_down;
};

class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    PreviewDialog(CImageObject& picture, UiPort& ui, const QString& caption, QWidget* parent);
    // Takes the backup, then runs the dialog; Rejected at once when the backup fails.
    int run();
    QPushButton* previewButton() const { return m_preview; }

protected:
    // Reads and checks the controls; a refused value shows the dialog's
    // message and returns false.
    virtual bool readParameters() = 0;
    // The effect with the parameters read last, for a preview.
    virtual bool applyEffect(CImageObject& picture) = 0;
    // Adds the Preview, OK and Cancel row below the given body layout.
    void addButtons(QBoxLayout* body);
    QLineEdit* makeEdit(const QString& id, int value, int maxLength);
    UiPort& ui() { return m_ui; }

    void accept() override;
    void reject() override;

private:
    void preview();

    EffectPreview m_backup;
    UiPort& m_ui;
    QPushButton* m_preview = nullptr;
};

}  // namespace quillon
