#include "dekla/regedit4.h"

#include <cstdio>
#include <vector>

namespace dekla {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && sameName(s.substr(0, prefix.size()), prefix);
}

// Shows a piece of bad input in a message, short and printable.
std::string quoteForMessage(std::string_view s) {
  std::string out = "'";
  for (char c : s.substr(0, 20)) out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
  if (s.size() > 20) out += "...";
  return out + "'";
}

// One logical line: physical lines joined at their trailing backslashes, with
// the offset where each physical line starts so a fault maps back to its line.
struct LogicalLine {
  std::string text;
  std::vector<std::pair<std::size_t, int>> starts;  // (offset in text, line number)

  int lineAt(std::size_t offset) const {
    int line = starts.front().second;
    for (const auto& [start, number] : starts)
      if (start <= offset) line = number;
    return line;
  }
};

// Splits a key path at its separators, stepping over double-byte characters.
std::vector<std::string_view> splitPath(std::string_view path, CodePage codePage) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (codePage == CodePage::ShiftJis && isShiftJisLead(c) && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\') {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(path.substr(start));
  return parts;
}

enum class Mode { Export, Script };

class Reader {
 public:
  Reader(Hive& hive, ParseError& error, CodePage codePage, Mode mode)
      : hive_(hive), error_(error), codePage_(codePage), mode_(mode) {}

  bool run(std::string_view text) {
    std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty() || trim(lines[0]) != "REGEDIT4")
      return failAt(1, "not a REGEDIT4 file: the first line must be REGEDIT4");

