#include "effects/area_procedure.h"

#include "image/error_messages.h"
#include "image/image_effects.h"
#include "image/last_result.h"
#include "imaging/depth.h"

namespace quillon {
namespace {

void runOperations(CImageObject& target, bool invert, int contrastAmount, int brightnessAmount) {
    if (invert) target.invert(false);
    if (contrastAmount != 0) contrast(target, contrastAmount, false);
    if (brightnessAmount != 0) brightness(target, brightnessAmount, false);
}

}  // namespace

bool lastImagingFailed(QString& error) {
    if (lastImagingResult() >= 1) return false;
    error = imagingErrorMessage(lastImagingResult());
    return true;
}

bool runAreaProcedure(CImageObject& image, const Rect* selection, bool invert, int contrastAmount,
                      int brightnessAmount, QString& error) {
    setLastImagingResult(1);
    if (!selection || selection->isEmpty()) {
        runOperations(image, invert, contrastAmount, brightnessAmount);
        return !lastImagingFailed(error);
    }
    const int bits = image.bitsPerPixel();
    const bool widened = bits < 24;
    if (widened && !changeColorDepth(image, nullptr, 24, imaging::depth::kNearest, nullptr, 0, false))
        return !lastImagingFailed(error);
    const Rect& r = *selection;
    std::unique_ptr<CImageObject> copy = image.copyRect(r.left, r.top, r.width(), r.height());
    if (!copy) {
        const int failure = lastImagingResult();
        if (widened) changeColorDepth(image, nullptr, bits, imaging::depth::kNearest, nullptr, 0, false);
        setLastImagingResult(failure);
        return !lastImagingFailed(error);
    }
    runOperations(*copy, invert, contrastAmount, brightnessAmount);
    if (lastImagingFailed(error)) {
        if (widened) changeColorDepth(image, nullptr, bits, imaging::depth::kNearest, nullptr, 0, false);
        return false;
    }
    const bool pasted = image.combine(r.left, r.top, r.width(), r.height(), *copy, 0, 0, 288, false);
    const int pasteResult = lastImagingResult();
    if (widened)
        changeColorDepth(image, nullptr, bits, pasted ? imaging::depth::kOptimizedPalette : imaging::depth::kNearest, nullptr,
                         0, false);
    if (!pasted) setLastImagingResult(pasteResult);
    return !lastImagingFailed(error);
}

}  // namespace quillon
