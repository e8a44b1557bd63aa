// Truevision Targa.
//
// Reads colour-mapped (8-bit indices, 15/16/24/32-bit map entries), true
// colour (15/16, 24 and 32 bits) and grey (8 bits) pictures, raw or RLE, from
// either origin. RLE packets may cross rows. Colour-map indices are absolute
// (first entry .. first + length); one outside the map makes the file corrupt.
// 16-bit pixels become 15-bit pictures, 32-bit ones 32-bit (alpha dropped).
// Writes uncompressed, bottom-left origin: 8 bits colour-mapped (grey when
// the palette is the grey ramp), 15, 24 and 32 bits true colour, with the
// version 2 footer.
// The format has no signature, so the probe is weak and comes last.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::tga {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::tga
