// The histogram of a picture (three channels of 256 counters) and the
// automatic levels correction computed from it.
#pragma once

#include "image/image_object.h"
#include "image/rect.h"

#include <QString>

#include <array>
#include <cstdint>

namespace quillon {

struct Histogram {
    std::array<uint32_t, 256> red{}, green{}, blue{};
    uint32_t maxRed = 1, maxGreen = 1, maxBlue = 1;  // over 1..254, at least 1
    int64_t pixelCount = 0;
};

// Pictures above 8 bits count the work area, palette pictures the whole
// picture through their palette. False with the message in error.
bool computeHistogram(CImageObject& image, const Rect* selection, Histogram& histogram, QString& error);

// The low and high points of the levels correction, widened by one.
struct LevelsPoints {
    int low = 0, high = 255;
};
LevelsPoints levelsPoints(const Histogram& histogram);

enum class LevelsOutcome { Applied, TooFewPixels, Refused, Failed };
// Refused (fewer than 8 bits) and Failed leave the message in error; too few
// pixels (fewer than 11000) changes nothing.
LevelsOutcome applyLevels(CImageObject& image, const Rect* selection, const Histogram& histogram, QString& error);

}  // namespace quillon
