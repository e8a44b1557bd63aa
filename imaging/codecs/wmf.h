// Windows metafiles holding a device-independent bitmap.
//
// Reads placeable and plain metafiles: the records are walked by their sizes
// and the first bitmap record (StretchDIBits, DIBStretchBlt, DIBBitBlt,
// SetDIBitsToDevice) gives the picture, as its DIB says, without the scaling
// the metafile would apply. Vector-only metafiles and enhanced metafiles are
// refused.
// Writes a placeable metafile (units per inch = the picture's resolution) with
// one StretchDIBits record of an uncompressed DIB at 1, 4, 8, 15, 24 or 32 bits.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::wmf {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::wmf
