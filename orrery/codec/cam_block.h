// The camera's picture blocks: JPEG streams with their markers stripped.
//
// Standard block (480 x 240, luma sampled 3 x 2, three single-component scans):
//   0  2   unknown (we write 0)
//   2  2   big-endian length of the Y scan
//   4  2   big-endian length of the Cb scan
//   6  2   big-endian length of the Cr scan
//   8  64  quantisation table 0 (luma), zig-zag order
//   72 64  quantisation table 1 (chroma)
//   136    Y scan, Cb scan, Cr scan (entropy-coded bytes, standard Huffman tables)
// A standard block as stored and sent is padded to 21120 bytes.
//
// Fine block (640 x 480, 4:2:0, one interleaved scan):
//   0  4   unknown (we write 0)
//   4  4   big-endian length of the scan
//   8  128 the two quantisation tables, then the scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "orrery/core/picture.h"

namespace orrery {

constexpr int kStandardWidth = 480, kStandardHeight = 240;
constexpr int kFineWidth = 640, kFineHeight = 480;
constexpr size_t kBlockHeaderBytes = 136;

// Bytes the block's header accounts for, or 0 when the header does not fit the data.
size_t standardBlockLength(std::span<const uint8_t> block);
size_t fineBlockLength(std::span<const uint8_t> block);

// Rebuild a baseline JFIF stream from a block; empty when the block is malformed.
std::vector<uint8_t> standardBlockToJpeg(std::span<const uint8_t> block);
std::vector<uint8_t> fineBlockToJpeg(std::span<const uint8_t> block);

// Strip a JPEG stream of the matching layout down to a block (unpadded).
// False when the stream is not laid out as the camera expects.
bool jpegToStandardBlock(std::span<const uint8_t> jpeg, std::vector<uint8_t>& block);
bool jpegToFineBlock(std::span<const uint8_t> jpeg, std::vector<uint8_t>& block);

// The picture in its native size (480 x 240 or 640 x 480).
bool decodeStandardBlock(std::span<const uint8_t> block, Picture& out);
bool decodeFineBlock(std::span<const uint8_t> block, Picture& out);

// Encode a picture of any size: standard blocks are made from a 480 x 240
// resample at the best quality that fits and padded to exactly 21120 bytes;
// fine blocks from 640 x 480 at quality 90.
bool encodeStandardBlock(const Picture& picture, std::vector<uint8_t>& block);
bool encodeFineBlock(const Picture& picture, std::vector<uint8_t>& block);

}  // namespace orrery
