// Macintosh PICT, the bitmap and pixmap opcodes.
//
// Reads version 1 and 2 pictures, with or without the 512-byte file prefix:
// BitsRect, BitsRgn, PackBitsRect, PackBitsRgn (plain bitmaps, indexed pixmaps
// of 1, 2, 4 and 8 bits) and DirectBitsRect, DirectBitsRgn (16 and 32 bits,
// pack types 1 to 4). The picture is the frame; each bitmap is placed at its
// destination without scaling. Drawing opcodes are stepped over by their
// lengths; an unknown one ends the picture. QuickTime pictures are refused.
// Writes version 2: PackBitsRect for 1, 4 and 8 bits, DirectBitsRect with
// one PackBits plane per colour for 24 bits.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::pict {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::pict
