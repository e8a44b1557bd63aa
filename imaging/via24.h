// Effects that compute new colours (resize, blur, sharpen) work on 24 or 32
// bits. Pictures of other depths go to 24 bits and come back: 15 and 16 bits
// exactly as they were for unchanged pixels, 4 and 8 bits with an optimised
// palette, 1 bit in black and white with error diffusion.
#pragma once

#include "imaging/bitmap.h"

namespace imaging {

bool isDirectColour(const Bitmap& b);
// Runs effect(Bitmap&) -> Result on the picture itself at 24 or 32 bits, or on
// a 24-bit copy that then replaces the picture at its own depth. The picture
// is left as it was when any step fails.
template <typename Effect>
int throughDirectColour(Bitmap& bitmap, Effect&& effect);

int toDirectColour(const Bitmap& source, Bitmap& work);
int backToDepth(Bitmap& target, const Bitmap& work, int bits);

template <typename Effect>
int throughDirectColour(Bitmap& bitmap, Effect&& effect) {
    if (isDirectColour(bitmap)) return effect(bitmap);
    Bitmap work;
    int status = toDirectColour(bitmap, work);
    if (status == 1) status = effect(work);
    if (status == 1) status = backToDepth(bitmap, work, bitmap.bitsPerPixel);
    return status;
}

}  // namespace imaging
