// TIFF through libtiff (first page only).
//
// Reads strips and tiles in every compression libtiff decodes (none,
// PackBits, LZW, Deflate, JPEG, CCITT G3/G4 and more). Bilevel, grey and
// palette pictures of 1, 2, 4 and 8 bits stay indexed (2 bits become 4);
// everything else (RGB, 16-bit samples, CMYK, YCbCr, LAB) goes through
// libtiff's RGBA reader to 24 bits, or 32 when the file has four 8-bit RGB
// samples. Writes uncompressed 1, 4, 8 (grey or palette), 24 and 32 bits
// with the picture's resolution.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::tiff {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::tiff
