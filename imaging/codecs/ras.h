// Sun Raster.
//
// Reads types 0 (old), 1 (standard), 2 (RLE) and 3 (RGB order) at 1, 8, 24
// and 32 bits, with or without an RGB colour map. The length field is not
// trusted; RLE runs may cross rows (the row padding is part of the stream).
// 32-bit pixels (XBGR) keep 32 bits. An index past the map is corrupt.
// Writes standard (type 1) files at 1, 8, 24 and 32 bits; indexed ones with
// their colour map.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::ras {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::ras
