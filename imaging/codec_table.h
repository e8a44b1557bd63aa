// The one table of the library's file formats: format code to codec.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

struct Codec {
    int formatCode;
    const char* name;
    // Does the data look like this format? Strong signatures come first in
    // the table; headerless formats last.
    bool (*probe)(const uint8_t* data, size_t size);
    int (*readInfo)(const uint8_t* data, size_t size, FileInfo& info);
    int (*read)(const uint8_t* data, size_t size, Bitmap& bitmap);
    // The bitmap has the depth the writer was asked for; 0 for read-only formats.
    int (*write)(const Bitmap& bitmap, std::vector<uint8_t>& out);
    // Depths the writer takes as they are; others are converted first.
    bool (*writesDepth)(int bits);
};

// In probing order.
const std::vector<Codec>& codecTable();
const Codec* codecForData(const uint8_t* data, size_t size);
const Codec* codecForCode(int formatCode);

}  // namespace imaging
