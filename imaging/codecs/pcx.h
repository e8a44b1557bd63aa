// ZSoft PCX.
//
// Reads RLE-coded files of 1 plane at 1, 2, 4 and 8 bits, 1 to 4 planes of
// 1 bit (EGA), 3 planes of 8 bits (RGB) and 4 planes of 8 bits (the fourth,
// alpha, is dropped). The coded stream is decoded as one stream, so runs may
// cross planes and rows. Refuses a width wider than the rows it declares.
// Writes 1 bit (one plane), 4 bits (four EGA planes), 8 bits (with the
// 256-colour palette at the end) and 24 bits (three planes).
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::pcx {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::pcx
