// Blt on the model: fills land exactly on their rectangle wherever the surface lies in video
// memory, copies onto the same surface run in the direction that keeps the picture right, keyed
// copies leave key pixels alone, and blits wait out a flip only on the surface flipped away from.
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace ddhal {
namespace {

using sim::Harness;
using sim::CallResult;
using sim::HarnessConfig;
using sim::rect;
using sim::Surface;

// A surface placed by hand at a byte offset into video memory.
Surface placedSurface(Harness& h, size_t offset, int width, int height) {
    Surface s;
    s.lcl.lpGbl = &s.gbl;
    s.gbl.fpVidMem = h.block().videoMemoryStart + offset;
    s.gbl.lPitch = static_cast<LONG>(h.block().screenPitch);
    s.gbl.wWidth = static_cast<WORD>(width);
    s.gbl.wHeight = static_cast<WORD>(height);
    return s;
}

TEST(VortalBltFill, StartsAtTheSurfacesRowPlusTheRectangleAndFillsExactlyIt) {
    struct Case {
        const char* name;
        HarnessConfig config;
        size_t offset;
        RECTL r;
        int expectX, expectY;
    };
    const HarnessConfig p8 = test::palettedScreen();
    const HarnessConfig p16 = test::streamsScreen();
    const Case cases[] = {
        {"100 lines down", p8, 100 * 640, rect(10, 5, 30, 9), 10, 105},
        {"100 lines and 64 bytes in, 8 bit", p8, 100 * 640 + 64, rect(1, 0, 4, 3), 65, 100},
        {"100 lines and 64 bytes in, 16 bit", p16, 100 * 1280 + 64, rect(0, 2, 5, 4), 32, 102},
        {"one pixel at the origin", p8, 0, rect(0, 0, 1, 1), 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Harness h(k.config);
        Surface s = placedSurface(h, k.offset, 100, 20);
        const CallResult r = h.fill(&s, k.r, 0xBEEF);
        EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
        EXPECT_EQ(r.rval, DD_OK);
        ASSERT_EQ(h.chip().engineOps().size(), 1u);
        const sim::EngineOp& op = h.chip().engineOps()[0];
        EXPECT_EQ(op.kind, sim::EngineOp::Fill);
        EXPECT_EQ(op.dstX, k.expectX);
        EXPECT_EQ(op.dstY, k.expectY);
        EXPECT_EQ(op.width, k.r.right - k.r.left);
        EXPECT_EQ(op.height, k.r.bottom - k.r.top);

        // Exactly the rectangle changed, with the colour's low bits in every pixel.
        const int bytes = static_cast<int>(k.config.chip.bitsPerPixel / 8);
        const uint8_t* vram = h.chip().videoMemory();
        size_t changed = 0;
        for (size_t i = 0; i < h.chip().videoMemorySize(); ++i) {
            if (!vram[i])
                continue;
            ++changed;
            const size_t rel = i - k.offset;
            const int x = static_cast<int>((rel % k.config.chip.pitch) / bytes);
            const int y = static_cast<int>(rel / k.config.chip.pitch);
            ASSERT_TRUE(x >= k.r.left && x < k.r.right && y >= k.r.top && y < k.r.bottom) << "byte " << i;
            ASSERT_EQ(vram[i], (i - k.offset) % bytes == 0 ? 0xEF : 0xBE);
        }
        EXPECT_EQ(changed, static_cast<size_t>((k.r.right - k.r.left) * (k.r.bottom - k.r.top) * bytes));
        EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
    }
}

void paintPattern(Harness& h, Surface* s, int width, int height) {
    uint8_t* p = h.pixels(s);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[static_cast<size_t>(y) * s->gbl.lPitch + x] = static_cast<uint8_t>(1 + (x * 7 + y * 13) % 251);
}

// Copying a surface onto itself: the result must equal a copy made from an untouched snapshot, and
// the engine must run backwards exactly when the destination lies lower, or on the same row further
// right.
TEST(VortalBltCopy, ScrollingOntoItselfGivesTheRightPictureInTheRightDirection) {
    struct Case {
        const char* name;
        RECTL src, dst;
        bool backwards;
    };
    const Case cases[] = {
        {"down one line", rect(0, 0, 64, 31), rect(0, 1, 64, 32), true},
        {"up one line", rect(0, 1, 64, 32), rect(0, 0, 64, 31), false},
        {"right one pixel", rect(0, 0, 63, 32), rect(1, 0, 64, 32), true},
        {"left one pixel", rect(1, 0, 64, 32), rect(0, 0, 63, 32), false},
        {"down and left", rect(5, 0, 60, 20), rect(2, 3, 57, 23), true},
        {"up and right", rect(0, 5, 50, 25), rect(4, 2, 54, 22), false},
        {"apart", rect(0, 0, 10, 10), rect(20, 20, 30, 30), false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Harness h(test::palettedScreen());
        auto made = h.createSurfaces(sim::surfaceDesc(64, 32, DDSCAPS_OFFSCREENPLAIN));
        ASSERT_EQ(made.surfaces.size(), 1u);
        Surface* s = made.surfaces[0];
        paintPattern(h, s, 64, 32);
        const LONG pitch = s->gbl.lPitch;
        std::vector<uint8_t> before(h.pixels(s), h.pixels(s) + 32 * pitch);
        std::vector<uint8_t> expected = before;
        const int w = k.dst.right - k.dst.left, hgt = k.dst.bottom - k.dst.top;
        for (int y = 0; y < hgt; ++y)
            for (int x = 0; x < w; ++x)
                expected[(k.dst.top + y) * pitch + k.dst.left + x] = before[(k.src.top + y) * pitch + k.src.left + x];

        const CallResult r = h.copy(s, k.dst, s, k.src);
        EXPECT_EQ(r.rval, DD_OK);
        ASSERT_EQ(h.chip().engineOps().size(), 1u);
        const sim::EngineOp& op = h.chip().engineOps()[0];
        EXPECT_EQ(op.increasingX, !k.backwards);
        EXPECT_EQ(op.increasingY, !k.backwards);
        const int rowBase = static_cast<int>(h.offsetOf(s) / pitch);
        EXPECT_EQ(op.dstX, k.backwards ? k.dst.right - 1 : k.dst.left);
        EXPECT_EQ(op.dstY, rowBase + (k.backwards ? k.dst.bottom - 1 : k.dst.top));
        EXPECT_EQ(op.srcY, rowBase + (k.backwards ? k.src.bottom - 1 : k.src.top));
        EXPECT_EQ(std::memcmp(h.pixels(s), expected.data(), expected.size()), 0);
    }
}

TEST(VortalBltCopy, KeyedCopyLeavesKeyPixelsAndEndsWithTheOnePixelCopyAtTheOrigin) {
    Harness h(test::palettedScreen());
    auto sprite = h.createSurfaces(sim::surfaceDesc(16, 8, DDSCAPS_OFFSCREENPLAIN)).surfaces.at(0);
    uint8_t* sp = h.pixels(sprite);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            sp[y * 640 + x] = (x + y) % 3 == 0 ? 0xE3 : static_cast<uint8_t>(0x10 + x);
    uint8_t* screen = h.pixels(h.primary());
    std::memset(screen, 0x55, 640 * 20);
    screen[0] = 0x42;

    DDBLTFX fx{};
    fx.dwROP = SRCCOPY;
    fx.ddckSrcColorkey = {0xE3, 0xE3};
    const CallResult r = h.blt(h.primary(), rect(100, 4, 116, 12), sprite, rect(0, 0, 16, 8),
                               DDBLT_ROP | DDBLT_KEYSRCOVERRIDE, fx);
    EXPECT_EQ(r.rval, DD_OK);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(screen[(4 + y) * 640 + 100 + x], (x + y) % 3 == 0 ? 0x55 : 0x10 + x) << x << "," << y;

    const auto& ops = h.chip().engineOps();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_TRUE(ops[0].colourCompare);
    EXPECT_EQ(ops[0].colour, 0xE3u);
    const sim::EngineOp& last = ops[1];
    EXPECT_EQ(last.kind, sim::EngineOp::Copy);
    EXPECT_FALSE(last.colourCompare);
    EXPECT_EQ(last.srcX | last.srcY | last.dstX | last.dstY, 0);
    EXPECT_EQ(last.width, 1);
    EXPECT_EQ(last.height, 1);
    EXPECT_EQ(screen[0], 0x42);
}

TEST(VortalBlt, RefusalsAndDeclines) {
    struct Case {
        const char* name;
        DWORD flags;
        DWORD rop;
        bool yuvDest;
        uint16_t heldBits;
        DWORD handled;
        HRESULT rval;
        size_t ops;
    };
    const Case cases[] = {
        {"YUY2 destination", DDBLT_COLORFILL, 0, true, 0, DDHAL_DRIVER_NOTHANDLED, DDERR_UNSUPPORTED, 0},
        {"async while the FIFO is full", DDBLT_COLORFILL | DDBLT_ASYNC, 0, false, 0x800, DDHAL_DRIVER_HANDLED,
         DDERR_WASSTILLDRAWING, 0},
        {"waits out the FIFO when not async", DDBLT_COLORFILL, 0, false, 0x8000, DDHAL_DRIVER_HANDLED, DD_OK, 1},
        {"neither fill nor raster operation", 0, 0, false, 0, DDHAL_DRIVER_NOTHANDLED, DD_OK, 0},
        {"raster operation other than SRCCOPY", DDBLT_ROP, PATCOPY, false, 0, DDHAL_DRIVER_HANDLED, DD_OK, 0},
        {"SRCCOPY", DDBLT_ROP, SRCCOPY, false, 0, DDHAL_DRIVER_HANDLED, DD_OK, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HarnessConfig c = test::streamsScreen();
        Harness h(c);
        sim::Surface* dest = h.primary();
        if (k.yuvDest) {
            const DDPIXELFORMAT yuy2 = sim::fourccFormat(FOURCC_YUY2);
            dest = h.createSurfaces(sim::surfaceDesc(32, 8, DDSCAPS_OVERLAY, &yuy2)).surfaces.at(0);
        }
        sim::Surface* src = h.createSurfaces(sim::surfaceDesc(32, 8, DDSCAPS_OFFSCREENPLAIN)).surfaces.at(0);
        if (k.heldBits)
            h.chip().holdStatusBits(k.heldBits, test::msNs(0.5));
        DDBLTFX fx{};
        fx.dwROP = k.rop;
        fx.dwFillColor = 0x1234;
        const CallResult r = h.blt(dest, rect(0, 0, 8, 8), src, rect(0, 0, 8, 8), k.flags, fx);
        EXPECT_EQ(r.handled, k.handled);
        EXPECT_EQ(r.rval, k.rval);
        EXPECT_EQ(h.chip().engineOps().size(), k.ops);
    }
}

// After a flip, the memory that was on show may still be scanned out: a blit there waits until a
// whole retrace has been seen after a look at the display period, or a frame period has passed.
class VortalBltAfterFlip : public testing::Test {
protected:
    void SetUp() override {
        front = h.primary();
        back = h.createSurfaces(sim::surfaceDesc(640, 480, DDSCAPS_BACKBUFFER)).surfaces.at(0);
        other = h.createSurfaces(sim::surfaceDesc(64, 64, DDSCAPS_OFFSCREENPLAIN)).surfaces.at(0);
        period = h.chip().framePeriodNs();
        h.chip().advanceToDisplay();
        h.chip().advance(period / 2);  // mid-frame, so a retrace comes before a frame period is up
        ASSERT_EQ(h.flip(front, back).rval, DD_OK);
        ASSERT_EQ(h.offsetOf(back), 0u);  // the back buffer now names the memory flipped away from
    }
    HRESULT fillBack() { return h.fill(back, rect(0, 0, 4, 4), 1).rval; }

    Harness h{test::palettedScreen()};
    Surface* front = nullptr;
    Surface* back = nullptr;
    Surface* other = nullptr;
    int64_t period = 0;
};

TEST_F(VortalBltAfterFlip, OtherSurfacesAreNotHeldBack) {
    EXPECT_EQ(h.fill(other, rect(0, 0, 4, 4), 1).rval, DD_OK);
    EXPECT_EQ(h.fill(front, rect(0, 0, 4, 4), 1).rval, DD_OK);
    EXPECT_EQ(fillBack(), DDERR_WASSTILLDRAWING);
}

TEST_F(VortalBltAfterFlip, AWholeRetraceEndsTheWait) {
    EXPECT_EQ(fillBack(), DDERR_WASSTILLDRAWING);  // display period seen
    h.chip().advanceToRetraceStart();
    EXPECT_EQ(fillBack(), DDERR_WASSTILLDRAWING);  // retrace seen
    h.chip().advanceToDisplay();
    EXPECT_LT(h.chip().clock().now() % period, period / 50);
    EXPECT_EQ(fillBack(), DD_OK);
    EXPECT_EQ(h.chip().engineOps().size(), 1u);
}

TEST_F(VortalBltAfterFlip, ARetraceNotPrecededByALookAtTheDisplayDoesNotCount) {
    h.chip().advanceToRetraceStart();
    EXPECT_EQ(fillBack(), DDERR_WASSTILLDRAWING);
    h.chip().advanceToDisplay();
    EXPECT_EQ(fillBack(), DDERR_WASSTILLDRAWING);
}

TEST_F(VortalBltAfterFlip, OneFramePeriodEndsTheWait) {
    EXPECT_EQ(fillBack(), DDERR_WASSTILLDRAWING);
    h.chip().advance(period * 4 / 10);  // still before the retrace
    EXPECT_EQ(fillBack(), DDERR_WASSTILLDRAWING);
    h.chip().advance(period * 7 / 10);  // past the retrace, unseen; more than a period since the flip
    EXPECT_EQ(fillBack(), DD_OK);
}

}  // namespace
}  // namespace ddhal
