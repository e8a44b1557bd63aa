// The colour shift correction: one channel of a 24-bit picture moved against
// the two others by whole pixels, rebuilt from a backup after every change.
#pragma once

#include "image/image_object.h"

#include <QString>

#include <array>

namespace quillon {

enum class ShiftChannel { Red = 0, Green = 1, Blue = 2 };

struct ColourShiftOffsets {
    std::array<int, 3> dx{}, dy{};  // red, green, blue

    // An arrow: the channel's offset moves by one pixel and stays within
    // -(size - 1)..size - 1 of its direction.
    void move(ShiftChannel channel, int stepX, int stepY, int width, int height);
};

// The picture rebuilt: the backup's rows, then for red, green and blue the
// horizontal and the vertical shift. Both pictures are 24 bits of one size.
bool rebuildColourShift(CImageObject& picture, const CImageObject& backup, const ColourShiftOffsets& offsets,
                        QString& error);

}  // namespace quillon
