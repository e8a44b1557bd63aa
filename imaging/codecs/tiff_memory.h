// libtiff over bytes in memory, with its messages kept quiet: used by the fax
// codecs and for the TIFF previews inside EPS files.
#pragma once

#include "imaging/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

typedef struct tiff TIFF;

namespace imaging::tiffmem {

struct MemoryFile {
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

// Opens the file for libtiff ("r" or "w"); nullptr when libtiff refuses it.
TIFF* open(MemoryFile& file, const char* mode);

// The first picture of a TIFF file as 24 bits, whatever its own layout.
int readInfo(const uint8_t* data, size_t size, int& width, int& height);
int readRgb(const uint8_t* data, size_t size, Bitmap& bitmap);

}  // namespace imaging::tiffmem
