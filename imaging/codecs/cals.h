// CALS raster, type 1.
//
// Reads the 2048-byte header of 128-byte "keyword: value" records (any order
// and case; rpelcnt gives the size, rdensty the resolution, rorient must be
// 000,270) and the T.6 (Group 4) data after it, 1 = black. Rows the data
// does not reach make the file corrupt.
// Writes 1 bit with the header of our own keywords and Group 4 data.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::cals {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::cals
