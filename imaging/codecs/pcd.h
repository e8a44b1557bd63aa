// Kodak Photo CD (read only).
//
// Reads the uncompressed images: Base (768 x 512), or Base/4 or Base/16 when
// the file is too short for the larger ones, 4:2:0 YCC turned into RGB by the
// Kodak display transform and clipped. Portrait images (orientation 1 or 3)
// are turned upright. The Huffman-coded 4Base and 16Base are not read.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>

namespace imaging::pcd {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);

}  // namespace imaging::pcd
