// GEM Image (IMG).
//
// Reads version 1 files of 1 to 8 planes with pattern runs, vertical
// (scanline) repeats, bit strings and solid runs; runs that cross plane or
// row ends are clipped there. The header is skipped by its own length; an
// XIMG extension gives the palette (else 1 plane is black on white and 4
// planes take the standard GEM colours). 2 or 3 planes read as 4 bits,
// 5 to 8 planes as 8 bits.
// Writes 1 bit, one plane, 1 = black, with vertical repeats, solid runs and
// bit strings.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::gem {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::gem
