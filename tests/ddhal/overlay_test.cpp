// UpdateOverlay, SetOverlayPosition and SetColorKey on the streams processor of the model: the
// register values computed for each case, loaded only for the overlay on show and only during a
// retrace, and the record kept with the overlay surface.
#include "ddhal/overlay_record.h"
#include "ddhal/sim/frame_render.h"
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace ddhal {
namespace {

using sim::Harness;
using sim::CallResult;
using sim::HarnessConfig;
using sim::rect;
using sim::Surface;

const DDPIXELFORMAT kYuy2 = sim::fourccFormat(FOURCC_YUY2);
const DDPIXELFORMAT k555 = sim::rgbFormat(16, 0x7C00, 0x3E0, 0x1F);
const DDPIXELFORMAT k565 = sim::rgbFormat(16, 0xF800, 0x7E0, 0x1F);
const DDPIXELFORMAT k888 = sim::rgbFormat(24, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT k8888 = sim::rgbFormat(32, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT k444 = sim::rgbFormat(16, 0xF00, 0xF0, 0xF);
const DDPIXELFORMAT kUyvy = sim::fourccFormat(0x59565955);
const DDPIXELFORMAT kPal8 = sim::palette8Format();

using Writes = std::vector<std::pair<uint32_t, uint32_t>>;

Writes streamsWrites(const sim::S3Chip& chip, bool mustBeInRetrace = true) {
    Writes w;
    for (const sim::StreamsWrite& s : chip.streamsWrites()) {
        if (mustBeInRetrace) {
            EXPECT_TRUE(s.inRetrace) << std::hex << s.reg;
            EXPECT_LT(s.sinceRetraceStart, 200000) << std::hex << s.reg;  // early in the retrace
        }
        w.emplace_back(s.reg, s.value);
    }
    return w;
}

Surface* overlaySurface(Harness& h, int width, int height, const DDPIXELFORMAT& f, DWORD extraCaps = 0) {
    auto made = h.createSurfaces(sim::surfaceDesc(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                                  DDSCAPS_OVERLAY | extraCaps, &f));
    EXPECT_EQ(made.rval, DD_OK);
    return made.surfaces.empty() ? nullptr : made.surfaces[0];
}

TEST(VortalUpdateOverlay, Yuy2QuarterSizeShownFullScreenWithDestinationKey) {
    Harness h(test::streamsScreen());
    Surface* video = overlaySurface(h, 320, 240, kYuy2);
    ASSERT_EQ(video->gbl.lPitch, 640);
    h.primary()->lcl.ddckCKDestOverlay = {0xF81F, 0xF81F};
    h.chip().clearLogs();
    const CallResult r = h.updateOverlay(video, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 640, 480),
                                         DDOVER_SHOW | DDOVER_KEYDEST);
    EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
    ASSERT_EQ(r.rval, DD_OK);
    const auto base = static_cast<uint32_t>(h.offsetOf(video));
    const Writes expected = {
        {0x81D0, base},
        {0x81F8, 0x00010001},
        {0x81FC, 639u << 16 | 480},
        {0x81D8, 640u << 16 | 1280},                    // secondary stride high, the screen's low
        {0x8190, 2u << 28 | 1u << 24 | 0xFFF},            // filter 2, YUY2, accumulator 0xFFF
        {0x8198, ((320u - 640) & 0x7FF) << 16 | 319},
        {0x81E0, 239},
        {0x81E4, (240u - 480) & 0x7FF},
        {0x81E8, (1u - 480) & 0xFFF},
        {0x8184, 0x17F800F8},                             // 5-6-5 magenta at the top of each byte
        {0x8194, 0x00F800F8},
        {0x81A0, 0x05000000},
        {0x81EC, 0x294C | 0x10000 | 0x40000},
    };
    EXPECT_EQ(streamsWrites(h.chip()), expected);
    EXPECT_TRUE(h.chip().faults().empty()) << h.chip().faults().front();
}

// One register field per case: filter, source format code, the displayed start of the stream.
TEST(VortalUpdateOverlay, GeometryAndFormats) {
    struct Case {
        const char* name;
        const DDPIXELFORMAT* format;
        int surfaceW;
        RECTL src, dst;
        HRESULT rval;
        uint32_t control;  // expected 0x8190
        uint32_t start;    // expected 0x81D0 minus the surface offset
    };
    const Case cases[] = {
        {"same size: no filter", &kYuy2, 320, rect(0, 0, 320, 240), rect(10, 10, 330, 250), DD_OK, 1u << 24 | 319, 0},
        {"4x wider: filter 3", &kYuy2, 320, rect(0, 0, 100, 50), rect(0, 0, 400, 50), DD_OK,
         3u << 28 | 1u << 24 | ((200u - 400 - 1) & 0xFFF), 0},
        {"taller only: filter 1", &k565, 320, rect(0, 0, 100, 50), rect(0, 0, 100, 100), DD_OK,
         1u << 28 | 5u << 24 | 99, 0},
        {"5-5-5, start rounded to 8 bytes", &k555, 320, rect(5, 2, 105, 52), rect(0, 0, 100, 50), DD_OK,
         3u << 24 | 99, (10 + 2 * 1280) & ~7u},
        {"24-bit from x = 5: back to the 8-pixel boundary", &k888, 320, rect(5, 3, 105, 53), rect(0, 0, 100, 50),
         DD_OK, 6u << 24 | 99, 3 * 5 + 3 * 1280 - 15},
        {"32-bit", &k8888, 320, rect(4, 0, 104, 50), rect(0, 0, 100, 50), DD_OK, 7u << 24 | 99, 16},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Harness h(test::streamsScreen());
        Surface* s = overlaySurface(h, k.surfaceW, 240, *k.format);
        ASSERT_NE(s, nullptr);
        h.chip().clearLogs();
        const CallResult r = h.updateOverlay(s, k.src, h.primary(), k.dst, DDOVER_SHOW);
        EXPECT_EQ(r.rval, k.rval);
        if (k.rval != DD_OK) {
            EXPECT_TRUE(h.chip().streamsWrites().empty());
            continue;
        }
        EXPECT_EQ(h.chip().streams(0x8190), k.control);
        EXPECT_EQ(h.chip().streams(0x81D0), h.offsetOf(s) + k.start);
        // Without a key or a per-pixel alpha the key registers are left alone.
        for (const auto& [reg, value] : streamsWrites(h.chip()))
            EXPECT_TRUE(reg != 0x8184 && reg != 0x8194) << std::hex << reg;
    }
}

TEST(VortalUpdateOverlay, SourcesTheStreamCannotReadAreRefused) {
    HarnessConfig c = test::streamsScreen();
    c.capabilities = 2;  // lets the test build surfaces CanCreateSurface would turn down
    Harness h(c);
    for (const DDPIXELFORMAT* f : {&kPal8, &kUyvy, &k444}) {
        Surface s;
        s.lcl.lpGbl = &s.gbl;
        s.lcl.dwFlags = DDRAWISURF_HASPIXELFORMAT;
        s.gbl.ddpfSurface = *f;
        s.gbl.fpVidMem = h.block().videoMemoryStart + 600 * 1280;
        s.gbl.lPitch = 640;
        EXPECT_EQ(h.updateOverlay(&s, rect(0, 0, 8, 8), h.primary(), rect(0, 0, 8, 8), DDOVER_SHOW).rval,
                  DDERR_INVALIDPIXELFORMAT);
        h.destroySurface(&s);
    }
}

TEST(VortalUpdateOverlay, KeyAndAlphaFlags) {
    struct Case {
        const char* name;
        DWORD flags;
        DDCOLORKEY srcKey;   // overlay effects source key
        DDCOLORKEY destKey;  // overlay effects destination key
        DWORD alphaSrc, alphaDest;
        HRESULT rval;
        uint32_t keyControl, upper, blend;
        bool keyWritten;
    };
    const Case cases[] = {
        {"KEYSRC with ALPHASRC", DDOVER_KEYSRC | DDOVER_ALPHASRC, {}, {}, 0, 0, DDERR_INVALIDPARAMS, 0, 0, 0, false},
        {"KEYDEST with ALPHADESTCONSTOVERRIDE", DDOVER_KEYDEST | DDOVER_ALPHADESTCONSTOVERRIDE, {}, {}, 0, 0,
         DDERR_INVALIDPARAMS, 0, 0, 0, false},
        {"destination key range", DDOVER_KEYDESTOVERRIDE, {}, {0x0010, 0x0020}, 0, 0, DDERR_INVALIDPARAMS, 0, 0, 0,
         false},
        {"destination key, one colour", DDOVER_KEYDESTOVERRIDE, {}, {0xFF00001F, 0x1F}, 0, 0, DD_OK, 0x170000F8, 0xF8,
         0x05000000, true},
        {"source key range in YUY2", DDOVER_KEYSRCOVERRIDE, {0x00108010, 0x00EB80EB}, {}, 0, 0, DD_OK,
         (0x00108010u ^ 0xFF008080) | 0x17000000, 0x00EB80EBu ^ 0xFF008080, 0x06000000, true},
        {"alpha from the source", DDOVER_ALPHASRC, {}, {}, 0, 0, DD_OK, 0, 0, 0x06000000, true},
        {"alpha from the destination", DDOVER_ALPHADEST, {}, {}, 0, 0, DD_OK, 0, 0, 0x05000000, true},
        {"constant alpha", DDOVER_ALPHASRCCONSTOVERRIDE, {}, {}, 3, 0, DD_OK, 0, 0, 0x02000001, false},
        {"constant destination alpha 0", DDOVER_ALPHADESTCONSTOVERRIDE, {}, {}, 0, 8, DD_OK, 0, 0, 0, false},
        {"constant destination alpha 5", DDOVER_ALPHADESTCONSTOVERRIDE, {}, {}, 0, 5, DD_OK, 0, 0, 0x02000001, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Harness h(test::streamsScreen());
        Surface* s = overlaySurface(h, 320, 240, kYuy2);
        h.chip().clearLogs();
        DDOVERLAYFX fx{};
        fx.dckSrcColorkey = k.srcKey;
        fx.dckDestColorkey = k.destKey;
        fx.dwAlphaSrcConst = k.alphaSrc;
        fx.dwAlphaDestConst = k.alphaDest;
        const CallResult r = h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 320, 240),
                                             DDOVER_SHOW | k.flags, fx);
        EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
        EXPECT_EQ(r.rval, k.rval);
        if (k.rval != DD_OK) {
            EXPECT_TRUE(h.chip().streamsWrites().empty());
            continue;
        }
        EXPECT_EQ(h.chip().streams(0x81A0), k.blend);
        bool keyWritten = false;
        for (const auto& [reg, value] : streamsWrites(h.chip()))
            keyWritten |= reg == 0x8184 || reg == 0x8194;
        EXPECT_EQ(keyWritten, k.keyWritten);
        if (k.keyWritten) {
            EXPECT_EQ(h.chip().streams(0x8184), k.keyControl);
            EXPECT_EQ(h.chip().streams(0x8194), k.upper);
        }
    }
}

TEST(VortalUpdateOverlay, ZeroSourceAlphaHidesTheOverlay) {
    Harness h(test::streamsScreen());
    Surface* s = overlaySurface(h, 320, 240, kYuy2);
    ASSERT_EQ(h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 320, 240), DDOVER_SHOW).rval, DD_OK);
    h.chip().clearLogs();
    DDOVERLAYFX fx{};
    fx.dwAlphaSrcConst = 8;  // only the low three bits count
    EXPECT_EQ(h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 320, 240),
                              DDOVER_ALPHASRCCONSTOVERRIDE, fx).rval,
              DD_OK);
    EXPECT_EQ(streamsWrites(h.chip()), (Writes{{0x81A0, 0x01000000}, {0x81FC, 0x00090002}, {0x81DC, 0}}));
}

