// The previewing dialogs of the colour and tone effects: brightness and
// contrast 1010, colour filter 1060, hue adjustment 1070, saturation 1090.
// Each previews on the work area it was given and hands its values to the
// command after OK.
#pragma once

#include "effects/colour_dialog_models.h"
#include "effects/preview_dialog.h"
#include "image/rect.h"

#include <optional>

class QCheckBox;
class QLabel;
class QScrollBar;

namespace quillon {

class BrightnessContrastDialog : public PreviewDialog {
    Q_OBJECT
public:
    BrightnessContrastDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent);
    int brightness = 0, contrast = 0;
    bool invert = false;

protected:
    bool readParameters() override;
    bool applyEffect(CImageObject& picture) override;

private:
    std::optional<Rect> m_area;
    QLineEdit* m_edits[2];
    QCheckBox* m_invert;
};

class ColourFilterDialog : public PreviewDialog {
    Q_OBJECT
public:
    ColourFilterDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent);
    ColourFilterModel model;

protected:
    bool readParameters() override;
    bool applyEffect(CImageObject& picture) override;

private:
    void showValues();
    std::optional<Rect> m_area;
    QScrollBar* m_bars[3];
    QLineEdit* m_edits[3];
    QLabel* m_sample;
};

class HueDialog : public PreviewDialog {
    Q_OBJECT
public:
    HueDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent);
    HueModel model;
    QWidget* chart() const { return m_chart; }

protected:
    bool readParameters() override;
    bool applyEffect(CImageObject& picture) override;

private:
    void showValues(int except);
    std::optional<Rect> m_area;
    QLineEdit* m_edits[3];
    UpDown* m_upDowns[3];
    QWidget* m_chart;
};

class SaturationDialog : public PreviewDialog {
    Q_OBJECT
public:
    SaturationDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent);
    int percent = 100;

protected:
    bool readParameters() override;
    bool applyEffect(CImageObject& picture) override;

private:
    std::optional<Rect> m_area;
    QLineEdit* m_edit;
};

}  // namespace quillon
