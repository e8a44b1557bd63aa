// The depth conversion: optional grey scale, then the change of depth (an
// optimised palette below 15 bits, with error diffusion when asked; a fixed
// one otherwise); 1 bit ends with a black and white palette.
#pragma once

#include "image/image_object.h"

#include <QString>

namespace quillon {

struct DepthChoice {
    int bits = 24;  // 1, 4, 8, 16 or 24
    bool dither = false;
    bool grey = false;
};

// False when the choice changes nothing (same depth, no grey scale): no undo
// snapshot is taken then.
bool depthConversionChanges(const CImageObject& image, const DepthChoice& choice);
bool convertDepth(CImageObject& image, const DepthChoice& choice, QString& error);

// The dialog's radio button for a picture: 1, 4, 8, 16 or 24.
int depthChoiceFor(int bitsPerPixel);

}  // namespace quillon
