// The REGEDIT4 reader and writer: what each value line means, the writer's
// layout, round trips, and a table of broken files with the line at fault.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dekla/regedit4.h"
#include "tests/dekla/fixture.h"

namespace dekla {
namespace {

using Bytes = std::vector<uint8_t>;

const Value* findValue(const Hive& hive, Root root, std::vector<std::string> path, const std::string& name) {
  std::shared_ptr<Key> key;
  const Key* at = &hive.root(root);
  for (const std::string& part : path) {
    key = at->findSubkey(part);
    if (!key) return nullptr;
    at = key.get();
  }
  return at->findValue(name);
}

std::string withCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

TEST(DeklaRegedit4, ReadsEveryKindOfValue) {
  const Hive hive = test::loadFixture("value-kinds.reg");
  Bytes longBytes;
  for (int i = 0; i < 40; ++i) longBytes.push_back(static_cast<uint8_t>(i));
  struct Row {
    Root root;
    std::vector<std::string> path;
    std::string name;
    uint32_t type;
    Bytes data;
  };
  const std::vector<std::string> test = {"Software", "Test"};
  const Row rows[] = {
      {Root::LocalMachine, test, "", 1, {'d', 'e', 'f', 'a', 'u', 'l', 't', 0}},
      {Root::LocalMachine, test, "Quoted", 1, Bytes{'s', 'a', 'y', ' ', '"', 'h', 'i', '"', ' ', 'i', 'n', ' ',
                                                    'C', ':', '\\', 'D', 'O', 'S', 0}},
      {Root::LocalMachine, test, "Empty", 1, {0}},
      {Root::LocalMachine, test, "Flags", 3, {1, 0, 0, 0}},
      {Root::LocalMachine, test, "Long", 3, longBytes},
      {Root::LocalMachine, test, "count", 4, {0x2A, 0, 0, 0}},
      {Root::LocalMachine, test, "Multi", 7, {'a', 0, 'b', 0, 0}},
      {Root::LocalMachine, test, "NoBytes", 3, {}},
      {Root::LocalMachine, test, "Indented", 1, {'x', 0}},
      {Root::LocalMachine, test, "Kanji", 1, {0x8A, 0xBF, 0x8E, 0x9A, 0}},
      {Root::CurrentUser, {"Software", "Tessaly"}, "Short", 3, {0x01, 0x0A}},
      {Root::LocalMachine, {}, "RootValue", 4, {1, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    const Value* value = findValue(hive, row.root, row.path, row.name);
    ASSERT_NE(value, nullptr) << row.name;
    EXPECT_EQ(value->type, row.type) << row.name;
    EXPECT_EQ(value->data, row.data) << row.name;
  }
}

TEST(DeklaRegedit4, WritesTheExportLayout) {
  const std::string expected =
      "REGEDIT4\n"
      "\n"
      "[HKEY_LOCAL_MACHINE]\n"
      "\"RootValue\"=dword:00000001\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\Software]\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Test]\n"
      "@=\"default\"\n"
      "\"Quoted\"=\"say \\\"hi\\\" in C:\\\\DOS\"\n"
      "\"Empty\"=\"\"\n"
      "\"Flags\"=hex:01,00,00,00\n"
      "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
      "  15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\n"
      "\"Count\"=dword:0000002a\n"
      "\"Multi\"=hex(7):61,00,62,00,00\n"
      "\"NoBytes\"=hex:\n"
      "\"Indented\"=\"x\"\n"
      "\"Kanji\"=\"\x8A\xBF\x8E\x9A\"\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software]\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\Tessaly]\n"
      "\"Short\"=hex:01,0a\n"
      "\n";
  const std::string written = writeRegedit4(test::loadFixture("value-kinds.reg"));
  EXPECT_EQ(written, withCrLf(expected));

  // What the writer writes reads back to the same text.
  Hive again;
  ParseError error;
  ASSERT_TRUE(readRegedit4(written, again, error)) << error.line << ": " << error.message;
  EXPECT_EQ(writeRegedit4(again), written);
}

TEST(DeklaRegedit4, CrLfAndLfFilesReadAlike) {
  const std::string text = test::readText(test::fixturePath("value-kinds.reg"));
  Hive crlf;
  ParseError error;
  ASSERT_TRUE(readRegedit4(withCrLf(text), crlf, error)) << error.line << ": " << error.message;
  EXPECT_EQ(writeRegedit4(crlf), test::canonicalFixture("value-kinds.reg"));
}

TEST(DeklaRegedit4, KeepsValuesAQuotedStringCannotCarry) {
  struct Row {
    const char* what;
    uint32_t type;
    Bytes data;
    const char* line;
  };
  const Row rows[] = {
      {"no terminator", 1, {'a', 'b'}, "\"V\"=hex(1):61,62\r\n"},
      {"embedded NUL", 1, {'a', 0, 'b', 0}, "\"V\"=hex(1):61,00,62,00\r\n"},
      {"line break", 1, {'a', '\n', 0}, "\"V\"=hex(1):61,0a,00\r\n"},
      {"empty", 1, {}, "\"V\"=hex(1):\r\n"},
      {"short dword", 4, {1, 2, 3}, "\"V\"=hex(4):01,02,03\r\n"},
      {"none", 0, {9}, "\"V\"=hex(0):09\r\n"},
      {"Shift-JIS lead byte last", 1, {'a', 0x83, 0}, "\"V\"=hex(1):61,83,00\r\n"},
  };
  for (const Row& row : rows) {
    Hive hive;
    hive.root(Root::LocalMachine).addSubkey("K")->setValue("V", row.type, row.data);
    const std::string text = writeRegedit4(hive);
    EXPECT_NE(text.find(row.line), std::string::npos) << row.what << "\n" << text;

    Hive back;
    ParseError error;
    ASSERT_TRUE(readRegedit4(text, back, error)) << row.what << ": " << error.message;
    const Value* value = findValue(back, Root::LocalMachine, {"K"}, "V");
    ASSERT_NE(value, nullptr) << row.what;
    EXPECT_EQ(value->type, row.type) << row.what;
    EXPECT_EQ(value->data, row.data) << row.what;
  }
}

TEST(DeklaRegedit4, BrokenFilesNameTheirLine) {
  const std::string hklm = "[HKEY_LOCAL_MACHINE\\K]\n";
  const std::string name255(255, 'n'), name256(256, 'n');
  std::string deep = "[HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 513; ++i) deep += "\\k";
  deep += "]\n";
  struct Row {
    const char* what;
    std::string text;
    int line;
    const char* message;
  };
  const Row rows[] = {
      {"empty file", "", 1, "first line must be REGEDIT4"},
      {"other header", "Windows Registry Editor Version 5.00\n", 1, "first line must be REGEDIT4"},
      {"unterminated section", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum\n", 3, "missing ']'"},
      {"unknown root", "REGEDIT4\n[HKEY_NOWHERE\\Enum]\n", 2, "unknown root key 'HKEY_NOWHERE'"},
      {"empty key name", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Enum\\\\PCI]\n", 2, "empty key name"},
      {"trailing separator", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Enum\\]\n", 2, "empty key name"},
      {"overlong key name", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + name256 + "]\n", 2, "longer than 255"},
      {"key too deep", "REGEDIT4\n" + deep, 2, "deeper than 512"},
      {"key deletion", "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Enum]\n", 2, "not supported"},
      {"value before a section", "REGEDIT4\n\"A\"=\"b\"\n", 2, "outside any section"},
      {"overlong value name", "REGEDIT4\n" + hklm + "\"" + name256 + "\"=\"b\"\n", 3, "longer than 255"},
      {"unterminated name", "REGEDIT4\n" + hklm + "\"A=\"b\n", 3, "'=' after the value name"},
      {"name never closed", "REGEDIT4\n" + hklm + "\"Abc\n", 3, "unterminated value name"},
      {"missing equals", "REGEDIT4\n" + hklm + "\"A\" \"b\"\n", 3, "'=' after the value name"},
      {"unterminated string", "REGEDIT4\n" + hklm + "\"A\"=\"abc\n", 3, "unterminated string"},
      {"bad escape", "REGEDIT4\n" + hklm + "\"A\"=\"a\\nb\"\n", 3, "bad escape '\\n'"},
      {"text after string", "REGEDIT4\n" + hklm + "\"A\"=\"a\" junk\n", 3, "after the closing quote"},
      {"bad hex byte", "REGEDIT4\n" + hklm + "\"A\"=hex:01,zz,03\n", 3, "bad hex byte 'zz'"},
      {"hex byte too long", "REGEDIT4\n" + hklm + "\"A\"=hex:01,123\n", 3, "bad hex byte '123'"},
      {"empty hex item", "REGEDIT4\n" + hklm + "\"A\"=hex:01,,03\n", 3, "empty item"},
      {"bad hex type", "REGEDIT4\n" + hklm + "\"A\"=hex(zz):01\n", 3, "bad value type"},
      {"hex type unclosed", "REGEDIT4\n" + hklm + "\"A\"=hex(2\n", 3, "bad value type"},
      {"bad dword", "REGEDIT4\n" + hklm + "\"A\"=dword:0000000g\n", 3, "bad dword"},
      {"dword too long", "REGEDIT4\n" + hklm + "\"A\"=dword:123456789\n", 3, "1 to 8 hex digits"},
      {"empty dword", "REGEDIT4\n" + hklm + "\"A\"=dword:\n", 3, "1 to 8 hex digits"},
      {"value deletion", "REGEDIT4\n" + hklm + "\"A\"=-\n", 3, "not supported"},
      {"unknown data", "REGEDIT4\n" + hklm + "\"A\"=str:abc\n", 3, "unrecognised value data"},
      {"unknown line", "REGEDIT4\n" + hklm + "garbage\n", 3, "unrecognised line"},
      {"bad byte on a continued line", "REGEDIT4\n" + hklm + "\"A\"=hex:01,02,\\\n  03,\\\n  0x\n", 5,
       "bad hex byte '0x'"},
      {"continuation at the end", "REGEDIT4\n" + hklm + "\"A\"=hex:01,\\\n", 3, "past the end of the file"},
      {"control bytes", "REGEDIT4\n" + hklm + std::string("\x01\x02", 2) + "\n", 3, "unrecognised line '?" "?'"},
  };
  for (const Row& row : rows) {
    Hive hive;
    ParseError error;
    EXPECT_FALSE(readRegedit4(row.text, hive, error)) << row.what;
    EXPECT_EQ(error.line, row.line) << row.what << ": " << error.message;
    EXPECT_NE(error.message.find(row.message), std::string::npos) << row.what << ": " << error.message;
  }

  // The limits themselves are allowed.
  Hive hive;
  ParseError error;
  EXPECT_TRUE(readRegedit4("REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + name255 + "]\n\"" + name255 + "\"=\"\"\n", hive, error))
      << error.message;
}

// In Shift-JIS the second byte of a character may be 0x5C; it belongs to the
// character in strings, value names and key paths, and is written back as it
// came. In a single-byte code page the same byte is a backslash.
TEST(DeklaRegedit4, ShiftJisSecondByteIsNotABackslash) {
  struct Row {
    const char* what;
    CodePage codePage;
    std::string line;  // below [HKEY_LOCAL_MACHINE\K]
    std::string name;
    Bytes data;
  };
  const Row rows[] = {
      {"so", CodePage::ShiftJis, "\"S\"=\"\x83\x5C\x83\x74\x83\x67\"", "S", {0x83, 0x5C, 0x83, 0x74, 0x83, 0x67, 0}},
      {"last before the quote", CodePage::ShiftJis, "\"S\"=\"\x95\x5C\"", "S", {0x95, 0x5C, 0}},
      {"beside escaped backslashes", CodePage::ShiftJis, "\"S\"=\"C:\\\\\x95\x5C\\\\x\"", "S",
       {'C', ':', '\\', 0x95, 0x5C, '\\', 'x', 0}},
      {"in a value name", CodePage::ShiftJis, "\"\x83\x5C\"=\"a\"", "\x83\x5C", {'a', 0}},
      {"single byte: an escaped backslash", CodePage::SingleByte, "\"S\"=\"\x83\\\\\"", "S", {0x83, 0x5C, 0}},
  };
  for (const Row& row : rows) {
    const std::string text = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n" + row.line + "\r\n\r\n";
    Hive hive;
    ParseError error;
    ASSERT_TRUE(readRegedit4(text, hive, error, row.codePage)) << row.what << ": " << error.message;
    const Value* value = findValue(hive, Root::LocalMachine, {"K"}, row.name);
    ASSERT_NE(value, nullptr) << row.what;
    EXPECT_EQ(value->data, row.data) << row.what;
    EXPECT_EQ(writeRegedit4(hive, row.codePage), text) << row.what;
  }

  // The same bytes read as a single-byte page: 0x5C escapes the quote.
  Hive hive;
  ParseError error;
  EXPECT_FALSE(readRegedit4("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=\"\x95\x5C\"\n", hive, error,
                            CodePage::SingleByte));

  // Key paths split only at real separators; names differing in a second
  // byte that happens to be a letter (ア 83 41, ヂ 83 61) are two names.
  Hive keys;
  ASSERT_TRUE(readRegedit4("REGEDIT4\n[HKEY_LOCAL_MACHINE\\\x95\x5C\\\x83\x41]\n[HKEY_LOCAL_MACHINE\\\x95\x5C\\\x83\x61]\n",
                           keys, error))
      << error.message;
  const auto table = keys.root(Root::LocalMachine).findSubkey("\x95\x5C");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->subkeys().size(), 2u);
}

// Import scripts remove keys and values; exports may not.
TEST(DeklaRegedit4, ScriptsRemoveKeysAndValues) {
  Hive hive;
  ParseError error;
  ASSERT_TRUE(readRegedit4("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\B\\C]\n\"X\"=\"1\"\n"
                           "[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"v\"\n\"W\"=\"w\"\n",
                           hive, error));
  const std::string script =
      "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\A\\B]\r\n\r\n[-HKEY_LOCAL_MACHINE\\Nowhere\\X]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\A]\r\n\"V\"=-\r\n\"N\"=dword:00000002\r\n\r\n";
  ASSERT_TRUE(applyRegedit4(script, hive, error)) << error.line << ": " << error.message;
  EXPECT_EQ(writeRegedit4(hive), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"W\"=\"w\"\r\n\"N\"=dword:00000002\r\n\r\n");

  Hive fresh;
  EXPECT_FALSE(readRegedit4(script, fresh, error));
  EXPECT_NE(error.message.find("not supported"), std::string::npos) << error.message;
  EXPECT_FALSE(applyRegedit4("REGEDIT4\n[-HKEY_LOCAL_MACHINE]\n", fresh, error));
}

}  // namespace
}  // namespace dekla
