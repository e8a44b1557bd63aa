// WordPerfect Graphics, version 1 bitmaps.
//
// Reads the first bitmap record (type 1 or 2) of a WPG1 file at 1, 2, 4 or 8
// bits with its colour map record. A run past its row, or a row repeat
// before the first row or in mid-row is corrupt. Without a colour map, 1 bit
// is black and white and 2/4 bits take the VGA colours. WPG2 and encrypted
// files are refused.
// Writes 1, 4 and 8 bits: start, colour map, one bitmap record, end.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::wpg {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::wpg
