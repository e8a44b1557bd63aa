// PNG through libpng.
//
// Reads every colour type and depth, interlaced or not: palette files of 1,
// 2, 4 and 8 bits and grey files of up to 8 bits stay indexed (2 bits become
// 4); 16-bit samples are cut to 8; grey with alpha becomes 8-bit grey and
// colour files 24 bits, the alpha channel dropped (the picture record has no
// transparency).
// Writes 1, 4 and 8 bits as palette files and 24 bits as RGB, with the
// resolution in a pHYs chunk.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::png {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::png
