#include "effects/colour_shift.h"

#include "resources/strings.h"

#include <algorithm>
#include <cstring>

namespace quillon {
namespace {

// Pixel x takes pixel x - a of the same row (a > 0 from the right end, a < 0
// from the left); the pixels that receive nothing keep their value.
void shiftRow(uint8_t* row, int width, int byte, int a) {
    if (a > 0) {
        for (int x = width - 1; x >= a; --x) row[3 * x + byte] = row[3 * (x - a) + byte];
    } else if (a < 0) {
        for (int x = 0; x <= width - 1 + a; ++x) row[3 * x + byte] = row[3 * (x - a) + byte];
    }
}

void shiftRows(imaging::Bitmap& b, const CImageObject& picture, int byte, int shift) {
    const auto row = [&](int y) { return b.storedRow(picture.storedRow(y)); };
    const auto copyChannel = [&](int to, int from) {
        uint8_t* d = row(to);
        const uint8_t* s = row(from);
        for (int x = 0; x < b.width; ++x) d[3 * x + byte] = s[3 * x + byte];
    };
    if (shift < 0) {
        for (int y = 0; y <= b.height - 1 + shift; ++y) copyChannel(y, y - shift);
    } else if (shift > 0) {
        for (int y = b.height - 1; y >= shift; --y) copyChannel(y, y - shift);
    }
}

}  // namespace

void ColourShiftOffsets::move(ShiftChannel channel, int stepX, int stepY, int width, int height) {
    const size_t c = size_t(channel);
    dx[c] = std::clamp(dx[c] + stepX, -(width - 1), width - 1);
    dy[c] = std::clamp(dy[c] + stepY, -(height - 1), height - 1);
}

bool rebuildColourShift(CImageObject& picture, const CImageObject& backup, const ColourShiftOffsets& offsets,
                        QString& error) {
    imaging::Bitmap& b = picture.bitmap();
    const imaging::Bitmap& source = backup.bitmap();
    if (b.bitsPerPixel != 24 || source.bitsPerPixel != 24 || b.width != source.width || b.height != source.height ||
        b.bytesPerLine != source.bytesPerLine || !b.hasPixels() || !source.hasPixels()) {
        error = loadString(5019);
        return false;
    }
    std::memcpy(b.pixels.get(), source.pixels.get(), b.byteCount());
    // Rows stored mirrored hold picture column x at W - 1 - x: a move right is a move left there.
    const bool mirroredRows = b.rowOrder == imaging::kTopDownMirrored || b.rowOrder == imaging::kBottomUpMirrored;
    for (int c = 0; c < 3; ++c) {
        const int byte = b.colorOrder == imaging::kBgr ? 2 - c : c;
        const int a = mirroredRows ? -offsets.dx[size_t(c)] : offsets.dx[size_t(c)];
        if (a != 0)
            for (int y = 0; y < b.height; ++y) shiftRow(b.storedRow(y), b.width, byte, a);
        shiftRows(b, picture, byte, offsets.dy[size_t(c)]);
    }
    return true;
}

}  // namespace quillon
