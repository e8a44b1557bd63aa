// Blits on surfaces whose depth differs from the screen's: for every pair of screen and surface
// depth, each operation either gives exactly the bytes it should inside the destination rectangle
// and leaves every other byte of video memory as it was, or is refused and changes nothing.
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ddhal {
namespace {

using sim::Harness;
using sim::HarnessConfig;
using sim::rect;
using sim::Surface;

HarnessConfig screenOf(uint32_t bits) {
    HarnessConfig c;
    c.chip.bitsPerPixel = bits;
    c.chip.pitch = 640 * bits / 8;
    c.capabilities = kCapsOwnFormats;
    return c;
}

DDPIXELFORMAT formatOf(uint32_t bits) {
    switch (bits) {
    case 16: return sim::rgbFormat(16, 0xF800, 0x7E0, 0x1F);
    case 24: return sim::rgbFormat(24, 0xFF0000, 0xFF00, 0xFF);
    case 32: return sim::rgbFormat(32, 0xFF0000, 0xFF00, 0xFF);
    default: return sim::palette8Format();
    }
}

enum class Op { Fill, FillUnaligned, CopyOntoItself, CopyAcross, KeyedCopy };

struct Pair {
    uint32_t screen, surface;
    bool creatable;      // the surface is accepted at all
    bool unalignedFill;  // a fill from x = 1 to 6 is possible at this depth
};

constexpr uint32_t kColour = 0x8C4A2D13;  // four different bytes
constexpr uint32_t kKey = 0x5A3C7E11;

// What the operation must leave: video memory as before, with the destination rectangle of `dest`
// (rows `pitch` apart, `bytes` per pixel) rewritten.
struct Expected {
    std::vector<uint8_t> memory;
    size_t base = 0;
    RECTL rect{};
};

void paintRandom(std::vector<uint8_t>& m) {
    uint32_t x = 2463534242u;
    for (uint8_t& b : m) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x);
    }
}

uint32_t pixelValue(const uint8_t* p, uint32_t bytes) {
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

TEST(VortalBltDepths, EveryScreenAndSurfaceDepthWritesOnlyTheDestination) {
    const Pair pairs[] = {
        {8, 8, true, true},    {8, 16, true, true},   {8, 24, true, true},   {8, 32, true, true},
        {16, 8, false, false}, {16, 16, true, true},  {16, 24, true, false}, {16, 32, true, true},
        {32, 8, false, false}, {32, 16, true, false}, {32, 24, true, false}, {32, 32, true, true},
    };
    const Op ops[] = {Op::Fill, Op::FillUnaligned, Op::CopyOntoItself, Op::CopyAcross, Op::KeyedCopy};
    const char* opNames[] = {"fill", "unaligned fill", "copy onto itself", "copy across", "keyed copy"};
    for (const Pair& p : pairs) {
        for (Op op : ops) {
            SCOPED_TRACE(std::to_string(p.surface) + "-bit surface on a " + std::to_string(p.screen) + "-bit screen, " +
                         opNames[static_cast<int>(op)]);
            Harness h(screenOf(p.screen));
            const DDPIXELFORMAT f = formatOf(p.surface);
            const DDSURFACEDESC desc =
                sim::surfaceDesc(24, 6, DDSCAPS_OFFSCREENPLAIN, p.surface == p.screen ? nullptr : &f);
            const sim::CreateResult a = h.createSurfaces(desc);
            const sim::CreateResult b = h.createSurfaces(desc);
            if (!p.creatable) {
                EXPECT_NE(a.rval, DD_OK);
                break;
            }
            ASSERT_EQ(a.rval, DD_OK);
            ASSERT_EQ(b.rval, DD_OK);
            Surface* dst = a.surfaces.at(0);
            Surface* src = b.surfaces.at(0);
            const uint32_t bytes = p.surface / 8;
            const size_t pitch = static_cast<size_t>(dst->gbl.lPitch);

            std::vector<uint8_t> memory(h.chip().videoMemory(), h.chip().videoMemory() + h.chip().videoMemorySize());
            paintRandom(memory);
            // Every third source pixel holds the key colour.
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 24; x += 3)
                    for (uint32_t i = 0; i < bytes; ++i)
                        memory[h.offsetOf(src) + y * pitch + x * bytes + i] = static_cast<uint8_t>(kKey >> (8 * i));
            std::memcpy(h.chip().videoMemory(), memory.data(), memory.size());

            Expected e{memory, h.offsetOf(dst), {}};
            auto copyRect = [&](size_t fromBase, RECTL from, RECTL to, bool keyed) {
                for (LONG y = 0; y < to.bottom - to.top; ++y)
                    for (LONG x = 0; x < to.right - to.left; ++x) {
                        const uint8_t* s = &memory[fromBase + (from.top + y) * pitch + (from.left + x) * bytes];
                        if (keyed && pixelValue(s, bytes) == (kKey & (bytes == 4 ? ~0u : (1u << (8 * bytes)) - 1)))
                            continue;
                        std::memcpy(&e.memory[e.base + (to.top + y) * pitch + (to.left + x) * bytes], s, bytes);
                    }
            };
            sim::CallResult r{};
            bool accepted = true;
            switch (op) {
            case Op::Fill:
            case Op::FillUnaligned:
                e.rect = op == Op::Fill ? rect(4, 1, 16, 5) : rect(1, 1, 6, 3);
                accepted = op == Op::Fill || p.unalignedFill;
                r = h.fill(dst, e.rect, kColour);
                for (LONG y = e.rect.top; y < e.rect.bottom; ++y)
                    for (size_t i = e.rect.left * bytes; i < e.rect.right * bytes; ++i)
                        e.memory[e.base + y * pitch + i] = static_cast<uint8_t>(kColour >> (8 * (i % bytes)));
                break;
            case Op::CopyOntoItself:
                e.rect = rect(4, 1, 20, 5);
                r = h.copy(dst, e.rect, dst, rect(0, 0, 16, 4));
                copyRect(e.base, rect(0, 0, 16, 4), e.rect, false);
                break;
            case Op::CopyAcross:
                e.rect = rect(8, 0, 16, 4);
                r = h.copy(dst, e.rect, src, rect(4, 2, 12, 6));
                copyRect(h.offsetOf(src), rect(4, 2, 12, 6), e.rect, false);
                break;
            case Op::KeyedCopy: {
                e.rect = rect(12, 2, 20, 6);
                accepted = p.surface == p.screen;
                DDBLTFX fx{};
                fx.dwROP = SRCCOPY;
                fx.ddckSrcColorkey = {kKey, kKey};
                r = h.blt(dst, e.rect, src, rect(0, 0, 8, 4), DDBLT_ROP | DDBLT_KEYSRCOVERRIDE, fx);
                copyRect(h.offsetOf(src), rect(0, 0, 8, 4), e.rect, true);
                break;
            }
            }
            if (!accepted)
                e.memory = memory;

            EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
            EXPECT_EQ(r.rval, accepted ? DD_OK : DDERR_UNSUPPORTED);
            // The whole of video memory: nothing outside the destination rectangle may change, and
            // inside it every byte must be what the operation gives.
            const uint8_t* now = h.chip().videoMemory();
            size_t outside = 0, wrong = 0;
            for (size_t i = 0; i < memory.size(); ++i) {
                const size_t rel = i - e.base;
                const bool inRect = i >= e.base && static_cast<LONG>(rel / pitch) >= e.rect.top &&
                                    static_cast<LONG>(rel / pitch) < e.rect.bottom &&
                                    rel % pitch >= e.rect.left * bytes && rel % pitch < e.rect.right * bytes;
                if (!inRect && now[i] != memory[i])
                    ++outside;
                if (now[i] != e.memory[i])
                    ++wrong;
            }
            EXPECT_EQ(outside, 0u) << "bytes changed outside the destination rectangle";
            EXPECT_EQ(wrong, 0u) << "bytes that differ from what the operation gives";
            EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
        }
    }
}

