// dekla-tool end to end: the library loaded from beside the program, the
// changes and the result printed, the patch (or with --full the whole
// registry) written only after a run, exit statuses.
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
      {"--board-present",
       "removed: HKEY_LOCAL_MACHINE\\Enum\\BIOS\\*PNP0A03\\00 (class \"DISPLAY\")\n"
       "removed: HKEY_LOCAL_MACHINE\\Enum\\ISAPNP\\ABC0001\\0 (class \"DISPLAY\")\n"
       "removed: HKEY_LOCAL_MACHINE\\Enum\\ISAPNP\\XYZ0002\\1 (class \"display\")\n"
       "removed: HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_5333&DEV_8811\\BUS_00&DEV_0A&FUNC_00 (class \"DISPLAY\")\n"
       "disabled: HKEY_LOCAL_MACHINE\\Enum\\Root\\*PNP0917\\0000 (class \"DISPLAY\") in profile 0001\n"
       "disabled: HKEY_LOCAL_MACHINE\\Enum\\Root\\Display\\0000 (class \"DISPLAY\") in profile 0001\n"
       "DelDisplay: 0\n",
       "many-levels.expected.reg"},
      {"--board-absent", "DelDisplay: 1\n", "many-levels.reg"},
  };
  for (const Row& row : rows) {
    const ToolRun r = run(std::string(row.flag) + " --full " + in("many-levels.reg") + " " + out());
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
      {"--board-present --code-page 936 " + in("pci-display.reg") + " " + out(), "usage:"},
      {"--board-present --full --full " + in("pci-display.reg") + " " + out(), "usage:"},
  };
  for (const Row& row : rows) {
    const ToolRun r = run(row.arguments);
    EXPECT_EQ(r.status, 2) << row.arguments;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << row.arguments << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << row.arguments;
    EXPECT_FALSE(fs::exists(out())) << row.arguments;
  }
}

// OUT is replaced keeping its mode, through a symbolic link, and never when
// it is read-only.
TEST_F(DeklaTool, KeepsWhatTheUserSetOnOut) {
  const std::string arguments = "--board-present " + in("two-instances.reg") + " ";
  const fs::path real = dir_ / "real.reg", link = dir_ / "link.reg";
  std::ofstream(real) << "old";
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(real, link);
  EXPECT_EQ(run(arguments + link.string()).status, 0);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(test::readText(real.string()).find("REGEDIT4"), std::string::npos);
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  std::ofstream(dir_ / "locked.reg") << "old";
  fs::permissions(dir_ / "locked.reg", fs::perms::owner_read);
  const ToolRun r = run(arguments + (dir_ / "locked.reg").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
  EXPECT_EQ(test::readText((dir_ / "locked.reg").string()), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 5);  // no temporary left
}

TEST_F(DeklaTool, LoadsTheLibraryFromItsOwnFolder) {
  const fs::path tool = dir_ / "dekla-tool";
  fs::copy_file(DEKLA_TOOL, tool);
  const std::string arguments = "--board-present " + in("two-instances.reg") + " " + out();

  ToolRun r = run(arguments, tool.string());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_NE(r.err.find((dir_ / "libDekla.so").string()), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out()));

  fs::copy_file(DEKLA_LIBRARY, dir_ / "libDekla.so");
  r = run("--full " + arguments, tool.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("DelDisplay: 0\n"), std::string::npos) << r.out;
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
    EXPECT_TRUE(r.out.find("DelDisplay: 0\n") != std::string::npos || r.out == "DelDisplay: 1\n") << r.out;
  } else {
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read I/O port 0x59E3"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::strerror(fault)), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("needs root") != std::string::npos, fault == EPERM) << r.err;
    EXPECT_NE(r.err.find("--board-present or --board-absent"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out()));
  }
}

// The patch written by default, imported into the registry the export came
// from (here: applied to the export by our own reader), gives the registry the
// full run leaves.
TEST_F(DeklaTool, PatchAppliedToTheExportGivesTheFullRun) {
  for (const char* fixture : {"pci-display.reg", "root-display.reg", "root-profile-exists.reg", "two-instances.reg",
                              "many-levels.reg", "class-values.reg", "registry.reg", "japanese.reg"}) {
    SCOPED_TRACE(fixture);
    const ToolRun patchRun = run("--board-present " + in(fixture) + " " + (dir_ / "patch.reg").string());
    const ToolRun fullRun = run("--board-present --full " + in(fixture) + " " + (dir_ / "full.reg").string());
    ASSERT_EQ(patchRun.status, 0) << patchRun.err;
    ASSERT_EQ(fullRun.status, 0) << fullRun.err;
    EXPECT_EQ(patchRun.out, fullRun.out);

    Hive hive;
    ParseError error;
    ASSERT_TRUE(readRegedit4(test::readText(in(fixture)), hive, error)) << error.message;
    const std::string patch = test::readText((dir_ / "patch.reg").string());
    ASSERT_TRUE(applyRegedit4(patch, hive, error)) << error.line << ": " << error.message << "\n" << patch;
    EXPECT_EQ(writeRegedit4(hive), test::readText((dir_ / "full.reg").string())) << patch;
  }
}

// A Japanese export: what was removed and disabled is listed, the patch holds
// exactly those changes in Shift-JIS, and every string and name holding a
// second byte 0x5C comes through the full rewrite unchanged.
TEST_F(DeklaTool, JapaneseExport) {
  const ToolRun r = run("--board-present " + in("japanese.reg") + " " + out());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "removed: HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_5333&DEV_8811\\BUS_00&DEV_0E&FUNC_00 (class \"DISPLAY\")\n"
            "disabled: HKEY_LOCAL_MACHINE\\Enum\\Root\\*PNP0917\\0000 (class \"Display\") in profile 0001\n"
            "DelDisplay: 0\n");
  EXPECT_EQ(test::readText(out()),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Config]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Config\\0001]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Config\\0001\\Enum]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Config\\0001\\Enum\\Root]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Config\\0001\\Enum\\Root\\*PNP0917]\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Config\\0001\\Enum\\Root\\*PNP0917\\0000]\r\n"
            "\"CSConfigFlags\"=hex:01,00,00,00\r\n\r\n"
            "[-HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_5333&DEV_8811\\BUS_00&DEV_0E&FUNC_00]\r\n\r\n");

  ASSERT_EQ(run("--board-present --full " + in("japanese.reg") + " " + out()).status, 0);
  const std::string full = test::readText(out());
  // ソ 83 5C, 表 95 5C, 能 94 5C, written as they came.
  for (const char* line : {"[HKEY_LOCAL_MACHINE\\Software\\\x95\x5C\x8C\x76\x8E\x5A\x83\x5C\x83\x74\x83\x67\\",
                           "\"\x83\x5C\x81\x5B\x83\x58\"=\"\x94\x5C\x97\xCD\"\r\n",
                           "\"\x83\x41\"=dword:00000001\r\n\"\x83\x61\"=dword:00000002\r\n",
                           "\x95\x5C\"\r\n"})
    EXPECT_NE(full.find(line), std::string::npos) << line;
  EXPECT_EQ(full.find("\x5C\x5C\x5C"), std::string::npos);
}

}  // namespace
}  // namespace dekla
