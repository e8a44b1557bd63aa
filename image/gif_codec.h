// The program's own GIF reader and writer (GIF87a and GIF89a, first image only).
//
// The reader makes an 8-bit top-down picture of the logical screen's size with
// format code 2. It takes the global colour table as the palette (without one
// the palette stays as it was), or the image's local table when it has one;
// the graphic control extension's transparency; every other extension is
// skipped. Codes: -14 the file cannot be opened, -9 not a GIF (or a
// transparent index past the table, or an unknown block), -7 the data ends
// early, -1 no memory for the picture.
//
// The writer takes pictures of 1, 4 or 8 bits and writes GIF89a with a global
// table of 2^bits entries (more when the transparent index lies past them), a
// graphic control extension, and interlaced rows when the options ask for them.
//
// No Qt here: the fuzz targets build this file with the imaging library alone.
#pragma once

#include "image/gif_options.h"
#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::gif {

constexpr int kFormatCode = 2;

// "GIF" and two digits and a letter.
bool probe(const uint8_t* data, size_t size);
// Width and height of the logical screen; bits 8.
int readInfo(const uint8_t* data, size_t size, imaging::FileInfo& info);

// Reads into the bitmap, which is replaced. On failure the bitmap may hold a
// partly made picture (the caller releases it). Returns 1 or a negative code.
int read(const uint8_t* data, size_t size, imaging::Bitmap& bitmap, GifOptions& options);
int readFile(const std::string& path, imaging::Bitmap& bitmap, GifOptions& options);

// Appends the file's bytes to out; false for a depth other than 1, 4 or 8.
bool write(const imaging::Bitmap& bitmap, const GifOptions& options, std::vector<uint8_t>& out);
// Encodes the whole file, then writes it with imaging::writeWholeFile.
bool writeFile(const std::string& path, const imaging::Bitmap& bitmap, const GifOptions& options);

}  // namespace quillon::gif
