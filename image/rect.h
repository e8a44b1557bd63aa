// A rectangle as the picture code uses it: right and bottom are exclusive.
#pragma once

namespace quillon {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace quillon