TEST(VortalUpdateOverlay, HideStopsTheStreamAndLaterUpdatesLoadNothing) {
    Harness h(test::streamsScreen());
    Surface* s = overlaySurface(h, 320, 240, kYuy2);
    ASSERT_EQ(h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 640, 480), DDOVER_SHOW).rval, DD_OK);
    h.chip().clearLogs();
    EXPECT_EQ(h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 640, 480), DDOVER_HIDE).rval, DD_OK);
    EXPECT_EQ(streamsWrites(h.chip()), (Writes{{0x81A0, 0x01000000}, {0x81FC, 0x00090002}, {0x81DC, 0}}));

    h.chip().clearLogs();
    EXPECT_EQ(h.updateOverlay(s, rect(0, 0, 160, 120), h.primary(), rect(0, 0, 640, 480), 0).rval, DD_OK);
    EXPECT_TRUE(h.chip().streamsWrites().empty());
    // The record was still brought up to date for the next SHOW.
    const auto* record = reinterpret_cast<const OverlayRecord*>(s->gbl.dwReserved1);
    EXPECT_EQ(record->horizontalStretch, ((160u - 640) & 0x7FF) << 16 | 159);
    EXPECT_EQ(record->sourceSurface, &s->lcl);
}

TEST(VortalUpdateOverlay, SecondOrdinaryOverlayIsOutOfCapsAndLiveVideoTakesOver) {
    Harness h(test::streamsScreen());
    Surface* first = overlaySurface(h, 320, 240, kYuy2);
    Surface* second = overlaySurface(h, 320, 240, kYuy2);
    Surface* live = overlaySurface(h, 320, 240, kYuy2, DDSCAPS_LIVEVIDEO);
    ASSERT_EQ(h.updateOverlay(first, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 320, 240), DDOVER_SHOW).rval,
              DD_OK);
    EXPECT_TRUE(first->lcl.ddsCaps.dwCaps & DDSCAPS_VISIBLE);

    h.chip().clearLogs();
    EXPECT_EQ(h.updateOverlay(second, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 320, 240), DDOVER_SHOW).rval,
              DDERR_OUTOFCAPS);
    EXPECT_TRUE(h.chip().streamsWrites().empty());
    EXPECT_EQ(h.chip().streams(0x81D0), h.offsetOf(first));

    EXPECT_EQ(h.updateOverlay(live, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 320, 240), DDOVER_SHOW).rval, DD_OK);
    EXPECT_FALSE(first->lcl.ddsCaps.dwCaps & DDSCAPS_VISIBLE);
    EXPECT_EQ(h.chip().streams(0x81D0), h.offsetOf(live));

    // The first is no longer on show: updating it loads nothing.
    h.chip().clearLogs();
    EXPECT_EQ(h.updateOverlay(first, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 100, 100), 0).rval, DD_OK);
    EXPECT_TRUE(h.chip().streamsWrites().empty());
}

