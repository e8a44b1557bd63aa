// libFuzzer target for the own GIF reader. A file that reads is written back
// and read again: the second reading must give the same pixels.
#include "image/gif_codec.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Pictures of more than 4 million pixels are only slow, not interesting.
    if (size >= 10 && size_t(data[6] | (data[7] << 8)) * size_t(data[8] | (data[9] << 8)) > (1u << 22))
        return 0;
    imaging::Bitmap picture;
    quillon::GifOptions options;
    if (quillon::gif::read(data, size, picture, options) != 1) return 0;
    if (picture.bitsPerPixel != 8 || !picture.hasPixels()) __builtin_trap();
    std::vector<uint8_t> again;
    if (!quillon::gif::write(picture, options, again)) __builtin_trap();
    imaging::Bitmap back;
    quillon::GifOptions backOptions;
    if (quillon::gif::read(again.data(), again.size(), back, backOptions) != 1) __builtin_trap();
    for (int y = 0; y < picture.height; ++y)
        if (std::memcmp(back.storedRow(y), picture.storedRow(y), size_t(picture.width)) != 0) __builtin_trap();
    return 0;
}
