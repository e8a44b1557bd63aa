// WinFax pictures.
//
// WinFax's own layout is not public. We write a small container of our own
// around CCITT G3 data, laid out (little-endian) as:
//   0  "QFX1"          4  u16 header size (32)   6  u16 pages (1)
//   8  u16 width      10  u16 height            12  u16 x dpi   14  u16 y dpi
//  16  u8 coding (0 G3 one-dimensional, 1 G3 two-dimensional, 2 G4)
//  17  u8 bit order (0 first bit in bit 7, 1 in bit 0)
//  18  u16 0          20  u32 data offset       24  u32 data length  28  u32 0
// and read it back. Files of WinFax itself (they start 0B 23 ?? C0 06) are
// read on a best-effort basis: the G3 stream is looked for after the header
// by finding an EOL code from which fax rows of the standard 1728-pixel
// width decode; the rows decoded make the picture.
// Writes 1 bit, one page, G3 one-dimensional.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::fxs {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::fxs
