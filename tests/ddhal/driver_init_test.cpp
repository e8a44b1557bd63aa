// DriverInit: mapping the 16:16 pointers, finding the aperture control port, filling the callback
// table, measuring the frame period; and the shared heap kept from first attach to last detach.
#include "ddhal/driver_data_block.h"
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <set>

#include <sys/resource.h>

namespace ddhal {
namespace {

using sim::Harness;
using sim::CallResult;
using sim::HarnessConfig;

TEST(VortalDriverInit, FillsThirteenDistinctCallbacksAndSlot40Declines) {
    Harness h(test::palettedScreen());
    ASSERT_TRUE(h.loaded());
    ASSERT_NE(h.framePeriod(), 0u);
    std::set<LPDDHAL_CALLBACK> seen;
    for (int slot = 0; slot < kCallbackCount; ++slot) {
        ASSERT_NE(h.callback(slot), nullptr) << "slot " << slot;
        seen.insert(h.callback(slot));
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kCallbackCount));

    unsigned char argument[64];
    for (unsigned char& b : argument)
        b = 0x5A;
    EXPECT_EQ(h.decline(argument), DDHAL_DRIVER_NOTHANDLED);
    for (unsigned char b : argument)
        ASSERT_EQ(b, 0x5A);
}

TEST(VortalDriverInit, ZeroKeepsTheEarlierPointersAndTable) {
    Harness h(test::palettedScreen());
    LPDDHAL_CALLBACK before[kCallbackCount];
    for (int i = 0; i < kCallbackCount; ++i) {
        before[i] = h.callback(i);
        h.block().callbacks[i] = nullptr;
    }
    // Pointers that no longer map: DriverInit(0) must not read them again.
    h.initPointers() = {0x7777'0000, 0x7777'0000, 0x7777'0000};
    EXPECT_NE(h.driverInit(0), 0u);
    for (int i = 0; i < kCallbackCount; ++i)
        EXPECT_EQ(h.callback(i), before[i]) << "slot " << i;
    // The register window recorded the first time is still the one in use.
    EXPECT_EQ(h.fill(h.primary(), sim::rect(0, 0, 4, 1), 0x33).rval, DD_OK);
    EXPECT_EQ(h.chip().videoMemory()[3], 0x33);
}

TEST(VortalDriverInit, ZeroBeforeAnyPointersFails) {
    HarnessConfig c = test::palettedScreen();
    c.initialise = false;
    Harness h(c);
    EXPECT_EQ(h.driverInit(0), 0u);
    EXPECT_EQ(h.callback(kSlotBlt), nullptr);
}

TEST(VortalDriverInit, UnmappablePointerFails) {
    HarnessConfig c = test::palettedScreen();
    c.initialise = false;
    Harness h(c);
    EXPECT_EQ(h.driverInit(0x7777'0000), 0u);
    EXPECT_EQ(h.callback(kSlotBlt), nullptr);
}

// The board answers at one of eight ports from 0x54E0 in steps of 2; the driver banks through the
// first one that does not read 0xFF, and gives up when none answers.
TEST(VortalDriverInit, FindsTheControlPortAmongTheCandidates) {
    struct Case {
        uint16_t port;
        bool found;
    };
    const Case cases[] = {{0x54E0, true}, {0x54E2, true}, {0x54E8, true}, {0x54EE, true},
                          {0x54F0, false}, {0x54DE, false}, {0, false}};
    for (const Case& k : cases) {
        HarnessConfig c = test::palettedScreen();
        c.chip.controlPort = k.port;
        Harness h(c);
        SCOPED_TRACE(k.port);
        if (!k.found) {
            EXPECT_EQ(h.framePeriod(), 0u);
            EXPECT_EQ(h.callback(kSlotBlt), nullptr);
            continue;
        }
        ASSERT_NE(h.framePeriod(), 0u);
        h.chip().clearLogs();
        h.fill(h.primary(), sim::rect(0, 0, 1, 1), 1);
        ASSERT_FALSE(h.chip().portWrites().empty());
        for (const sim::PortWrite& w : h.chip().portWrites())
            EXPECT_EQ(w.port, k.port);
        EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
    }
}

// On the model's clock the period comes out as the refresh rate gives it, to within the polling
// granularity; the counter then runs at 1 GHz.
TEST(VortalDriverInit, MeasuresTheFramePeriodOnTheModelClock) {
    for (double hz : {60.0, 72.0, 75.0, 50.0}) {
        HarnessConfig c = test::palettedScreen();
        c.chip.refreshHz = hz;
        Harness h(c);
        const double expected = 1e9 / hz;
        EXPECT_NEAR(h.framePeriod(), expected, expected * 0.001) << hz << " Hz";
    }
}

// With the real clock a 60 Hz display gives about a sixtieth of the counter frequency. The
// scheduler may take the polling thread away long enough to miss a retrace, or delay a counter
// read; so the measurement is checked against what the model saw the driver see: the counter
// must span the time between the first and the last retrace start it caught (give or take how
// long the driver took to touch the chip again after each), and that time must be a whole number
// of sixtieths of a second.
TEST(VortalDriverInit, MeasuresSixtyHertzAgainstTheRealClock) {
    HarnessConfig c = test::palettedScreen();
    c.chip.clockMode = sim::VirtualClock::Mode::Real;
    c.chip.controlPortValue = 0x0C;
    c.initialise = false;
    const int niceBefore = getpriority(PRIO_PROCESS, 0);
    const double frame = 1e9 / 60;  // the Linux counter counts nanoseconds
    Harness h(c);
    const double period = h.driverInit(h.initPointer());
    h.waitForVerticalBlank(DDWAITVB_I_TESTVB);  // one more access, after the final counter read
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), niceBefore);  // the priority class was put back

    const std::vector<sim::RetraceStartSeen>& seen = h.chip().retraceStartsSeen();
    ASSERT_EQ(seen.size(), 21u);  // the one the count starts at and twenty more
    const sim::RetraceStartSeen& first = seen.front();
    const sim::RetraceStartSeen& last = seen.back();
    ASSERT_GE(first.nextAccess, first.time);
    ASSERT_GE(last.nextAccess, last.time);
    const double elapsed = static_cast<double>(last.time - first.time);
    const double slack = static_cast<double>((first.nextAccess - first.time) + (last.nextAccess - last.time));
    EXPECT_NEAR(period, elapsed / 20, slack / 20 + 2);
    // Each start is caught within the retrace, a twentieth of a frame at most after it began.
    const double frames = std::round(elapsed / frame);
    EXPECT_GE(frames, 20);
    EXPECT_NEAR(elapsed / frames, frame, frame * 0.01);
    if (frames == 20)
        EXPECT_NEAR(period, frame, frame * 0.01 + slack / 20);
}

TEST(VortalDriverInit, RemeasureRequestIsHonouredAndCleared) {
    HarnessConfig c = test::palettedScreen();
    Harness h(c);
    const int64_t before = h.chip().clock().now();
    h.block().remeasureRequest = 1;
    EXPECT_EQ(h.lock(h.primary()).handled, DDHAL_DRIVER_NOTHANDLED);
    EXPECT_EQ(h.block().remeasureRequest, 0u);
    // Twenty frames of retrace polling went by; without a request Lock does not measure.
    EXPECT_GE(h.chip().clock().now() - before, test::msNs(20 * 1000.0 / 60));
    const int64_t after = h.chip().clock().now();
    h.lock(h.primary());
    EXPECT_LT(h.chip().clock().now() - after, test::msNs(1));
}

TEST(VortalDriverInit, SharedHeapLivesFromFirstAttachToLastDetach) {
    Harness h(test::palettedScreen());
    EXPECT_EQ(h.host().heapsCreated(), 1);
    EXPECT_EQ(h.host().lastHeapOptions(), 0x04000000u);
    EXPECT_EQ(h.host().lastHeapInitialSize(), 1024u);
    EXPECT_EQ(h.host().heapsDestroyed(), 0);
    h.unload();
    EXPECT_EQ(h.host().heapsDestroyed(), 1);
}

}  // namespace
}  // namespace ddhal
