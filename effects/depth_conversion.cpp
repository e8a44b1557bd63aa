#include "effects/depth_conversion.h"

#include "effects/area_procedure.h"
#include "image/image_effects.h"
#include "image/last_result.h"
#include "imaging/depth.h"
#include "resources/strings.h"

namespace quillon {

bool depthConversionChanges(const CImageObject& image, const DepthChoice& choice) {
    return choice.bits != image.bitsPerPixel() || choice.grey;
}

bool convertDepth(CImageObject& image, const DepthChoice& choice, QString& error) {
    if (choice.grey && !image.greyScale(false)) {
        lastImagingFailed(error);
        return false;
    }
    uint32_t flags = imaging::depth::kFixedPalette;
    if (choice.bits < 15) flags = imaging::depth::kOptimizedPalette | (choice.dither ? imaging::depth::kErrorDiffusion : 0);
    if (!changeColorDepth(image, nullptr, choice.bits, flags, nullptr, 0, false)) {
        setLastImagingResult(1);
        error = loadString(5024);
        return false;
    }
    if (choice.bits == 1) {
        imaging::RgbQuad bw[2];
        bw[1] = {255, 255, 255, 0};
        image.paletteSet(bw, 2, false);
    }
    return true;
}

int depthChoiceFor(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1: case 4: case 8: return bitsPerPixel;
    case 15: case 16: return 16;
    default: return 24;
    }
}

}  // namespace quillon
