#include "effects/tracker_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace quillon {

Rect TrackerView::toWindow(const Rect& r) const {
    return {toWindowX(r.left), toWindowY(r.top), toWindowX(r.right), toWindowY(r.bottom)};
}

Rect normalized(const Rect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

int hitTest(const Rect& w, int x, int y) {
    if (!w.contains(x, y)) return kHandleOutside;
    const int mx = w.left + (w.right - w.left - 10) / 2;
    const int my = w.top + (w.bottom - w.top - 10) / 2;
    struct Zone {
        int code, left, top, width, height;
    };
    const Zone zones[] = {
        {kHandleTopLeft, w.left, w.top, 8, 8},
        {kHandleTop, mx, w.top, 10, 8},
        {kHandleTopRight, w.right - 8, w.top, 8, 8},
        {kHandleLeft, w.left, my, 8, 10},
        {kHandleRight, w.right - 8, my, 8, 10},
        {kHandleBottomLeft, w.left, w.bottom - 8, 8, 8},
        {kHandleBottom, mx, w.bottom - 8, 10, 8},
        {kHandleBottomRight, w.right - 8, w.bottom - 8, 8, 8},
    };
    for (const Zone& z : zones)
        if (Rect{z.left, z.top, z.left + z.width, z.top + z.height}.contains(x, y)) return z.code;
    return kHandleMove;
}

std::vector<Rect> handleSquares(const Rect& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const auto box = [](int x, int y, int width, int height) { return Rect{x, y, x + width, y + height}; };
    const int midX = r.left + (w - 6) / 2;
    const int midY = r.top + (h - 6) / 2;
    if (w >= 18 && h >= 18) {
        return {box(r.left, r.top, 6, 6),          box(midX, r.top, 6, 6),
                box(r.right - 6, r.top, 6, 6),     box(r.left, midY, 6, 6),
                box(r.right - 6, midY, 6, 6),      box(r.left, r.bottom - 6, 6, 6),
                box(midX, r.bottom - 6, 6, 6),     box(r.right - 6, r.bottom - 6, 6, 6)};
    }
    if (w < 18 && h >= 18) {
        std::vector<Rect> out{box(r.left, r.top, w, 6), box(r.left, r.bottom - 6, w, 6)};
        if (w > 12) {
            out.push_back(box(r.left, midY, 6, 6));
            out.push_back(box(r.right - 6, midY, 6, 6));
        } else {
            out.push_back(box(r.left, midY, w, 6));
        }
        return out;
    }
    if (w >= 18 && h < 18) {
        std::vector<Rect> out{box(r.left, r.top, 6, h), box(r.right - 6, r.top, 6, h)};
        if (h >= 12) {
            out.push_back(box(midX, r.top, 6, 6));
            out.push_back(box(midX, r.bottom - 6, 6, 6));
        } else {
            out.push_back(box(midX, r.top, 6, h));
        }
        return out;
    }
    return {r};
}

int referenceLineAngle(const Rect& line) {
    int x1 = line.left, y1 = line.top, x2 = line.right, y2 = line.bottom;
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    // 18000 / 3.14159265358: hundredths of a degree per radian.
    constexpr double kScale = 5729.577951326093;
    const double angle = std::abs(dx) > std::abs(dy) ? std::atan2(dy, dx) * kScale
                                                     : 9000 - std::atan2(dx, dy) * kScale;
    return int(angle);  // toward zero
}

}  // namespace quillon
