// Flip: the display start moves by CRTC registers (two chip generations) or by the streams
// processor's primary address, never during a retrace, and never while a flip or the engine is busy.
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

namespace ddhal {
namespace {

using sim::Harness;
using sim::CallResult;
using sim::HarnessConfig;
using sim::rect;
using sim::Surface;

constexpr size_t kTargetOffset = 0x2A0000;  // display start 0xA8000: bits 16 to 19 are 0xA

Surface placed(Harness& h, size_t offset) {
    Surface s;
    s.lcl.lpGbl = &s.gbl;
    s.lcl.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
    s.gbl.fpVidMem = h.block().videoMemoryStart + offset;
    s.gbl.lPitch = static_cast<LONG>(h.block().screenPitch);
    return s;
}

TEST(VortalFlip, RefusedDuringRetraceAndMovesTheStartAfterIt) {
    struct Case {
        const char* name;
        uint32_t chipId;
        bool streams;
    };
    const Case cases[] = {{"CR69 chip", 0xE1, false}, {"chip 0x90", 0x90, false}, {"chip 0xA0", 0xA0, false},
                          {"streams screen", 0xE1, true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HarnessConfig c = k.streams ? test::streamsScreen() : test::palettedScreen();
        c.chipId = k.chipId;
        c.chip.oldStartAddress = k.chipId == 0x90 || k.chipId == 0xA0;
        Harness h(c);
        h.chip().setCrtc(0x31, 0xFF);
        h.chip().setCrtc(0x51, 0xFF);
        h.chip().setCrtc(0x69, 0xF5);
        Surface target = placed(h, kTargetOffset);
        Surface* front = h.primary();

        h.chip().advanceToRetraceStart();
        h.chip().clearLogs();
        EXPECT_EQ(h.flip(front, &target).rval, DDERR_WASSTILLDRAWING);
        EXPECT_TRUE(h.chip().crtcWrites().empty());
        EXPECT_TRUE(h.chip().streamsWrites().empty());
        EXPECT_EQ(front->lcl.lpGbl, &front->gbl);  // DirectDraw keeps the chain as it was

        h.chip().advanceToDisplay();
        const CallResult r = h.flip(front, &target);
        EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
        ASSERT_EQ(r.rval, DD_OK);
        if (k.streams) {
            ASSERT_EQ(h.chip().streamsWrites().size(), 1u);
            EXPECT_EQ(h.chip().streamsWrites()[0].reg, 0x81C0u);
            EXPECT_EQ(h.chip().streamsWrites()[0].value, kTargetOffset);
            EXPECT_TRUE(h.chip().crtcWrites().empty());
            continue;
        }
        EXPECT_EQ(h.chip().crtcStartAddress(), kTargetOffset);
        EXPECT_EQ(h.chip().crtc(0x0D), 0x00);
        EXPECT_EQ(h.chip().crtc(0x0C), 0x80);
        std::vector<uint8_t> order;
        for (const sim::CrtcWrite& w : h.chip().crtcWrites()) {
            EXPECT_FALSE(w.inRetrace);
            order.push_back(w.index);
        }
        if (c.chip.oldStartAddress) {
            EXPECT_EQ(order, (std::vector<uint8_t>{0x0D, 0x0C, 0x31, 0x51}));
            EXPECT_EQ(h.chip().crtc(0x31), 0xEF);
            EXPECT_EQ(h.chip().crtc(0x51), 0xFE);
            EXPECT_EQ(h.chip().crtc(0x69), 0xF5);
        } else {
            EXPECT_EQ(order, (std::vector<uint8_t>{0x0D, 0x0C, 0x69}));
            EXPECT_EQ(h.chip().crtc(0x69), 0xFA);
            EXPECT_EQ(h.chip().crtc(0x31), 0xFF);
        }
        // Each CRTC register is set by one word write to 0x3D4: index low, data high.
        for (const sim::RegisterWrite& w : h.chip().registerWrites())
            if (w.reg == 0x3D4 && w.bytes == 2 && (w.value & 0xFF) == 0x0C)
                EXPECT_EQ(w.value, 0x800Cu);
        EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
    }
}

TEST(VortalFlip, WaitsForTheEngineAndForThePreviousFlip) {
    Harness h(test::palettedScreen());
    Surface* front = h.primary();
    Surface* back = h.createSurfaces(sim::surfaceDesc(640, 480, DDSCAPS_BACKBUFFER)).surfaces.at(0);
    h.chip().advanceToDisplay();
    h.chip().holdStatusBits(0x200, test::msNs(1));
    EXPECT_EQ(h.flip(front, back).rval, DDERR_WASSTILLDRAWING);
    h.chip().advance(test::msNs(1));
    ASSERT_EQ(h.flip(front, back).rval, DD_OK);
    EXPECT_EQ(h.getFlipStatus(nullptr, DDGFS_ISFLIPDONE).rval, DDERR_WASSTILLDRAWING);
    EXPECT_EQ(h.flip(front, back).rval, DDERR_WASSTILLDRAWING);
    h.chip().advance(h.chip().framePeriodNs() + 1000);
    h.chip().advanceToDisplay();
    EXPECT_EQ(h.flip(front, back).rval, DD_OK);
    EXPECT_EQ(h.chip().crtcStartAddress(), 0u);  // back on the first buffer
}

TEST(VortalFlip, StreamsScreenWithTheProcessorOffMovesNothing) {
    HarnessConfig c = test::streamsScreen();
    c.chip.streamsOn = false;
    Harness h(c);
    Surface target = placed(h, kTargetOffset);
    h.chip().advanceToDisplay();
    h.chip().clearLogs();
    EXPECT_EQ(h.flip(h.primary(), &target).rval, DD_OK);
    EXPECT_TRUE(h.chip().streamsWrites().empty());
    EXPECT_TRUE(h.chip().crtcWrites().empty());
}

TEST(VortalFlip, OverlayChainMovesTheSecondaryStreamKeepingTheSourceOffset) {
    Harness h(test::streamsScreen());
    const DDPIXELFORMAT rgb565 = sim::rgbFormat(16, 0xF800, 0x7E0, 0x1F);
    const DDPIXELFORMAT rgb555 = sim::rgbFormat(16, 0x7C00, 0x3E0, 0x1F);
    (void)rgb565;
    auto chain = h.createSurfaces(sim::surfaceDesc(160, 120, DDSCAPS_OVERLAY, &rgb555), 2);
    ASSERT_EQ(chain.rval, DD_OK);
    Surface* front = chain.surfaces[0];
    Surface* back = chain.surfaces[1];
    ASSERT_EQ(h.updateOverlay(front, rect(8, 2, 168, 122), h.primary(), rect(0, 0, 160, 120), DDOVER_SHOW).rval, DD_OK);
    const uint32_t sourceOffset = (8 * 2 + 2 * 1280) & ~7u;
    h.chip().advanceToDisplay();
    h.chip().clearLogs();
    ASSERT_EQ(h.flip(front, back).rval, DD_OK);
    ASSERT_EQ(h.chip().streamsWrites().size(), 1u);
    EXPECT_EQ(h.chip().streamsWrites()[0].reg, 0x81D0u);
    EXPECT_EQ(h.chip().streamsWrites()[0].value, h.offsetOf(front) + sourceOffset);
}

}  // namespace
}  // namespace ddhal
