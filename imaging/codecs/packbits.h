// PackBits, the run-length code of MacPaint, PICT, PSD and TIFF 32773.
// A control byte n (signed): 0..127 copies the next n+1 bytes; -1..-127
// repeats the next byte 1-n times; -128 does nothing.
#pragma once

#include "imaging/byte_reader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::packbits {

// Appends the code for n bytes.
void encode(const uint8_t* data, size_t n, std::vector<uint8_t>& out);

// Decodes until `size` bytes are out or the input ends. Output past `size`
// is dropped (a run crossing the end is clipped). Returns the bytes made;
// fewer than size means the input ran out. overflow, when given, is set when
// a run or literal went past `size`.
size_t decode(ByteReader& in, uint8_t* out, size_t size, bool* overflow = nullptr);

// Decodes exactly one coded block of `codedBytes` into out (size bytes); the
// reader ends up right after the block whatever the data says.
size_t decodeBlock(ByteReader& in, size_t codedBytes, uint8_t* out, size_t size,
                   bool* overflow = nullptr);

}  // namespace imaging::packbits
