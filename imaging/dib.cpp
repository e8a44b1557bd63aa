// Packed DIBs in global memory blocks, for the clipboard and the capture library.
#include "imaging/codecs/bmp.h"
#include "imaging/imaging.h"

#include <cstring>
#include <vector>

namespace imaging {

GlobalHandle toPackedDib(const Bitmap& bitmap) {
    std::vector<uint8_t> bytes;
    if (bmp::writeDib(bitmap, bytes, true) != kSuccess) return 0;
    const GlobalHandle block = gmemAlloc(bytes.size());
    if (!block) return 0;
    std::memcpy(gmemLock(block), bytes.data(), bytes.size());
    gmemUnlock(block);
    return block;
}

int fromPackedDibBytes(Bitmap& bitmap, const uint8_t* data, size_t size) {
    if (!data || size == 0) return kErrBadParameter;
    return bmp::readDib(data, size, 0, bitmap);
}

int fromPackedDib(Bitmap& bitmap, GlobalHandle block) {
    const size_t size = gmemSize(block);
    if (size == 0) return kErrBadParameter;
    const auto* data = static_cast<const uint8_t*>(gmemLock(block));
    const int status = fromPackedDibBytes(bitmap, data, size);
    gmemUnlock(block);
    return status;
}

}  // namespace imaging