    for (std::size_t i = 1; i < lines.size(); ++i) {
      LogicalLine line;
      line.starts.push_back({0, static_cast<int>(i + 1)});
      std::string_view part = trim(lines[i]);
      // Comments and section headers never continue.
      while (!part.empty() && part.back() == '\\' && part.front() != ';' && part.front() != '[') {
        part.remove_suffix(1);
        line.text += part;
        if (++i == lines.size()) return failAt(static_cast<int>(i), "the last line continues past the end of the file");
        line.starts.push_back({line.text.size(), static_cast<int>(i + 1)});
        part = trim(lines[i]);
      }
      line.text += part;
      if (!parseLine(line)) return false;
    }
    return true;
  }

 private:
  static std::vector<std::string_view> splitLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
      std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.push_back(line);
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
    return lines;
  }

  bool failAt(int line, std::string message) {
    error_.line = line;
    error_.message = std::move(message);
    return false;
  }

  bool fail(std::size_t offset, std::string message) { return failAt(line_->lineAt(offset), std::move(message)); }

  bool parseLine(const LogicalLine& line) {
    line_ = &line;
    const std::string_view s = line.text;
    if (s.empty() || s.front() == ';') return true;
    if (s.front() == '[') return parseSection(s);
    if (s.front() == '"' || s.front() == '@') return parseValue(s);
    return fail(0, "unrecognised line " + quoteForMessage(s));
  }

  bool parseSection(std::string_view s) {
    if (s.size() < 2 || s.back() != ']') return fail(0, "unterminated section header: missing ']'");
    std::string_view path = s.substr(1, s.size() - 2);
    const bool removal = !path.empty() && path.front() == '-';
    if (removal) {
      if (mode_ == Mode::Export) return fail(0, "key deletion entries ([-...]) are not supported");
      path.remove_prefix(1);
    }

    const std::vector<std::string_view> parts = splitPath(path, codePage_);
    const std::optional<Root> root = rootByName(parts[0]);
    if (!root) return fail(0, "unknown root key " + quoteForMessage(parts[0]));
    if (parts.size() - 1 > kMaxKeyDepth) return fail(0, "key path deeper than 512 levels");
    for (std::size_t i = 1; i < parts.size(); ++i) {
      if (parts[i].empty()) return fail(0, "empty key name in section header");
      if (parts[i].size() > kMaxNameLength) return fail(0, "key name longer than 255 characters");
    }
    if (removal) {
      if (parts.size() == 1) return fail(0, "a root key cannot be removed");
      std::shared_ptr<Key> parent = hive_.rootPtr(*root);
      for (std::size_t i = 1; parent && i + 1 < parts.size(); ++i) parent = parent->findSubkey(parts[i]);
      if (parent) parent->removeSubkey(parts.back());
      current_.reset();  // values may not follow a removal
      return true;
    }

    std::shared_ptr<Key> key = hive_.rootPtr(*root);
    for (std::size_t i = 1; i < parts.size(); ++i) key = key->addSubkey(parts[i]);
    current_ = std::move(key);
    return true;
  }

  // Reads a quoted string starting at s[pos] == '"'; leaves pos after the closing quote.
  bool parseQuoted(std::string_view s, std::size_t& pos, std::string& out, const char* what) {
    const std::size_t start = pos++;
    while (pos < s.size()) {
      const char c = s[pos++];
      if (codePage_ == CodePage::ShiftJis && isShiftJisLead(static_cast<unsigned char>(c)) && pos < s.size()) {
        out += c;
        out += s[pos++];
        continue;
      }
      if (c == '"') return true;
      if (c == '\\') {
        if (pos == s.size()) break;
        const char e = s[pos++];
        if (e != '\\' && e != '"') return fail(pos - 2, std::string("bad escape '\\") + e + "' in " + what);
        out += e;
      } else {
        out += c;
      }
    }
    return fail(start, std::string("unterminated ") + what);
  }

  bool parseValue(std::string_view s) {
    if (!current_) return fail(0, "value outside any section");
    std::size_t pos = 0;
    std::string name;
    if (s[0] == '@') {
      pos = 1;
    } else {
      if (!parseQuoted(s, pos, name, "value name")) return false;
      if (name.size() > kMaxNameLength) return fail(0, "value name longer than 255 characters");
    }
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    if (pos == s.size() || s[pos] != '=') return fail(pos, "expected '=' after the value name");
    ++pos;
    while (pos < s.size() && isBlank(s[pos])) ++pos;

    const std::string_view data = s.substr(pos);
    if (!data.empty() && data.front() == '"') return parseString(s, pos, name);
    if (startsWithNoCase(data, "dword:")) return parseDword(s, pos + 6, name);
    if (startsWithNoCase(data, "hex:")) return parseHex(s, pos + 4, name, 3);
    if (startsWithNoCase(data, "hex(")) {
      std::size_t p = pos + 4;
      uint32_t type = 0;
      int digits = 0;
      for (; p < s.size() && hexDigit(s[p]) >= 0; ++p, ++digits) type = type * 16 + hexDigit(s[p]);
      if (digits == 0 || digits > 8 || p + 1 >= s.size() || s[p] != ')' || s[p + 1] != ':')
        return fail(pos, "bad value type in hex(...):");
      return parseHex(s, p + 2, name, type);
    }
    if (!data.empty() && data.front() == '-') {
      if (mode_ == Mode::Export || trim(data) != "-") return fail(pos, "value deletion entries are not supported");
      current_->removeValue(name);
      return true;
    }
    return fail(pos, "unrecognised value data " + quoteForMessage(data));
  }

  bool parseString(std::string_view s, std::size_t pos, const std::string& name) {
    std::string text;
    if (!parseQuoted(s, pos, text, "string")) return false;
    if (!trim(s.substr(pos)).empty()) return fail(pos, "text after the closing quote");
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    current_->setValue(name, 1, std::move(bytes));
    return true;
  }

  bool parseDword(std::string_view s, std::size_t pos, const std::string& name) {
    const std::string_view digits = trim(s.substr(pos));
    if (digits.empty() || digits.size() > 8) return fail(pos, "bad dword value: expected 1 to 8 hex digits");
    uint32_t value = 0;
    for (char c : digits) {
      if (hexDigit(c) < 0) return fail(pos, "bad dword value " + quoteForMessage(digits));
      value = value * 16 + static_cast<uint32_t>(hexDigit(c));
    }
    current_->setValue(name, 4, {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
    return true;
  }

  bool parseHex(std::string_view s, std::size_t pos, const std::string& name, uint32_t type) {
    std::vector<uint8_t> bytes;
    std::size_t p = pos;
    while (p < s.size() && isBlank(s[p])) ++p;
    while (p < s.size()) {
      const std::size_t start = p;
      while (p < s.size() && s[p] != ',') ++p;
      const std::string_view item = trim(s.substr(start, p - start));
      const bool last = p == s.size();
      if (item.empty()) {
        // Only a trailing comma may leave an empty item ("01,02," before a continuation).
        if (!last) return fail(start, "bad hex byte: empty item");
      } else {
        if (item.size() > 2 || hexDigit(item[0]) < 0 || (item.size() == 2 && hexDigit(item[1]) < 0))
          return fail(start, "bad hex byte " + quoteForMessage(item));
        bytes.push_back(static_cast<uint8_t>(item.size() == 2 ? hexDigit(item[0]) * 16 + hexDigit(item[1])
                                                              : hexDigit(item[0])));
      }
      if (!last) ++p;
    }
    current_->setValue(name, type, std::move(bytes));
    return true;
  }

  Hive& hive_;
  ParseError& error_;
  CodePage codePage_;
  Mode mode_;
  const LogicalLine* line_ = nullptr;
  std::shared_ptr<Key> current_;
};

std::string quoted(std::string_view text, CodePage codePage) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (codePage == CodePage::ShiftJis && isShiftJisLead(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
      out += c;
      out += text[++i];
      continue;
    }
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A REG_SZ whose bytes are text, one terminating NUL and nothing a line cannot hold.
bool fitsQuoted(const std::vector<uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
  return true;
}

void writeHex(std::string& out, std::string line, const std::vector<uint8_t>& data) {
  static const char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::string item{kDigits[data[i] >> 4], kDigits[data[i] & 15]};
    if (i + 1 < data.size()) item += ',';
    if (line.size() + item.size() > 76 && line != "  ") {
      out += line + "\\\r\n";
      line = "  ";
    }
    line += item;
  }
  out += line + "\r\n";
}

std::string valueName(const std::string& name, CodePage codePage) {
  return name.empty() ? "@=" : quoted(name, codePage) + "=";
}

// A string's bytes must read back as they are: a Shift-JIS lead byte at the
// end would swallow the closing quote.
bool fitsQuoted(const std::vector<uint8_t>& data, CodePage codePage) {
  if (!fitsQuoted(data)) return false;
  if (codePage != CodePage::ShiftJis) return true;
  for (std::size_t i = 0; i + 1 < data.size(); ++i) {
    if (!isShiftJisLead(data[i])) continue;
    if (i + 2 >= data.size() || data[i + 1] == 0) return false;
    ++i;
  }
  return true;
}

void writeValue(std::string& out, const Value& v, CodePage codePage) {
  std::string line = valueName(v.name, codePage);
  if (v.type == 1 && fitsQuoted(v.data, codePage)) {
    out += line +
           quoted(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1), codePage) +
           "\r\n";
  } else if (v.type == 4 && v.data.size() == 4) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x",
                  unsigned(v.data[0] | v.data[1] << 8 | v.data[2] << 16 | uint32_t(v.data[3]) << 24));
    out += line + "dword:" + digits + "\r\n";
  } else if (v.type == 3) {
    writeHex(out, line + "hex:", v.data);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", unsigned(v.type));
    writeHex(out, line + prefix, v.data);
  }
}

