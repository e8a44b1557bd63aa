// libFuzzer target for the REGEDIT4 reader: any bytes must parse or fail with
// a line number inside the input, and what parses must write and read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dekla/regedit4.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  dekla::Hive hive;
  dekla::ParseError error;
  if (!dekla::readRegedit4(text, hive, error)) {
    if (error.line < 1 || error.message.empty()) std::abort();
    return 0;
  }
  const std::string written = dekla::writeRegedit4(hive);
  dekla::Hive again;
  if (!dekla::readRegedit4(written, again, error) || dekla::writeRegedit4(again) != written) std::abort();
  return 0;
}
