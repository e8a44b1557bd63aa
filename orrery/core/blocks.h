// Global memory blocks as the library hands them out: pictures as packed
// DIBs and picture blocks as raw bytes. All allocation goes through here so
// the out-of-memory fault of the test set-up can be injected in one place.
#pragma once

#include <cstdint>
#include <span>

#include "gmem/global_memory.h"
#include "orrery/core/picture.h"
#include "orrery/orrery.h"

namespace orrery {

using Status = uint16_t;

// When set, every block allocation of the library fails.
void setAllocationFault(bool fail);

GlobalHandle allocateBlock(std::span<const uint8_t> bytes);

// A 24-bit packed DIB: 40-byte BITMAPINFOHEADER, no palette, rows bottom-up,
// B, G, R, each row padded to 4 bytes. 0 when out of memory.
GlobalHandle pictureToDib(const Picture& picture);

// Reads a packed DIB of 1, 4, 8, 24 or 32 bits (uncompressed). With
// firstRowIsTop the stored rows are taken top row first whatever the sign of
// the height says (the order in which the program hands pictures to send).
bool dibToPicture(std::span<const uint8_t> dib, bool firstRowIsTop, Picture& out);

}  // namespace orrery
