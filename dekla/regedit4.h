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
// belong to import scripts, not exports: the export reader refuses them, the
// script reader applies them.
//
// The text is in the ANSI code page of the machine that wrote it. In Shift-JIS
// the second byte of a double-byte character may be 0x5C, the backslash's
// code; it is part of the character, never an escape or a path separator.
#pragma once

#include <string>
#include <string_view>

#include "dekla/hive.h"

namespace dekla {

struct ParseError {
  int line = 0;  // 1-based line of the fault
  std::string message;
};

enum class CodePage { ShiftJis, SingleByte };

inline bool isShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Fills `hive` (which should be empty) from `text`. On failure returns false
// with the first fault in `error`; `hive` may then hold part of the file.
bool readRegedit4(std::string_view text, Hive& hive, ParseError& error, CodePage codePage = CodePage::ShiftJis);

// Applies an import script to `hive` as the registry editor imports it:
// sections create keys and set values, "[-KEY]" removes a key with everything
// below it (a key that is not there is no fault), "Name"=- removes a value.
bool applyRegedit4(std::string_view text, Hive& hive, ParseError& error, CodePage codePage = CodePage::ShiftJis);

// Every key as a section, roots in rootTable() order and each tree depth first
// in enumeration order, values in their stored order, CR LF line ends. A root
// gets a section of its own only when it holds values. Text that a quoted
// string cannot carry (no terminator, embedded NUL, line breaks) is written as
// hex(1) so it reads back unchanged.
std::string writeRegedit4(const Hive& hive, CodePage codePage = CodePage::ShiftJis);

// The import script that turns `before` into `after`: "[-KEY]" for each key
// that went, a section for each key that came (with all its values) and for
// each key whose values changed (with those values, "Name"=- for one that
// went). Roots and subkeys in the export's order; CR LF line ends.
std::string writeRegedit4Patch(const Hive& before, const Hive& after, CodePage codePage = CodePage::ShiftJis);

}  // namespace dekla
