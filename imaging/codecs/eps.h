// Encapsulated PostScript holding a raster.
//
// PostScript needs an interpreter in general; this reads what can be read
// without one: the raster layout we write ourselves (one Level 2 image
// dictionary with ASCIIHex data, in an Indexed, DeviceGray or DeviceRGB colour
// space), else the TIFF or metafile preview of a DOS EPS binary header, else
// a 1-bit EPSI preview. Other PostScript is refused as a feature we lack.
// Writes 1, 4 and 8 bits as Indexed (8-bit grey ramps as DeviceGray) and 24
// bits as DeviceRGB, one point a pixel.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::eps {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::eps
