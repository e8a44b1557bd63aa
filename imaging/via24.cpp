#include "imaging/via24.h"

#include "imaging/depth.h"
#include "imaging/result.h"

namespace imaging {

bool isDirectColour(const Bitmap& b) { return b.bitsPerPixel == 24 || b.bitsPerPixel == 32; }

int toDirectColour(const Bitmap& source, Bitmap& work) {
    return changeColorDepth(work, source, 24, depth::kNearest);
}

int backToDepth(Bitmap& target, const Bitmap& work, int bits) {
    if (bits > 8) return changeColorDepth(target, work, bits, depth::kNearest);
    // Two colours cannot show a soft edge without diffusion; 16 and 256 chosen
    // colours can, and diffusion noise would undo a blur.
    if (bits == 1) return changeColorDepth(target, work, 1, depth::kErrorDiffusion);
    return changeColorDepth(target, work, bits, depth::kOptimizedPalette);
}

}  // namespace imaging
