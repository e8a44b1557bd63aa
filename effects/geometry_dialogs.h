// The geometry dialogs: rotation 1020 (modal, preview and the outline over
// the picture), resize 1230 (modal) and tilt correction 1220 (modeless, one
// per view, its preview button toggling). Their rules are in geometry_models.h.
#pragma once

#include "effects/geometry_models.h"

#include <QAbstractSpinBox>
#include <QDialog>

#include <memory>
#include <optional>

class QCheckBox;
class QLineEdit;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quillon {

class CImageObject;
class CQuillonView;
class UiPort;

// An edit with its up-down control: the text is the dialog's to judge; the
// arrows step within the range.
class NumberSpin : public QAbstractSpinBox {
    Q_OBJECT
public:
    NumberSpin(const QString& editId, const QString& upDownId, int maxLength, QWidget* parent);
    void setRange(int minimum, int maximum) { m_min = minimum; m_max = maximum; }
    void setValue(int value);
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    int value() const;
    QLineEdit* edit() const { return lineEdit(); }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_min = 0, m_max = 0, m_maxLength;
};

// 124's dialog: the angle it ends with, or none when cancelled. The picture is
// the one before the dialog either way.
std::optional<int> runRotationDialog(CQuillonView& view, UiPort& ui, QWidget* parent);

class RotationDlg : public QDialog {
    Q_OBJECT
public:
    RotationDlg(CQuillonView& view, UiPort& ui, std::unique_ptr<CImageObject> backup, QWidget* parent);
    ~RotationDlg() override;
    void accept() override;
    void reject() override;
    void preview();
    std::optional<int> angle() const { return m_angle; }

private:
    void edited();
    void restore(bool redraw);

    CQuillonView& m_view;
    UiPort& m_ui;
    std::unique_ptr<CImageObject> m_backup;
    NumberSpin* m_spin;
    std::optional<int> m_angle;
};

class ResizeDlg : public QDialog {
    Q_OBJECT
public:
    ResizeDlg(int width, int height, QWidget* parent);
    const ResizeModel& model() const { return m_model; }
    void accept() override;

private:
    void show();
    void readEdits();

    ResizeModel m_model;
    NumberSpin* m_width;
    NumberSpin* m_height;
    QLabel* m_widthUnit;
    QLabel* m_heightUnit;
    QCheckBox* m_lock;
    QRadioButton* m_pixels;
    QRadioButton* m_percent;
};

// 126's dialog: the new size in pixels, or none when cancelled.
std::optional<QSize> runResizeDialog(int width, int height, QWidget* parent);

class TiltDlg : public QDialog {
    Q_OBJECT
public:
    // Opens the dialog for the view (5018 and nothing open when the backup
    // fails); it deletes itself when closed.
    static TiltDlg* open(CQuillonView& view, UiPort& ui, QWidget* parent);
    ~TiltDlg() override;
    const TiltModel& model() const { return m_model; }
    void lineDrawn(int angle);
    void setVertical(bool vertical);
    void togglePreview();
    void accept() override;
    void reject() override;

private:
    TiltDlg(CQuillonView& view, UiPort& ui, std::unique_ptr<CImageObject> backup, QWidget* parent);
    void showState();
    void restore(bool redraw);

    CQuillonView& m_view;
    UiPort& m_ui;
    std::unique_ptr<CImageObject> m_backup;
    TiltModel m_model;
    QRadioButton* m_horizontal;
    QRadioButton* m_vertical;
    QLabel* m_prompt;
    QPushButton* m_preview;
    QPushButton* m_ok;
};

}  // namespace quillon