// A SHOW refused for its key takes nothing: the stream stays free for the next overlay, and a
// refused takeover leaves the one on show as it was.
TEST(VortalUpdateOverlay, ARefusedShowLeavesTheStreamAsItWas) {
    Harness h(test::streamsScreen());
    Surface* first = overlaySurface(h, 64, 64, k565);
    Surface* second = overlaySurface(h, 64, 64, k565);
    Surface* live = overlaySurface(h, 64, 64, k565, DDSCAPS_LIVEVIDEO);
    DDOVERLAYFX range{};
    range.dckDestColorkey = {0x0000, 0x001F};  // a destination key must be one colour
    h.chip().clearLogs();
    EXPECT_EQ(h.updateOverlay(first, rect(0, 0, 64, 64), h.primary(), rect(0, 0, 64, 64),
                              DDOVER_SHOW | DDOVER_KEYDESTOVERRIDE, range).rval,
              DDERR_INVALIDPARAMS);
    EXPECT_TRUE(h.chip().streamsWrites().empty());
    EXPECT_EQ(h.updateOverlay(second, rect(0, 0, 64, 64), h.primary(), rect(0, 0, 64, 64), DDOVER_SHOW).rval, DD_OK);
    EXPECT_EQ(h.chip().streams(0x81D0), h.offsetOf(second));

    EXPECT_EQ(h.updateOverlay(live, rect(0, 0, 64, 64), h.primary(), rect(0, 0, 64, 64),
                              DDOVER_SHOW | DDOVER_KEYDESTOVERRIDE, range).rval,
              DDERR_INVALIDPARAMS);
    EXPECT_TRUE(second->lcl.ddsCaps.dwCaps & DDSCAPS_VISIBLE);
    EXPECT_EQ(h.chip().streams(0x81D0), h.offsetOf(second));
    // Still the one on show: its updates are loaded.
    h.chip().clearLogs();
    EXPECT_EQ(h.updateOverlay(second, rect(0, 0, 64, 64), h.primary(), rect(8, 8, 72, 72), 0).rval, DD_OK);
    EXPECT_FALSE(h.chip().streamsWrites().empty());
}

