// Register access: the whole window at once in direct mode, the two banked halves otherwise, and
// the streams window opened by bits 5 and 7 of the control port in both. Every control port change
// is made with interrupts disabled; the model counts any access through the wrong half as a fault.
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace ddhal {
namespace {

using sim::Harness;
using sim::CallResult;
using sim::HarnessConfig;

std::vector<uint8_t> portValues(const sim::S3Chip& chip) {
    std::vector<uint8_t> v;
    for (const sim::PortWrite& w : chip.portWrites()) {
        EXPECT_TRUE(w.interruptsDisabled);
        v.push_back(w.value);
    }
    return v;
}

// Every access of an operation writes the same pair of port values; returns how many pairs.
size_t countPairs(const std::vector<uint8_t>& values, uint8_t first, uint8_t second) {
    EXPECT_EQ(values.size() % 2, 0u);
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        EXPECT_EQ(values[i], first) << "write " << i;
        EXPECT_EQ(values[i + 1], second) << "write " << i + 1;
    }
    return values.size() / 2;
}

enum class Op { TestRetrace, Fill, SetColorKey };

void run(Harness& h, Op op) {
    h.chip().clearLogs();
    switch (op) {
    case Op::TestRetrace: h.waitForVerticalBlank(DDWAITVB_I_TESTVB); break;
    case Op::Fill: h.fill(h.primary(), sim::rect(0, 0, 8, 2), 0x1234); break;
    case Op::SetColorKey: h.setColorKey(h.primary(), DDCKEY_DESTOVERLAY, {0x1F, 0x1F}); break;
    }
}

TEST(VortalRegisterAccess, DirectModeTouchesThePortOnlyForStreams) {
    for (uint8_t initial : {uint8_t{0x0C}, uint8_t{0x4D}}) {
        HarnessConfig c = test::streamsScreen();
        c.chip.controlPortValue = initial;
        Harness h(c);
        ASSERT_NE(h.framePeriod(), 0u);
        SCOPED_TRACE(initial);

        run(h, Op::TestRetrace);
        EXPECT_TRUE(h.chip().portWrites().empty());
        run(h, Op::Fill);
        EXPECT_TRUE(h.chip().portWrites().empty());
        EXPECT_EQ(h.chip().engineOps().size(), 1u);

        run(h, Op::SetColorKey);
        EXPECT_EQ(countPairs(portValues(h.chip()), initial | 0xA0, initial & 0x5F), 3u);
        EXPECT_EQ(h.chip().streams(0x8184), 0x140000F8u);
        EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
    }
}

// Banked: below 0x8000 bits 2 and 3 are cleared, from 0x8000 bit 2 is set and bit 3 cleared, and
// afterwards the port rests with bit 3 set; other bits of the port are kept.
TEST(VortalRegisterAccess, BankedModeSwitchesHalvesAroundEachAccess) {
    struct Case {
        Op op;
        uint8_t initial;
        uint8_t during;
        uint8_t after;
    };
    const Case cases[] = {
        {Op::TestRetrace, 0x08, 0x00, 0x08}, {Op::TestRetrace, 0x49, 0x41, 0x49},
        {Op::Fill, 0x08, 0x04, 0x08},        {Op::Fill, 0x49, 0x45, 0x49},
        {Op::SetColorKey, 0x08, 0xA8, 0x08}, {Op::SetColorKey, 0x49, 0xE9, 0x49},
    };
    for (const Case& k : cases) {
        HarnessConfig c = test::streamsScreen();
        c.chip.controlPortValue = k.initial;
        Harness h(c);
        ASSERT_NE(h.framePeriod(), 0u);
        SCOPED_TRACE(testing::Message() << "op " << static_cast<int>(k.op) << " port " << int(k.initial));
        run(h, k.op);
        std::vector<uint8_t> values = portValues(h.chip());
        if (k.op == Op::SetColorKey) {
            // The CR67 check and the retrace wait use the low half; the three streams writes follow.
            ASSERT_GE(values.size(), 6u);
            values.erase(values.begin(), values.end() - 6);
        }
        const size_t pairs = countPairs(values, k.during, k.after);
        EXPECT_GE(pairs, k.op == Op::Fill ? 9u : 1u);
        EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
        EXPECT_FALSE(h.chip().interruptsDisabled());
    }
}

TEST(VortalRegisterAccess, BankedFillReachesTheEngineThroughTheHighHalf) {
    Harness h(test::palettedScreen());
    h.fill(h.primary(), sim::rect(2, 1, 5, 3), 0x77);
    const uint8_t* vram = h.chip().videoMemory();
    EXPECT_EQ(vram[640 + 2], 0x77);
    EXPECT_EQ(vram[2 * 640 + 4], 0x77);
    EXPECT_EQ(vram[640 + 5], 0x00);
    EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
}

}  // namespace
}  // namespace ddhal
