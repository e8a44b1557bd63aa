// REGEDIT4 registry export files, the text the Windows 95 registry editor writes:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Enum\Root]
//   @="default value"
//   "Text"="a \"quoted\" C:\\path"
//   "Flags"=hex:01,00,00,00
//   "Count"=dword:00000001
//   "Other"=hex(7):41,00,00
//
// A line ending in a backslash continues on the next one (long hex lists).
// Lines starting with ';' are comments. Deletion entries ("[-KEY]", "Name"=-)
// belong to import scripts, not exports, and are refused.
#pragma once

#include <string>
#include <string_view>

#include "dekla/hive.h"

namespace dekla {

struct ParseError {
  int line = 0;  // 1-based line of the fault
  std::string message;
};

// Fills `hive` (which should be empty) from `text`. On failure returns false
// with the first fault in `error`; `hive` may then hold part of the file.
bool readRegedit4(std::string_view text, Hive& hive, ParseError& error);

// Every key as a section, roots in rootTable() order and each tree depth first
// in enumeration order, values in their stored order, CR LF line ends. A root
// gets a section of its own only when it holds values. Text that a quoted
// string cannot carry (no terminator, embedded NUL, line breaks) is written as
// hex(1) so it reads back unchanged.
std::string writeRegedit4(const Hive& hive);

}  // namespace dekla