// Destroying the overlay on show stops the stream first (in a retrace), so it never scans memory
// that DirectDraw hands out again; the next frame shows only the screen.
TEST(VortalOverlayRecord, DestroyingTheVisibleOverlayHidesIt) {
    Harness h(test::streamsScreen());
    Surface* video = overlaySurface(h, 64, 64, k565);
    uint8_t* p = h.pixels(video);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            p[static_cast<size_t>(y) * video->gbl.lPitch + x] = 0xFF;
    ASSERT_EQ(h.updateOverlay(video, rect(0, 0, 64, 64), h.primary(), rect(0, 0, 64, 64), DDOVER_SHOW).rval, DD_OK);
    h.chip().advanceToRetraceStart();
    h.chip().advanceToDisplay();
    EXPECT_EQ(sim::renderVisibleFrame(h.chip()).at(10, 10), 0xF8FCF8u);

    h.chip().clearLogs();
    EXPECT_EQ(h.destroySurface(video).rval, DD_OK);
    EXPECT_EQ(streamsWrites(h.chip()), (Writes{{0x81A0, 0x01000000}, {0x81FC, 0x00090002}, {0x81DC, 0}}));
    h.chip().advanceToRetraceStart();
    h.chip().advanceToDisplay();
    EXPECT_EQ(sim::renderVisibleFrame(h.chip()).at(10, 10), 0u);
    EXPECT_FALSE(sim::overlayWindow(h.chip()));
}

