#include "image/image_effects.h"

#include "image/last_result.h"
#include "imaging/depth.h"
#include "imaging/filters.h"
#include "imaging/geometry.h"
#include "imaging/output_prep.h"
#include "imaging/result.h"
#include "imaging/tone.h"

namespace quillon {

using imaging::Bitmap;

namespace {

void invalidate(CImageObject& image) {
    if (image.sink()) image.sink()->invalidateAll();
}

}  // namespace

bool changeColorDepth(CImageObject& target, const CImageObject* source, int bits, uint32_t flags,
                      const imaging::RgbQuad* palette, int colours, bool redraw) {
    const bool self = source == nullptr || source == &target;
    if (!self && !source->hasBitmap()) {
        setLastImagingResult(imaging::kErrNoBitmap);
        return false;
    }
    const int oldWidth = target.width(), oldHeight = target.height();
    const bool done = target.runImaging(
        [&](Bitmap& b) {
            return imaging::changeColorDepth(b, self ? b : source->bitmap(), bits, flags, palette, colours);
        },
        false);
    if (!done) return false;
    target.setHasBitmap(true);
    if (target.width() != oldWidth || target.height() != oldHeight) target.sizeChanged();
    if (redraw) target.refresh();
    return true;
}

bool rotateDegrees(CImageObject& image, int degrees, bool resize, bool redraw) {
    if (!image.runImaging([&](Bitmap& b) { return imaging::rotateDegrees(b, degrees, resize); }, false))
        return false;
    if (redraw) {
        if (resize) image.sizeChanged();
        image.refresh();
    }
    return true;
}

bool rotateFine(CImageObject& image, int hundredths, int flags, imaging::ColorRef fill, bool redraw) {
    if (!image.runImaging([&](Bitmap& b) { return imaging::rotateFine(b, hundredths, flags, fill); }, false))
        return false;
    image.sizeChanged();
    if (redraw) invalidate(image);
    return true;
}

bool resizePicture(CImageObject& image, int width, int height, bool redraw) {
    if (!image.runImaging([&](Bitmap& b) { return imaging::resize(b, width, height); }, false))
        return false;
    image.sizeChanged();
    if (redraw) invalidate(image);
    return true;
}

bool sharpen(CImageObject& image, int amount, bool redraw) {
    return image.runImaging([&](Bitmap& b) { return imaging::sharpen(b, amount); }, redraw);
}

bool contrast(CImageObject& image, int amount, bool redraw) {
    return image.runImaging([&](Bitmap& b) { return imaging::contrast(b, amount); }, redraw);
}

bool brightness(CImageObject& image, int amount, bool redraw) {
    return image.runImaging([&](Bitmap& b) { return imaging::brightness(b, amount); }, redraw);
}

bool printPreparation(CImageObject& image, int option1, int option2, bool redraw) {
    return image.runImaging([&](Bitmap& b) { return imaging::printPreparation(b, option1, option2); }, redraw);
}

GlobalHandle cameraExportBlock(const CImageObject& image) {
    const GlobalHandle block = image.hasBitmap() ? imaging::cameraExportBlock(image.bitmap()) : 0;
    setLastImagingResult(block ? imaging::kSuccess : image.hasBitmap() ? imaging::kErrNoMemory : imaging::kErrNoBitmap);
    return block;
}

}  // namespace quillon
