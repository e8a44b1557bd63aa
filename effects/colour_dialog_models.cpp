#include "effects/colour_dialog_models.h"

#include "effects/channel_tables.h"
#include "image/mul_div.h"

#include <algorithm>
#include <cmath>

namespace quillon {

std::optional<int> readEditClamped(const QString& text, int low, int high) {
    if (text == u"-") return std::nullopt;
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return int(std::clamp<long long>(v, low, high));
}

std::optional<int> readEditStrict(const QString& text, int low, int high) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < low || v > high) return std::nullopt;
    return v;
}

void ColourFilterModel::scroll(int channel, FilterScroll action, int thumbPosition) {
    int& v = percent[size_t(channel)];
    switch (action) {
    case FilterScroll::LineLeft: v -= 2; break;
    case FilterScroll::LineRight: v += 2; break;
    case FilterScroll::PageLeft: v -= 10; break;
    case FilterScroll::PageRight: v += 10; break;
    case FilterScroll::Home: v = 0; break;
    case FilterScroll::End: v = 200; break;
    case FilterScroll::Thumb: v = thumbPosition; break;
    case FilterScroll::EndScroll: return;
    }
    v = std::clamp(v, 0, 200);
}

std::array<int, 3> ColourFilterModel::sample() const {
    const int scale = std::max(100, *std::max_element(percent.begin(), percent.end()));
    std::array<int, 3> c{};
    for (size_t i = 0; i < 3; ++i) c[i] = std::min(mulDiv(percent[i], 255, scale), 255);
    return c;
}

void HueModel::setLinked(bool on) {
    linked = on;
    if (on) values.fill((values[0] + values[1] + values[2]) / 3);
}

void HueModel::setValue(int channel, int value) {
    value = std::clamp(value, -100, 100);
    if (linked) values.fill(value);
    else values[size_t(channel)] = value;
}

double HueModel::exponent(int channel) const { return hueExponent(values[size_t(channel)]); }

std::vector<QPoint> HueModel::curve(int channel, int w, int h) const {
    std::vector<QPoint> points;
    const double e = exponent(channel);
    for (int x = 1; x <= 254; x += 11) {
        const double y = std::pow(x / 255.0, e);
        points.emplace_back(x * w / 255, int(h - y * h));
    }
    return points;
}

}  // namespace quillon
