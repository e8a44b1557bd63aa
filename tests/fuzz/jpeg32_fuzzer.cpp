// libFuzzer target for JPEG32's reader over libjpeg-turbo: our error
// handling around the library, the header checks and the row copy.
#include "imaging/bitmap.h"
#include "imaging/file_io.h"
#include "jpeg32/jpeg32.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    imaging::FileInfo info;
    if (jpeg32::readInfo(data, size, info) != 1) return 0;
    if (int64_t(info.width) * info.height > (1 << 22)) return 0;  // keep each run short
    imaging::Bitmap picture;
    int progressive = 0;
    if (jpeg32::decode(data, size, picture, &progressive) == 1 &&
        (picture.width != info.width || picture.height != info.height || !picture.hasPixels()))
        __builtin_trap();
    return 0;
}
