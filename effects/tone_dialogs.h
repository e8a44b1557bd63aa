// The dialogs without preview: the histogram 1100 with its live levels
// correction, the depth conversion 1040, and the colour shift correction
// 1350 that rebuilds the picture on every arrow and applies on OK.
#pragma once

#include "effects/colour_shift.h"
#include "effects/depth_conversion.h"
#include "effects/histogram.h"
#include "image/rect.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace quillon {

class UiPort;

class HistogramDialog : public QDialog {
    Q_OBJECT
public:
    // onChanged runs after each correction (refresh of the picture).
    HistogramDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent);
    // False when the histogram cannot be counted: the dialog ends as cancelled.
    bool ready() const { return m_ready; }
    QPushButton* correctButton() const { return m_correct; }
    QWidget* chart() const { return m_chart; }
    const Histogram& histogram() const { return m_histogram; }
    std::function<void()> onChanged;

private:
    void correct();

    CImageObject& m_picture;
    std::optional<Rect> m_area;
    UiPort& m_ui;
    Histogram m_histogram;
    bool m_ready = false;
    QPushButton* m_correct;
    QWidget* m_chart;
};

class DepthDialog : public QDialog {
    Q_OBJECT
public:
    DepthDialog(int pictureBits, QWidget* parent);
    DepthChoice choice() const;

private:
    QRadioButton* m_radios[5];
    QCheckBox* m_dither;
    QCheckBox* m_grey;
};

class ColourShiftDialog : public QDialog {
    Q_OBJECT
public:
    ColourShiftDialog(CImageObject& picture, UiPort& ui, QWidget* parent);
    // Takes the backup (5019 and Rejected when it fails), then runs.
    int run();
    // OK: the backup back, then snapshot() (the command's undo snapshot of
    // the unshifted picture), then the shifted picture rebuilt.
    std::function<bool()> snapshot;
    std::function<void()> onChanged;
    const ColourShiftOffsets& offsets() const { return m_offsets; }
    void arrow(int stepX, int stepY);

protected:
    void accept() override;
    void reject() override;

private:
    ShiftChannel channel() const;

    CImageObject& m_picture;
    UiPort& m_ui;
    std::unique_ptr<CImageObject> m_backup;
    ColourShiftOffsets m_offsets;
    QRadioButton* m_channels[3];
};

}  // namespace quillon
