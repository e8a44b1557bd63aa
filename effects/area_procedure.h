// Library tone operations on the work area: the whole picture, or a copy of
// the selection that is pasted back (a picture below 24 bits goes to 24 bits
// for that and back to its depth with an optimised palette afterwards).
#pragma once

#include "image/image_object.h"
#include "image/rect.h"

#include <QString>

namespace quillon {

// In this order: invert when set, contrast when its amount is not 0,
// brightness when its amount is not 0. False with the library's message in
// error when the last library call failed.
bool runAreaProcedure(CImageObject& image, const Rect* selection, bool invert, int contrastAmount,
                      int brightnessAmount, QString& error);

// The library's message for the last imaging result when it is an error.
bool lastImagingFailed(QString& error);

}  // namespace quillon

namespace quillon {

// Brightness and contrast in percent (-100..100) send amounts of seven times
// that to the library: contrast first, then brightness, after the inversion.
inline bool applyBrightnessContrast(CImageObject& image, const Rect* selection, int brightnessPercent,
                                    int contrastPercent, bool invert, QString& error) {
    return runAreaProcedure(image, selection, invert, contrastPercent * 7, brightnessPercent * 7, error);
}

}  // namespace quillon
