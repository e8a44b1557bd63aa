#include "effects/geometry_effects.h"

#include "image/image_effects.h"
#include "image/image_object.h"
#include "imaging/depth.h"
#include "imaging/imaging.h"

#include <functional>
#include <memory>
#include <vector>

namespace quillon {
namespace {

constexpr int kMemoryMessage = 5019;
constexpr int kRotationMessage = 5021;

// Runs work on the area copied out of the picture and pastes it back. Palette
// pictures go to 24 bits first when through24 is set, and come back with an
// optimised palette (or a plain one after a failure, where the message of the
// failing step stays the one reported).
bool onArea(CImageObject& picture, const Rect& area, bool through24, int failMessage,
            const std::function<bool(CImageObject&)>& work, int& message) {
    const int depth = picture.bitsPerPixel();
    const bool convert = through24 && depth < 24;
    const auto back = [&](uint32_t flags) {
        if (convert) changeColorDepth(picture, nullptr, depth, flags, nullptr, 0, false);
    };
    if (convert && !changeColorDepth(picture, nullptr, 24, imaging::depth::kNearest, nullptr, 0, false)) {
        message = 0;
        return false;
    }
    std::unique_ptr<CImageObject> copy = picture.copyRect(area.left, area.top, area.width(), area.height());
    if (!copy) {
        back(imaging::depth::kNearest);
        message = 0;
        return false;
    }
    if (!work(*copy)) {
        back(imaging::depth::kNearest);
        message = failMessage;
        return false;
    }
    if (!picture.combine(area.left, area.top, area.width(), area.height(), *copy, 0, 0, imaging::kOpCopy, false)) {
        back(imaging::depth::kNearest);
        message = 0;
        return false;
    }
    back(imaging::depth::kOptimizedPalette);
    return true;
}

}  // namespace

bool rotatePictureDegrees(CImageObject& picture, int degrees, int& message) {
    if (degrees == 0) return true;
    const bool swap = degrees % 90 == 0 && degrees % 180 != 0;
    if (rotateDegrees(picture, degrees, swap, false)) return true;
    message = kRotationMessage;
    return false;
}

bool rotatePictureHundredths(CImageObject& picture, int hundredths, int& message) {
    if (hundredths == 0) return true;
    const bool ok = hundredths % 9000 == 0 && hundredths % 18000 != 0
                        ? rotateDegrees(picture, hundredths / 100, true, false)
                        : rotateFine(picture, hundredths, 0, 0, false);
    if (!ok) message = kRotationMessage;
    return ok;
}

bool flipPicture(CImageObject& picture, const Rect* area, bool horizontal, int& message) {
    const auto flip = [horizontal](CImageObject& target) {
        return horizontal ? target.mirror(false) : target.flipVertical(false);
    };
    if (!area) {
        if (flip(picture)) return true;
        message = kMemoryMessage;
        return false;
    }
    return onArea(picture, *area, true, kMemoryMessage, flip, message);
}

bool resizePictureTo(CImageObject& picture, int width, int height, int& message) {
    message = 0;
    return resizePicture(picture, width, height, false);
}

bool filterPicture(CImageObject& picture, const Rect* area, int amount, int& message) {
    const auto filter = [amount](CImageObject& target) { return sharpen(target, amount, false); };
    message = 0;
    if (!area) return filter(picture);
    return onArea(picture, *area, true, 0, filter, message);
}

bool removeNoise(CImageObject& picture, const Rect* area, int& message) {
    const auto twoPasses = [](CImageObject& target) {
        return sharpen(target, kStrongBlurAmount, false) && sharpen(target, kSharpenAmount, false);
    };
    message = 0;
    if (!area) return twoPasses(picture);
    return onArea(picture, *area, false, 0, twoPasses, message);
}

bool invertPicture(CImageObject& picture, const Rect* area, int& message) {
    message = 0;
    if (area) return onArea(picture, *area, true, 0, [](CImageObject& t) { return t.invert(false); }, message);
    if (picture.bitsPerPixel() != 1) return picture.invert(false);
    // Each pixel takes the other palette index; the palette stays.
    const int bytes = picture.bitmap().bytesPerLine;
    std::vector<uint8_t> row;
    try {
        row.resize(size_t(bytes));
    } catch (const std::bad_alloc&) {
        message = kMemoryMessage;
        return false;
    }
    for (int y = 0; y < picture.height(); ++y) {
        picture.getRow(row.data(), y, bytes);
        for (uint8_t& b : row) b = uint8_t(~b);
        picture.putRow(row.data(), y, bytes);
    }
    return true;
}

int tiltCorrection(int t, bool vertical) {
    if (!vertical) return -t;
    return t > 0 ? 9000 - t : -t - 9000;
}

}  // namespace quillon
