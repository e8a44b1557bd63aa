// Microsoft Paint (MSP) versions 1 and 2.
//
// Reads version 1 (raw rows) and 2 (a table of coded row lengths, then rows
// of runs and literal stretches), 1 = white. The checksum is not required to
// match. A row whose code runs past the row is corrupt; a row table that
// points past the file is a truncated file.
// Writes version 2 with a correct checksum.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::msp {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::msp
