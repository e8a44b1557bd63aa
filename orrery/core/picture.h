// An RGB picture in memory, rows top-down, 3 bytes a pixel (R, G, B): the
// form every backend delivers and every codec of the library takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orrery {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), rgb(size_t(w) * size_t(h) * 3) {}
    bool empty() const { return width <= 0 || height <= 0; }
    uint8_t* row(int y) { return rgb.data() + size_t(y) * size_t(width) * 3; }
    const uint8_t* row(int y) const { return rgb.data() + size_t(y) * size_t(width) * 3; }
};

// Resamples to width x height: a triangle filter widened by the shrink factor,
// so shrinking averages every source pixel and enlarging interpolates.
Picture resize(const Picture& source, int width, int height);

// Largest size with the source's aspect ratio that fits in maxWidth x maxHeight.
void fitInside(int width, int height, int maxWidth, int maxHeight, int& outWidth, int& outHeight);

// The tone curve that the gamma flag turns on: lifts the shadows of the
// camera's pictures, which look dark on a PC screen, and leaves white alone.
void applyToneCurve(Picture& picture);

}  // namespace orrery