// What the engine cannot reach is refused, never drawn somewhere near it.
TEST(VortalBltDepths, RefusesWhatTheEngineCannotReach) {
    Harness h(screenOf(8));
    const DDPIXELFORMAT rgb32 = formatOf(32);
    // Rows of 161 x 4 bytes do not fit in a pitch of 640.
    EXPECT_EQ(h.createSurfaces(sim::surfaceDesc(161, 4, DDSCAPS_OFFSCREENPLAIN, &rgb32)).rval, DDERR_UNSUPPORTED);
    EXPECT_EQ(h.createSurfaces(sim::surfaceDesc(160, 4, DDSCAPS_OFFSCREENPLAIN, &rgb32)).rval, DD_OK);

    // A surface below the engine's 4096 rows, and rectangles outside their surfaces.
    Surface far;
    far.lcl.lpGbl = &far.gbl;
    far.gbl.fpVidMem = h.block().videoMemoryStart + 5000 * 640;
    far.gbl.lPitch = 640;
    far.gbl.wWidth = 64;
    far.gbl.wHeight = 8;
    Surface* s = h.createSurfaces(sim::surfaceDesc(64, 8, DDSCAPS_OFFSCREENPLAIN)).surfaces.at(0);
    const std::vector<uint8_t> before(h.chip().videoMemory(), h.chip().videoMemory() + h.chip().videoMemorySize());
    EXPECT_EQ(h.fill(&far, rect(0, 0, 4, 4), 0x77).rval, DDERR_UNSUPPORTED);
    EXPECT_EQ(h.fill(s, rect(60, 0, 65, 4), 0x77).rval, DDERR_INVALIDPARAMS);
    EXPECT_EQ(h.fill(s, rect(0, -1, 4, 4), 0x77).rval, DDERR_INVALIDPARAMS);
    EXPECT_EQ(h.copy(s, rect(0, 0, 8, 8), s, rect(0, 1, 8, 9)).rval, DDERR_INVALIDPARAMS);
    EXPECT_EQ(h.copy(s, rect(0, 0, 8, 8), s, rect(0, 0, 16, 8)).rval, DDERR_UNSUPPORTED);  // no stretching
    EXPECT_EQ(h.fill(s, rect(5, 5, 5, 8), 0x77).rval, DD_OK);  // empty: nothing to draw
    EXPECT_EQ(std::memcmp(before.data(), h.chip().videoMemory(), before.size()), 0);
    EXPECT_TRUE(h.chip().engineOps().empty());
}

}  // namespace
}  // namespace ddhal
