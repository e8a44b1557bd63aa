// One fuzz target over every reader of the codec table. The first byte picks
// the codec, so each decoder family gets inputs of its own; the rest is the
// file. A picture that reads is checked and written back by its own writer.
#include "imaging/codec_table.h"
#include "imaging/file_io.h"
#include "imaging/result.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void exercise(const imaging::Codec& codec, const uint8_t* data, size_t size) {
    imaging::FileInfo info;
    const int infoStatus = codec.readInfo ? codec.readInfo(data, size, info) : imaging::kErrFileFormat;
    // Skip huge pictures early: they only measure the allocator.
    if (infoStatus == imaging::kSuccess && int64_t(info.width) * info.height > (int64_t(1) << 22)) return;
    imaging::Bitmap bitmap;
    const int status = codec.read(data, size, bitmap);
    check(status == imaging::kSuccess || status < 0);
    if (status != imaging::kSuccess) return;
    check(bitmap.hasPixels() && bitmap.width > 0 && bitmap.height > 0);
    check(bitmap.paletteCount >= 0 && bitmap.paletteCount <= 256);
    if (codec.write && codec.writesDepth(bitmap.bitsPerPixel)) {
        std::vector<uint8_t> out;
        if (codec.write(bitmap, out) == imaging::kSuccess) {
            imaging::Bitmap again;
            check(codec.read(out.data(), out.size(), again) == imaging::kSuccess);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const auto& table = imaging::codecTable();
    const size_t pick = data[0];
    ++data, --size;
    if (pick < table.size()) {
        if (table[pick].read) exercise(table[pick], data, size);
    } else if (const imaging::Codec* codec = imaging::codecForData(data, size)) {
        if (codec->read) exercise(*codec, data, size);
    }
    return 0;
}
