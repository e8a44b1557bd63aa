// The JPEG library: JFIF files through libjpeg-turbo, baseline and progressive.
//
// JPEGRead makes a top-down 24-bit picture (blue, green, red) from colour
// files and an 8-bit grey one from greyscale files; CMYK and YCCK files are
// turned into RGB (Adobe files store their inks inverted). JPEGWrite takes
// pictures of any depth: 24 and 32 bits go in as they are, an 8-bit picture
// with a grey ramp palette is written as a greyscale file, anything else
// through its colours. Both return 1 or a negative imaging code.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The bitmap is replaced on success; *progressive (when given) says whether the
// file was progressive. The format code of origin becomes 10.
int JPEGRead(imaging::Bitmap* bitmap, const char* path, int* progressive);
// quality 5 to 100 (else -23); progressive 0 or 1. The file appears complete or not at all.
int JPEGWrite(const imaging::Bitmap* bitmap, const char* path, int quality, int progressive);

namespace jpeg32 {

constexpr int kFormatCode = 10;

// The same over memory, for the imaging library's format table.
bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, imaging::FileInfo& info);
int decode(const uint8_t* data, size_t size, imaging::Bitmap& bitmap, int* progressive);
int read(const uint8_t* data, size_t size, imaging::Bitmap& bitmap);
int encode(const imaging::Bitmap& bitmap, int quality, bool progressive, std::vector<uint8_t>& out);

}  // namespace jpeg32
