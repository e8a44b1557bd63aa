// IBM IOCA images, bare or inside a MO:DCA document.
//
// Reads the structured fields of a MO:DCA document (image size and resolution
// from the IDD, the IOCA segment joined from every IPD, unknown fields
// skipped by their lengths) or a bare IOCA segment, then the segment's
// parameters: size, encoding, one bit per element, and the image data blocks.
// Decodes uncompressed data and CCITT G3 (MH, MR) and G4 (MMR) through
// libtiff; IBM MMR and JPEG are refused as unknown compressions.
// Writes 1 bit as a one-page MO:DCA document with a G3 one-dimensional IOCA
// image (rows starting with EOL codes), the kind format code 71 names.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::ioca {

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, FileInfo& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
bool writesDepth(int bits);

}  // namespace imaging::ioca
