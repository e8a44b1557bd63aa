// The registry calls over the host hive: return codes, name rules, values,
// deletion under both rules and handles that outlive their key.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dekla/host.h"
#include "dekla/winreg.h"
#include "tests/dekla/fixture.h"

namespace dekla {
namespace {

class DeklaRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    setHostHive(test::loadFixture("registry.reg"));
    supplyPortByte(std::nullopt);
  }

  HKEY open(const char* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key), ERROR_SUCCESS) << path;
    return key;
  }

  std::vector<std::string> subkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) names.push_back(name);
    return names;
  }
};

TEST_F(DeklaRegistry, ReturnCodes) {
  HKEY key = nullptr;
  char name[256];
  DWORD size = sizeof name;
  const HKEY stale = reinterpret_cast<HKEY>(uintptr_t{0x12345678});
  const std::string overlong(256, 'x');
  struct Row {
    const char* what;
    std::function<LONG()> call;
    LONG expected;
  };
  const Row rows[] = {
      {"open missing", [&] { return RegOpenKeyA(HKEY_LOCAL_MACHINE, "Enum\\Nothing", &key); }, ERROR_FILE_NOT_FOUND},
      {"open other case", [&] { return RegOpenKeyA(HKEY_LOCAL_MACHINE, "ENUM\\pci", &key); }, ERROR_SUCCESS},
      {"open empty name", [&] { return RegOpenKeyA(HKEY_LOCAL_MACHINE, "Enum\\\\PCI", &key); }, ERROR_INVALID_PARAMETER},
      {"open overlong name", [&] { return RegOpenKeyA(HKEY_LOCAL_MACHINE, overlong.c_str(), &key); },
       ERROR_INVALID_PARAMETER},
      {"open unknown handle", [&] { return RegOpenKeyA(stale, "Enum", &key); }, ERROR_INVALID_HANDLE},
      {"enum past the end", [&] { return RegEnumKeyA(HKEY_LOCAL_MACHINE, 5, name, sizeof name); }, ERROR_NO_MORE_ITEMS},
      {"enum small buffer", [&] { return RegEnumKeyA(HKEY_LOCAL_MACHINE, 0, name, 4); }, ERROR_MORE_DATA},
      {"enum exact buffer", [&] { return RegEnumKeyA(HKEY_LOCAL_MACHINE, 0, name, 5); }, ERROR_SUCCESS},
      {"query missing", [&] { return RegQueryValueExA(HKEY_LOCAL_MACHINE, "None", nullptr, nullptr, nullptr, &size); },
       ERROR_FILE_NOT_FOUND},
      {"delete missing", [&] { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\Nothing"); }, ERROR_FILE_NOT_FOUND},
      {"delete without a name", [&] { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""); }, ERROR_INVALID_PARAMETER},
      {"close unknown handle", [&] { return RegCloseKey(stale); }, ERROR_INVALID_HANDLE},
      {"close predefined key", [&] { return RegCloseKey(HKEY_LOCAL_MACHINE); }, ERROR_SUCCESS},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.call(), row.expected) << row.what;
    if (key) RegCloseKey(key), key = nullptr;
  }
  EXPECT_EQ(openKeyCount(), 0u);
}

TEST_F(DeklaRegistry, NamesCompareIgnoringCaseAndKeepTheirCase) {
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "enum\\PCI\\New\\Deeper", &created), ERROR_SUCCESS);
  RegCloseKey(created);
  HKEY pci = open("Enum\\PCI");
  // "enum" and "PCI" found the existing keys; enumeration runs in name order.
  EXPECT_EQ(subkeyNames(pci), (std::vector<std::string>{"New", "VEN_1002", "ven_5333"}));
  EXPECT_EQ(subkeyNames(HKEY_LOCAL_MACHINE), (std::vector<std::string>{"Enum"}));
  RegCloseKey(pci);
  EXPECT_EQ(openKeyCount(), 0u);
}

TEST_F(DeklaRegistry, ValuesKeepTypeAndBytes) {
  HKEY key = open("Enum\\PCI\\ven_5333\\0");
  const BYTE flags[4] = {1, 0, 0, 0};
  ASSERT_EQ(RegSetValueExA(key, "csconfigflags", 0, REG_BINARY, flags, 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("def"), 4), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "CSConfigFlags", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(size, 4u);

  BYTE data[8] = {};
  size = 2;
  EXPECT_EQ(RegQueryValueExA(key, "Class", nullptr, &type, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);  // "DISPLAY" and its terminator
  EXPECT_EQ(RegQueryValueExA(key, "Class", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "DISPLAY");

  size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "def");
  RegCloseKey(key);

  // The first spelling of a name stays: the set above replaced the fixture's value in place.
  const std::string text = writeRegedit4(hostHive());
  EXPECT_NE(text.find("\"CSConfigFlags\"=hex:01,00,00,00\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("csconfigflags"), std::string::npos);
}

TEST_F(DeklaRegistry, DeleteRules) {
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1002"), ERROR_SUCCESS);  // whole tree, Windows 95
  HKEY pci = open("Enum\\PCI");
  EXPECT_EQ(subkeyNames(pci), std::vector<std::string>{"ven_5333"});

  hostHive().setDeleteRule(DeleteRule::EmptyOnly);
  EXPECT_EQ(RegDeleteKeyA(pci, "ven_5333"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(pci, "VEN_5333\\0"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(pci, "ven_5333"), ERROR_SUCCESS);
  EXPECT_TRUE(subkeyNames(pci).empty());
  RegCloseKey(pci);
}

TEST_F(DeklaRegistry, HandleOfADeletedKeySaysSo) {
  HKEY instance = open("Enum\\PCI\\VEN_1002\\0\\Sub");
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_1002"), ERROR_SUCCESS);
  char name[256];
  DWORD size = sizeof name;
  const BYTE one = 1;
  EXPECT_EQ(RegEnumKeyA(instance, 0, name, sizeof name), ERROR_KEY_DELETED);
  EXPECT_EQ(RegQueryValueExA(instance, "Class", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueExA(instance, "X", 0, REG_BINARY, &one, 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(instance), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(instance), ERROR_INVALID_HANDLE);
}

TEST_F(DeklaRegistry, InstallingAHiveClosesEveryHandle) {
  open("Enum");
  open("Enum\\PCI");
  EXPECT_EQ(openKeyCount(), 2u);
  setHostHive(Hive{});
  EXPECT_EQ(openKeyCount(), 0u);
}

}  // namespace
}  // namespace dekla
