// libFuzzer target for the BMP reader. A file that reads is written back and
// read again: size, depth and pixels must survive.
#include "imaging/codecs/bmp.h"
#include "imaging/pixels.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    imaging::bmp::Info info;
    if (imaging::bmp::readInfo(data, size, info) == 1 && int64_t(info.width) * info.height > (1 << 22))
        return 0;
    imaging::Bitmap picture;
    if (imaging::bmp::read(data, size, picture) != 1) return 0;
    if (!picture.hasPixels() || picture.byteCount() < size_t(picture.height) * ((size_t(picture.width) + 7) / 8))
        __builtin_trap();
    std::vector<uint8_t> again;
    if (imaging::bmp::write(picture, again) != 1) return 0;  // 15- and 16-bit pictures are not written
    imaging::Bitmap back;
    if (imaging::bmp::read(again.data(), again.size(), back) != 1) __builtin_trap();
    if (back.width != picture.width || back.height != picture.height) __builtin_trap();
    const auto row = [](const imaging::Bitmap& b, int y) { return b.storedRow(b.isBottomUp() ? b.height - 1 - y : y); };
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (!(imaging::readPixel(back, row(back, y), x) == imaging::readPixel(picture, row(picture, y), x)))
                __builtin_trap();
    return 0;
}
