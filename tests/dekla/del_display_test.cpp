// DelDisplay over small hives: each case is a fixture and the hive it must
// leave, run under both rules for deleting a key that has subkeys.
#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "dekla/host.h"
#include "dekla/winreg.h"
#include "tests/dekla/fixture.h"

#if defined(__i386__)
extern "C" __attribute__((stdcall)) uint32_t DelDisplay(uint32_t, uint32_t, uint32_t);
#else
extern "C" uint32_t DelDisplay(uint32_t, uint32_t, uint32_t);
#endif

namespace dekla {
namespace {

using test::canonicalFixture;
using test::loadFixture;

class DeklaClean : public ::testing::TestWithParam<std::tuple<const char*, DeleteRule>> {};

TEST_P(DeklaClean, LeavesTheExpectedHiveAndNoOpenKey) {
  const std::string name = std::get<0>(GetParam());
  Hive hive = loadFixture(name + ".reg");
  hive.setDeleteRule(std::get<1>(GetParam()));
  setHostHive(std::move(hive));
  supplyPortByte(0x14);

  EXPECT_EQ(DelDisplay(0, 0, 0), 0u);
  EXPECT_EQ(writeRegedit4(hostHive()), canonicalFixture(name + ".expected.reg"));
  EXPECT_EQ(openKeyCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DeklaClean,
                         ::testing::Combine(::testing::Values("pci-display",          // subkeys go, device key stays
                                                              "class-values",         // case, empty, absent, other
                                                              "root-display",         // profile levels created
                                                              "root-profile-exists",  // existing profile reused
                                                              "two-instances",        // no instance stepped over
                                                              "many-levels"),         // every level walked
                                            ::testing::Values(DeleteRule::WithSubkeys, DeleteRule::EmptyOnly)),
                         [](const auto& info) {
                           std::string name = std::get<0>(info.param);
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name + (std::get<1>(info.param) == DeleteRule::EmptyOnly ? "_EmptyOnly" : "");
                         });

class DeklaNoBoard : public ::testing::TestWithParam<uint8_t> {};

TEST_P(DeklaNoBoard, ChangesNothingAndAnswersOne) {
  setHostHive(loadFixture("many-levels.reg"));
  const std::string before = writeRegedit4(hostHive());
  supplyPortByte(GetParam());

  EXPECT_EQ(DelDisplay(7, 8, 9), 1u);
  EXPECT_EQ(writeRegedit4(hostHive()), before);
  EXPECT_EQ(openKeyCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(PortBytes, DeklaNoBoard, ::testing::Values(0x00, 0x13, 0x15, 0x94, 0xFF));

TEST(DeklaCleanLimits, VisitsAtMost256KeysOfALevel) {
  Hive hive;
  std::shared_ptr<Key> pci = hive.root(Root::LocalMachine).addSubkey("Enum")->addSubkey("PCI");
  for (int i = 0; i <= 256; ++i) {
    char device[8];
    std::snprintf(device, sizeof device, "DEV%03d", i);
    pci->addSubkey(device)->addSubkey("0")->setValue("Class", REG_SZ, {'D', 'I', 'S', 'P', 'L', 'A', 'Y', 0});
  }
  setHostHive(std::move(hive));
  supplyPortByte(0x14);

  EXPECT_EQ(DelDisplay(0, 0, 0), 0u);
  ASSERT_EQ(pci->subkeys().size(), 257u);
  EXPECT_TRUE(pci->findSubkey("DEV000")->subkeys().empty());
  EXPECT_TRUE(pci->findSubkey("DEV255")->subkeys().empty());
  EXPECT_NE(pci->findSubkey("DEV256")->findSubkey("0"), nullptr);  // the 257th device is not reached
}

TEST(DeklaCleanLimits, CreatesEnumWhenAbsent) {
  setHostHive(Hive{});
  supplyPortByte(0x14);
  EXPECT_EQ(DelDisplay(0, 0, 0), 0u);
  EXPECT_NE(hostHive().root(Root::LocalMachine).findSubkey("Enum"), nullptr);
  EXPECT_EQ(openKeyCount(), 0u);
}

}  // namespace
}  // namespace dekla
