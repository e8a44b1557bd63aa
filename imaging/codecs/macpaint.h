// MacPaint.
//
// Reads 576 x 720 bilevel pictures (1 = black) whose 720 rows of 72 bytes are
// one PackBits stream, after the 512-byte header, with or without a
// 128-byte MacBinary prefix. A stream that ends early is an error.
// Writes 1 bit: pictures are padded with white to 576 x 720 (larger ones are
// refused), with a version 0 header.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::macpaint {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::macpaint