TEST(VortalUpdateOverlay, StreamsProcessorOffLoadsNothing) {
    HarnessConfig c = test::streamsScreen();
    c.chip.streamsOn = false;
    Harness h(c);
    Surface* s = overlaySurface(h, 320, 240, kYuy2);
    h.chip().clearLogs();
    EXPECT_EQ(h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 640, 480), DDOVER_SHOW).rval, DD_OK);
    EXPECT_TRUE(h.chip().streamsWrites().empty());
}

TEST(VortalUpdateOverlay, OutOfMemoryWhenTheSharedHeapRefuses) {
    Harness h(test::streamsScreen());
    Surface* s = overlaySurface(h, 320, 240, kYuy2);
    h.host().failAllocations(true);
    EXPECT_EQ(h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 640, 480), DDOVER_SHOW).rval,
              DDERR_OUTOFMEMORY);
    EXPECT_EQ(s->gbl.dwReserved1, 0u);
}

TEST(VortalSetOverlayPosition, MovesTheWindowDuringRetrace) {
    Harness h(test::streamsScreen());
    Surface* s = overlaySurface(h, 320, 240, kYuy2);
    ASSERT_EQ(h.updateOverlay(s, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 320, 240), DDOVER_SHOW).rval, DD_OK);
    h.chip().clearLogs();
    const CallResult r = h.setOverlayPosition(s, h.primary(), 100, 37);
    EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
    EXPECT_EQ(r.rval, DD_OK);
    EXPECT_EQ(streamsWrites(h.chip()), (Writes{{0x81F8, 101u << 16 | 38}}));
    EXPECT_EQ(reinterpret_cast<const OverlayRecord*>(s->gbl.dwReserved1)->windowStart, 101u << 16 | 38);
}

