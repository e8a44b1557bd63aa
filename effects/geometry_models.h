// The rules of the geometry dialogs without their widgets: the rotation
// dialog's angle and outline, the resize dialog's units and aspect lock, and
// the tilt dialog's texts and correction. The dialogs bind widgets to these.
#pragma once

#include <QPoint>
#include <QString>

#include <array>
#include <optional>

namespace quillon {

constexpr int kRotationMin = -45;
constexpr int kRotationMax = 45;
// The tilt line's angle, hundredths of a degree (flat lines within 45
// degrees of the x axis, steep ones 9000 minus their angle from the y axis).
constexpr int kLineAngleMin = -9000;
constexpr int kLineAngleMax = 9000;
constexpr int kResizePixelsMax = 10000;
constexpr int kResizePercentMax = 1000;

// The information message of the rotation dialog for an angle out of range.
QString rotationRangeMessage();

// The rotation dialog's edit: "-" alone is unfinished input (angle 0, no
// outline); other text is a signed number clamped to -45..45, or none.
struct AngleInput {
    int angle = 0;
    bool drawOutline = false;
};
AngleInput readAngleEdit(const QString& text);
// The final check at Preview and OK: the number when in range.
std::optional<int> checkedAngle(const QString& text);

// The rotation outline in picture points: four corners, then the marker
// line from the centre to the turned middle of the top edge. degrees 0..359.
struct RotationOutline {
    std::array<QPoint, 4> corners;
    QPoint centre, marker;
};
RotationOutline rotationOutline(int width, int height, int degrees);

// The resize dialog: width and height in pixels or percent of the size at
// opening, with the aspect lock.
class ResizeModel {
public:
    ResizeModel(int width, int height);
    bool percent() const { return m_percent; }
    bool aspectLocked() const { return m_locked; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int maximum() const { return m_percent ? kResizePercentMax : kResizePixelsMax; }
    QString unit() const;
    // Typing: the value as the edit holds it.
    void setWidth(int w) { m_width = w; }
    void setHeight(int h) { m_height = h; }
    // Leaving an edit applies the lock.
    void widthEdited();
    void heightEdited();
    void setAspectLock(bool on);
    void setPercent(bool on);
    // The size OK asks for, in pixels.
    int pixelWidth() const;
    int pixelHeight() const;

private:
    int m_startWidth, m_startHeight;
    int m_width, m_height;
    bool m_locked = true;
    bool m_percent = false;
};

// The tilt dialog's orientation, line and preview state.
class TiltModel {
public:
    bool vertical() const { return m_vertical; }
    // False when it is the orientation already chosen.
    bool setVertical(bool vertical);
    void lineDrawn(int angle);
    bool hasLine() const { return m_line.has_value(); }
    // The rotation in hundredths that the drawn line asks for (0 without one).
    int correction() const;
    bool previewShown() const { return m_preview; }
    // The preview button pressed: true when it now shows the preview.
    bool togglePreview();
    QString prompt() const;
    QString previewButtonText() const;

private:
    bool m_vertical = false;
    std::optional<int> m_line;
    bool m_preview = false;
};

}  // namespace quillon
