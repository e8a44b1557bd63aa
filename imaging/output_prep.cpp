#include "imaging/output_prep.h"

#include "imaging/codecs/bmp.h"
#include "imaging/depth.h"
#include "imaging/result.h"

#include <cstring>
#include <vector>

namespace imaging {

int printPreparation(Bitmap& bitmap, int option1, int option2) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (option1 != 0 || option2 != 0) return kErrBadParameter;
    return changeColorDepth(bitmap, bitmap, 1, depth::kErrorDiffusion);
}

GlobalHandle cameraExportBlock(const Bitmap& bitmap) {
    if (!bitmap.hasPixels()) return 0;
    std::vector<uint8_t> bytes;
    if (bitmap.bitsPerPixel == 24) {
        if (bmp::writeDib(bitmap, bytes, false) != kSuccess) return 0;
    } else {
        Bitmap full;
        if (changeColorDepth(full, bitmap, 24, depth::kNearest) != kSuccess) return 0;
        if (bmp::writeDib(full, bytes, false) != kSuccess) return 0;
    }
    const GlobalHandle block = gmemAlloc(bytes.size());
    if (!block) return 0;
    std::memcpy(gmemLock(block), bytes.data(), bytes.size());
    gmemUnlock(block);
    return block;
}

}  // namespace imaging
