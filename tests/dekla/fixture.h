// Loads the .reg fixtures of tests/fixtures/dekla.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "dekla/hive.h"
#include "dekla/regedit4.h"

namespace dekla::test {

inline std::string fixturePath(const std::string& name) { return std::string(QUILLON_FIXTURES) + "/dekla/" + name; }

inline std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline Hive loadFixture(const std::string& name) {
  Hive hive;
  ParseError error;
  const std::string text = readText(fixturePath(name));
  EXPECT_FALSE(text.empty()) << name;
  EXPECT_TRUE(readRegedit4(text, hive, error)) << name << ":" << error.line << ": " << error.message;
  return hive;
}

// The fixture as this writer lays it out, so hand-written expectations may
// leave out the sections that their paths imply.
inline std::string canonicalFixture(const std::string& name) { return writeRegedit4(loadFixture(name)); }

}  // namespace dekla::test
