// JPEG streams in and out of Picture, over libjpeg-turbo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "orrery/core/picture.h"

namespace orrery {

// Decodes any baseline or progressive JPEG to RGB. Refuses pictures larger
// than maxPixels before allocating. Returns false on a damaged stream,
// including one whose entropy-coded data libjpeg only warns about (corrupt
// or cut short); other warnings, such as stray bytes before a marker, still
// give the picture.
bool decodeJpeg(std::span<const uint8_t> stream, Picture& out, size_t maxPixels = 64u << 20);

struct JpegEncoding {
    int quality = 90;
    int lumaH = 2, lumaV = 2;     // sampling of Y; Cb and Cr are 1 x 1
    bool scanPerComponent = false;  // three sequential scans instead of one interleaved
};

// Encodes with the standard Huffman tables (no optimised coding), which is
// what the camera's marker-less blocks assume.
bool encodeJpeg(const Picture& picture, const JpegEncoding& encoding, std::vector<uint8_t>& out);

}  // namespace orrery
