// CCITT fax coding (T.4 Group 3 one- and two-dimensional, T.6 Group 4) over
// libtiff's codecs, for the fax-based formats (CALS, IOCA, WinFax).
// Rows are packed most significant bit first with 1 = black, (width+7)/8
// bytes each, as the fax codes define them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::fax {

enum class Scheme { kG3OneD, kG3TwoD, kG4 };

// Appends the coded rows to out. G3 rows start with an EOL; no RTC is added.
int encode(Scheme scheme, int width, int height, const uint8_t* rows, std::vector<uint8_t>& out);

// Decodes up to height rows into rows (resized to height rows, white where
// nothing was decoded); rowsDecoded says how many came out whole before the
// data ended or broke. lsbFirst reads bytes with the first bit in bit 0.
// Returns kSuccess when at least one row came out, else kErrCorrupt.
int decode(Scheme scheme, const uint8_t* data, size_t size, int width, int height, bool lsbFirst,
           std::vector<uint8_t>& rows, int& rowsDecoded);

}  // namespace imaging::fax
