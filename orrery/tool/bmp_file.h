// BMP files as a file header in front of a packed DIB.
#pragma once

#include <string>
#include <vector>

#include "gmem/global_memory.h"

namespace orrery_tool {

// Writes header + DIB to a temporary file and renames it over path, so a
// failed write never leaves half a file. Does not free the DIB.
bool writeBmp(const std::string& path, GlobalHandle dib, std::string& error);

// Reads an uncompressed BMP and returns a 24-bit packed DIB with its rows
// top row first, the order in which pictures are handed over for sending.
GlobalHandle readBmpForSending(const std::string& path, std::string& error);

}  // namespace orrery_tool
