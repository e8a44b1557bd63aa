#include "gmem/global_memory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GlobalMemory, BlockIsZeroFilledAndKeepsItsSize) {
    GlobalHandle h = gmemAlloc(1000);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(gmemSize(h), 1000u);
    auto* p = static_cast<unsigned char*>(gmemLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(p[i], 0) << i;
    std::memset(p, 0xAB, 1000);
    EXPECT_EQ(gmemUnlock(h), 0);
    EXPECT_EQ(gmemFree(h), 0u);
}

TEST(GlobalMemory, RejectsEmptyAndBadHandles) {
    EXPECT_EQ(gmemAlloc(0), 0u);
    EXPECT_EQ(gmemLock(0), nullptr);
    EXPECT_EQ(gmemSize(0), 0u);
    EXPECT_EQ(gmemFree(0), 0u);
    long notABlock[8] = {};
    auto bogus = reinterpret_cast<GlobalHandle>(notABlock);
    EXPECT_EQ(gmemLock(bogus), nullptr);
    EXPECT_EQ(gmemFree(bogus), bogus);
}

TEST(GlobalMemory, LocksNest) {
    GlobalHandle h = gmemAlloc(16);
    gmemLock(h);
    gmemLock(h);
    EXPECT_EQ(gmemUnlock(h), 1);
    EXPECT_EQ(gmemUnlock(h), 0);
    EXPECT_EQ(gmemUnlock(h), 0);
    gmemFree(h);
}