TEST(VortalSetColorKey, ConversionByFormat) {
    struct Case {
        const char* name;
        uint32_t screenBits;
        const DDPIXELFORMAT* own;  // null: the screen's format
        DWORD flags;
        DDCOLORKEY key;
        HRESULT rval;
        uint32_t keyControl, upper, blend;
    };
    DDPIXELFORMAT noFlags{};
    noFlags.dwSize = sizeof noFlags;
    const Case cases[] = {
        {"blit key: nothing to do", 16, nullptr, DDCKEY_SRCBLT, {1, 1}, DD_OK, 0, 0, 0},
        {"no overlay key flag", 16, nullptr, DDCKEY_DESTBLT, {1, 1}, DDERR_UNSUPPORTED, 0, 0, 0},
        {"5-6-5 destination", 16, nullptr, DDCKEY_DESTOVERLAY, {0xF81F, 0xF81F}, DD_OK, 0x14F800F8, 0xF800F8,
         0x05000000},
        {"5-5-5 source", 16, &k555, DDCKEY_SRCOVERLAY, {0x7C00, 0x7FFF}, DD_OK, 0x14F80000, 0xF8F8F8, 0x06000000},
        {"palette entry 7", 8, nullptr, DDCKEY_DESTOVERLAY, {7, 9}, DD_OK, 0x15FC8004, 0xFC8004, 0x05000000},
        {"24-bit", 16, &k888, DDCKEY_SRCOVERLAY, {0x123456, 0x123456}, DD_OK, 0x17123456, 0x123456, 0x06000000},
        {"YUY2", 16, &kYuy2, DDCKEY_SRCOVERLAY, {0x00108010, 0x00EB80EB}, DD_OK, (0x00108010u ^ 0xFF008080) | 0x10000000,
         0x00EB80EBu ^ 0xFF008080, 0x06000000},
        {"4-4-4", 16, &k444, DDCKEY_SRCOVERLAY, {1, 1}, DDERR_UNSUPPORTED, 0, 0, 0},
        {"other FOURCC", 16, &kUyvy, DDCKEY_SRCOVERLAY, {1, 1}, DDERR_UNSUPPORTED, 0, 0, 0},
        {"no format flags: as given", 16, &noFlags, DDCKEY_SRCOVERLAY, {0x0ABCDE, 0x0ABCDF}, DD_OK, 0x100ABCDE,
         0x0ABCDF, 0x06000000},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HarnessConfig c = test::streamsScreen();
        c.chip.bitsPerPixel = k.screenBits;
        c.chip.pitch = 640 * k.screenBits / 8;
        Harness h(c);
        h.chip().setPaletteEntry(7, 63, 32, 1);
        Surface s;
        s.lcl.lpGbl = &s.gbl;
        if (k.own) {
            s.lcl.dwFlags = DDRAWISURF_HASPIXELFORMAT;
            s.gbl.ddpfSurface = *k.own;
        }
        h.chip().clearLogs();
        const CallResult r = h.setColorKey(&s, k.flags, k.key);
        EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
        EXPECT_EQ(r.rval, k.rval);
        if (k.rval != DD_OK || k.flags == DDCKEY_SRCBLT) {
            EXPECT_TRUE(h.chip().streamsWrites().empty());
            continue;
        }
        EXPECT_EQ(streamsWrites(h.chip()), (Writes{{0x81A0, k.blend}, {0x8184, k.keyControl}, {0x8194, k.upper}}));
    }
}

// The destination of an overlay refers to its source; a key set on the destination reaches the
// source's record, and destroying either surface frees exactly the one record.
TEST(VortalOverlayRecord, DestinationKeyReachesTheSourceRecordAndDestroyFreesOnlyRecords) {
    Harness h(test::streamsScreen());
    Surface* video = overlaySurface(h, 320, 240, kYuy2);
    ASSERT_EQ(h.updateOverlay(video, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 640, 480), DDOVER_SHOW).rval,
              DD_OK);
    EXPECT_EQ(h.host().liveHeapBlocks(), 1u);
    EXPECT_EQ(h.primary()->gbl.dwReserved1, reinterpret_cast<ULONG_PTR>(&video->lcl));
    ASSERT_EQ(h.setColorKey(h.primary(), DDCKEY_DESTOVERLAY, {0x001F, 0x001F}).rval, DD_OK);
    const auto* record = reinterpret_cast<const OverlayRecord*>(video->gbl.dwReserved1);
    ASSERT_TRUE(h.host().ownsHeapBlock(reinterpret_cast<const uint8_t*>(record) - sizeof(void*)));
    EXPECT_EQ(record->keyControl, 0x140000F8u);
    EXPECT_EQ(record->blendControl, 0x05000000u);

    EXPECT_EQ(h.destroySurface(h.primary()).handled, DDHAL_DRIVER_NOTHANDLED);
    EXPECT_EQ(h.host().liveHeapBlocks(), 1u);
    EXPECT_EQ(h.host().badFrees(), 0);
    EXPECT_EQ(h.destroySurface(video).rval, DD_OK);
    EXPECT_EQ(h.host().liveHeapBlocks(), 0u);
    EXPECT_EQ(h.host().badFrees(), 0);
    EXPECT_EQ(video->gbl.dwReserved1, 0u);

    // The destroyed overlay is no longer on show: a new ordinary overlay may be shown.
    Surface* next = overlaySurface(h, 320, 240, kYuy2);
    EXPECT_EQ(h.updateOverlay(next, rect(0, 0, 320, 240), h.primary(), rect(0, 0, 640, 480), DDOVER_SHOW).rval, DD_OK);
}

}  // namespace
}  // namespace ddhal
