// Adobe Photoshop (PSD), the flat composite only.
//
// Reads version 1 files, raw or PackBits (the row-count table is only used
// to step over rows; every row is bounded by its width), in Bitmap (1 = black),
// Grey, Indexed, RGB and CMYK modes at 8 bits (16-bit samples keep their high
// byte; Bitmap is 1 bit). Extra channels (alpha) are skipped. Layers,
// masks and resources other than the resolution are skipped.
// Writes PackBits files: 1 bit as Bitmap, 8 bits as Indexed (Grey for the grey
// ramp) and 24 bits as RGB.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::psd {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::psd