// `path` is extended and restored in place: copies per level would cost the
// square of the depth on deep trees.
void writeKey(std::string& out, const Key& key, std::string& path, CodePage codePage) {
  out += "[" + path + "]\r\n";
  for (const Value& v : key.values()) writeValue(out, v, codePage);
  out += "\r\n";
  for (const auto& sub : key.subkeys()) {
    const std::size_t length = path.size();
    path += "\\" + sub->name();
    writeKey(out, *sub, path, codePage);
    path.resize(length);
  }
}

bool sameValue(const Value& a, const Value& b) { return a.type == b.type && a.data == b.data; }

// `before` is null for a key that `after` brought.
void writeKeyChanges(std::string& out, const Key* before, const Key& after, std::string& path, CodePage codePage) {
  std::string lines;
  for (const Value& v : after.values()) {
    const Value* old = before ? before->findValue(v.name) : nullptr;
    if (!old || !sameValue(*old, v)) writeValue(lines, v, codePage);
  }
  if (before)
    for (const Value& v : before->values())
      if (!after.findValue(v.name)) lines += valueName(v.name, codePage) + "-\r\n";
  if (!before || !lines.empty()) out += "[" + path + "]\r\n" + lines + "\r\n";

  const std::size_t length = path.size();
  if (before)
    for (const auto& sub : before->subkeys())
      if (!after.findSubkey(sub->name())) out += "[-" + path + "\\" + sub->name() + "]\r\n\r\n";
  for (const auto& sub : after.subkeys()) {
    path += "\\" + sub->name();
    const std::shared_ptr<Key> old = before ? before->findSubkey(sub->name()) : nullptr;
    writeKeyChanges(out, old.get(), *sub, path, codePage);
    path.resize(length);
  }
}

}  // namespace

bool readRegedit4(std::string_view text, Hive& hive, ParseError& error, CodePage codePage) {
  return Reader(hive, error, codePage, Mode::Export).run(text);
}

bool applyRegedit4(std::string_view text, Hive& hive, ParseError& error, CodePage codePage) {
  return Reader(hive, error, codePage, Mode::Script).run(text);
}

std::string writeRegedit4(const Hive& hive, CodePage codePage) {
  std::string out = "REGEDIT4\r\n\r\n";
  for (const RootInfo& r : rootTable()) {
    const Key& root = hive.root(r.root);
    if (!root.values().empty()) {
      out += std::string("[") + r.name + "]\r\n";
      for (const Value& v : root.values()) writeValue(out, v, codePage);
      out += "\r\n";
    }
    for (const auto& sub : root.subkeys()) {
      std::string path = std::string(r.name) + "\\" + sub->name();
      writeKey(out, *sub, path, codePage);
    }
  }
  return out;
}

std::string writeRegedit4Patch(const Hive& before, const Hive& after, CodePage codePage) {
  std::string out = "REGEDIT4\r\n\r\n";
  for (const RootInfo& r : rootTable()) {
    const Key& old = before.root(r.root);
    const Key& now = after.root(r.root);
    std::string path = r.name;
    std::string changes;
    writeKeyChanges(changes, &old, now, path, codePage);
    out += changes;
  }
  return out;
}

}  // namespace dekla
