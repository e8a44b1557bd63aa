// libFuzzer target for what a camera sends as pictures: standard and fine
// picture blocks (lengths, the JPEG they wrap, the decode) and thumbnails.
// The first byte chooses the decoder.
#include "orrery/codec/cam_block.h"
#include "orrery/codec/thumbnail.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::span<const uint8_t> block(data + 1, size - 1);
    orrery::Picture picture;
    switch (data[0] % 3) {
    case 0:
        if (orrery::standardBlockLength(block) > block.size()) return 0;
        orrery::standardBlockToJpeg(block);
        if (orrery::decodeStandardBlock(block, picture) &&
            picture.rgb.size() != size_t(picture.width) * size_t(picture.height) * 3)
            __builtin_trap();
        break;
    case 1:
        if (orrery::fineBlockLength(block) > block.size()) return 0;
        orrery::fineBlockToJpeg(block);
        if (orrery::decodeFineBlock(block, picture) &&
            picture.rgb.size() != size_t(picture.width) * size_t(picture.height) * 3)
            __builtin_trap();
        break;
    default:
        if (orrery::decodeThumbnail(block, picture) &&
            picture.rgb.size() != size_t(picture.width) * size_t(picture.height) * 3)
            __builtin_trap();
        break;
    }
    return 0;
}
