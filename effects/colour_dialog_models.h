// The rules of the colour and tone dialogs without their widgets: how an edit
// is read, the colour filter's scroll bars and sample, the hue dialog's
// linking and curves. The dialogs bind widgets to these.
#pragma once

#include <QPoint>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace quillon {

// An edit read on every change: the text "-" alone is incomplete (none);
// other text is a signed integer clamped to low..high (none when it is not
// a number).
std::optional<int> readEditClamped(const QString& text, int low, int high);
// The final check at Preview and OK: a number within low..high, else none
// (the dialog shows its range message and stays).
std::optional<int> readEditStrict(const QString& text, int low, int high);

enum class FilterScroll { LineLeft, LineRight, PageLeft, PageRight, Home, End, Thumb, EndScroll };

struct ColourFilterModel {
    std::array<int, 3> percent{100, 100, 100};  // red, green, blue, 0..200

    // A scroll bar's action on one channel; the result is clamped to 0..200.
    void scroll(int channel, FilterScroll action, int thumbPosition = 0);
    // The sample's colour: each value x 255 / max(100, largest), at most 255.
    std::array<int, 3> sample() const;
};

struct HueModel {
    std::array<int, 3> values{};  // red, green, blue, -100..100
    bool linked = false;

    // Switching the link on sets all three to their integer mean.
    void setLinked(bool on);
    // A change of one channel; while linked the two others follow.
    void setValue(int channel, int value);
    double exponent(int channel) const;
    // The chart's polyline for a channel in a w x h control: y = (x / 255)^e
    // at x = 1, 12, 23, ... 254, the origin at the bottom left.
    std::vector<QPoint> curve(int channel, int w, int h) const;
};

}  // namespace quillon
