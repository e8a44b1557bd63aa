// dekla-tool end to end: the library loaded from beside the program, the
// result printed, OUT written only after a run, exit statuses.
#include <gtest/gtest.h>
#include <sys/io.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/dekla/fixture.h"

namespace dekla {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out, err;
};

class DeklaTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dekla-tool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  ToolRun run(const std::string& arguments, const std::string& tool = DEKLA_TOOL) {
    const std::string out = dir_ / "stdout", err = dir_ / "stderr";
    const int raw = std::system((tool + " " + arguments + " >" + out + " 2>" + err).c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = test::readText(out);
    r.err = test::readText(err);
    return r;
  }

  std::string in(const std::string& fixture) { return test::fixturePath(fixture); }
  std::string out() { return (dir_ / "out.reg").string(); }

  fs::path dir_;
};

TEST_F(DeklaTool, CleansWithTheBoardAndLeavesAllWithout) {
  struct Row {
    const char* flag;
    const char* printed;
    const char* expected;
  };
  const Row rows[] = {
      {"--board-present", "DelDisplay: 0\n", "many-levels.expected.reg"},
      {"--board-absent", "DelDisplay: 1\n", "many-levels.reg"},
  };
  for (const Row& row : rows) {
    const ToolRun r = run(std::string(row.flag) + " " + in("many-levels.reg") + " " + out());
    EXPECT_EQ(r.status, 0) << row.flag << ": " << r.err;
    EXPECT_EQ(r.out, row.printed) << row.flag;
    EXPECT_EQ(test::readText(out()), test::canonicalFixture(row.expected)) << row.flag;
  }
}

TEST_F(DeklaTool, RefusesBadInputAndWritesNothing) {
  std::ofstream(dir_ / "bad.reg") << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum]\n\"Flags\"=hex:01,0g\n";
  struct Row {
    std::string arguments;
    std::string message;
  };
  const std::string bad = (dir_ / "bad.reg").string();
  const Row rows[] = {
      {"--board-present " + bad + " " + out(), bad + ":4: bad hex byte '0g'"},
      {"--board-present " + (dir_ / "missing.reg").string() + " " + out(), "cannot read the file"},
      {"--board-present " + in("pci-display.reg"), "usage:"},
      {"--board-maybe " + in("pci-display.reg") + " " + out(), "usage:"},
      {"--board-present --board-absent " + in("pci-display.reg") + " " + out(), "usage:"},
  };
  for (const Row& row : rows) {
    const ToolRun r = run(row.arguments);
    EXPECT_EQ(r.status, 2) << row.arguments;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << row.arguments << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << row.arguments;
    EXPECT_FALSE(fs::exists(out())) << row.arguments;
  }
}

TEST_F(DeklaTool, LoadsTheLibraryFromItsOwnFolder) {
  const fs::path tool = dir_ / "dekla-tool";
  fs::copy_file(DEKLA_TOOL, tool);
  const std::string arguments = "--board-present " + in("two-instances.reg") + " " + out();

  ToolRun r = run(arguments, tool.string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find((dir_ / "libDekla.so").string()), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out()));

  fs::copy_file(DEKLA_LIBRARY, dir_ / "libDekla.so");
  r = run(arguments, tool.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "DelDisplay: 0\n");
  EXPECT_EQ(test::readText(out()), test::canonicalFixture("two-instances.expected.reg"));
}

TEST_F(DeklaTool, HardwarePortNeedsPermission) {
  const ToolRun r = run(in("many-levels.reg") + " " + out());
  const int granted = ioperm(0x59E3, 1, 1);
  const int fault = errno;
  if (granted == 0) {
    ioperm(0x59E3, 1, 0);
    // Port access is granted here; this machine has no board, so nothing is cleaned.
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out == "DelDisplay: 0\n" || r.out == "DelDisplay: 1\n") << r.out;
  } else {
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read I/O port 0x59E3"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::strerror(fault)), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("needs root") != std::string::npos, fault == EPERM) << r.err;
    EXPECT_NE(r.err.find("--board-present or --board-absent"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out()));
  }
}

}  // namespace
}  // namespace dekla
