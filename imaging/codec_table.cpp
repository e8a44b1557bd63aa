#include "imaging/codec_table.h"

#include "imaging/codecs/bmp.h"
#include "imaging/result.h"

namespace imaging {
namespace {

int bmpInfo(const uint8_t* data, size_t size, FileInfo& info) {
    bmp::Info bmpInfo;
    const int status = bmp::readInfo(data, size, bmpInfo);
    if (status != kSuccess) return status;
    info.width = bmpInfo.width;
    info.height = bmpInfo.height;
    info.bits = bmpInfo.bits;
    info.xResolution = bmpInfo.xResolution;
    info.yResolution = bmpInfo.yResolution;
    return kSuccess;
}

bool bmpWritesDepth(int bits) { return bits != 15 && bits != 16 ? isValidDepth(bits) : false; }

}  // namespace

const std::vector<Codec>& codecTable() {
    static const std::vector<Codec> table = {
        {6, "BMP", bmp::probe, bmpInfo, bmp::read, bmp::write, bmpWritesDepth},
    };
    return table;
}

const Codec* codecForData(const uint8_t* data, size_t size) {
    for (const Codec& codec : codecTable())
        if (codec.probe && codec.probe(data, size)) return &codec;
    return nullptr;
}

const Codec* codecForCode(int formatCode) {
    for (const Codec& codec : codecTable())
        if (codec.formatCode == formatCode) return &codec;
    return nullptr;
}

}  // namespace imaging
