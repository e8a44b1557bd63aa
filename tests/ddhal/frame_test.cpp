// What the monitor shows: frames composed by the model from the registers the driver loaded, checked
// pixel by pixel. Overlay scaling, filtering, placement, colour keys in RGB and YUV, and a flip that
// shows only from the frame after the retrace.
#include "ddhal/sim/frame_render.h"
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace ddhal {
namespace {

using sim::Harness;
using sim::HarnessConfig;
using sim::rect;
using sim::RgbImage;
using sim::Surface;

struct Yuv {
    uint8_t y, u, v;
    uint32_t rgb;  // what the colour is, for the eye
};

// Studio-range YUV of five plain colours.
const Yuv kWhite{235, 128, 128, 0xFFFFFF};
const Yuv kRed{81, 90, 240, 0xFF0000};
const Yuv kGreen{145, 54, 34, 0x00FF00};
const Yuv kBlue{41, 240, 110, 0x0000FF};
const Yuv kBlack{16, 128, 128, 0x000000};
const Yuv kBlocks[] = {kWhite, kRed, kGreen, kBlue, kBlack};

constexpr DWORD kSlate565 = 0x3189;     // 0x3189 -> (48, 48, 72) on the screen
constexpr uint32_t kSlate = 0x303048;
constexpr DWORD kMagenta565 = 0xF81F;
constexpr DWORD kOrange565 = 0xFC00;    // (248, 128, 0)
constexpr uint32_t kOrange = 0xF88000;

bool near(uint32_t a, uint32_t b, int tolerance = 4) {
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

std::string hex(uint32_t v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06X", v);
    return buffer;
}

// The frame the monitor shows once the streams processor has taken the latest register values.
RgbImage nextFrame(Harness& h) {
    h.chip().advanceToRetraceStart();
    h.chip().advanceToDisplay();
    return sim::renderVisibleFrame(h.chip());
}

Surface* overlay(Harness& h, int w, int hgt, const DDPIXELFORMAT& f) {
    const sim::CreateResult r = h.createSurfaces(sim::surfaceDesc(w, hgt, DDSCAPS_OVERLAY, &f));
    EXPECT_EQ(r.rval, DD_OK);
    return r.surfaces.empty() ? nullptr : r.surfaces[0];
}

void paintYuy2(Harness& h, Surface* s, int w, int hgt, const std::function<Yuv(int, int)>& colourAt) {
    uint8_t* p = h.pixels(s);
    for (int y = 0; y < hgt; ++y)
        for (int x = 0; x < w; x += 2) {
            const Yuv c = colourAt(x, y);
            uint8_t* q = p + static_cast<size_t>(y) * s->gbl.lPitch + x * 2;
            q[0] = c.y;
            q[1] = c.u;
            q[2] = c.y;
            q[3] = c.v;
        }
}

void paint16(Harness& h, Surface* s, int w, int hgt, const std::function<uint16_t(int, int)>& colourAt) {
    uint8_t* p = h.pixels(s);
    for (int y = 0; y < hgt; ++y)
        for (int x = 0; x < w; ++x) {
            const uint16_t c = colourAt(x, y);
            p[static_cast<size_t>(y) * s->gbl.lPitch + x * 2] = static_cast<uint8_t>(c);
            p[static_cast<size_t>(y) * s->gbl.lPitch + x * 2 + 1] = static_cast<uint8_t>(c >> 8);
        }
}

// A 64 x 40 YUY2 picture of 4 x 4 blocks shown at one, two and three times its size: each block
// covers its scaled place (the accumulators' work), the window sits where asked, the primary shows
// around it, and the filter softens block edges exactly when the overlay is stretched.
TEST(VortalFrames, ScaledYuy2Overlay) {
    struct Case {
        int scale;
        RECTL dest;
    };
    const Case cases[] = {{1, rect(10, 20, 74, 60)}, {2, rect(40, 30, 168, 110)}, {3, rect(300, 200, 492, 320)}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.scale) + "x");
        Harness h(test::streamsScreen());
        ASSERT_EQ(h.fill(h.primary(), rect(0, 0, 640, 480), kSlate565).rval, DD_OK);
        Surface* video = overlay(h, 64, 40, sim::fourccFormat(FOURCC_YUY2));
        ASSERT_NE(video, nullptr);
        paintYuy2(h, video, 64, 40, [](int x, int y) { return kBlocks[(x / 4 + 2 * (y / 4)) % 5]; });
        ASSERT_EQ(h.updateOverlay(video, rect(0, 0, 64, 40), h.primary(), k.dest, DDOVER_SHOW).rval, DD_OK);
        const RgbImage frame = nextFrame(h);

        const int block = 4 * k.scale;
        const int margin = k.scale == 1 ? 0 : 3;  // the filter reaches two pixels, rounding one more
        int checked = 0;
        for (int y = 0; y < 40 * k.scale; ++y)
            for (int x = 0; x < 64 * k.scale; ++x) {
                if (x % block < margin || x % block > block - 1 - margin)
                    continue;
                const uint32_t want = kBlocks[(x / block + 2 * (y / block)) % 5].rgb;
                const uint32_t got = frame.at(k.dest.left + x, k.dest.top + y);
                ASSERT_TRUE(near(got, want)) << x << "," << y << ": " << hex(got) << " for " << hex(want);
                ++checked;
            }
        EXPECT_GT(checked, 0);
        // The window's edges.
        EXPECT_EQ(frame.at(k.dest.left - 1, k.dest.top), kSlate);
        EXPECT_EQ(frame.at(k.dest.left, k.dest.top - 1), kSlate);
        EXPECT_EQ(frame.at(k.dest.right, k.dest.bottom - 1), kSlate);
        EXPECT_EQ(frame.at(k.dest.right - 1, k.dest.bottom), kSlate);
        EXPECT_TRUE(near(frame.at(k.dest.right - 1, k.dest.bottom - 1), kBlocks[(15 + 2 * 9) % 5].rgb, 40));

        // Between the first two blocks of the top row (white, red): a mix only when filtered.
        bool mixed = false;
        for (int x = block - 3; x <= block + 2; ++x) {
            const uint32_t p = frame.at(k.dest.left + x, k.dest.top + 1);
            mixed = mixed || (!near(p, kWhite.rgb, 16) && !near(p, kRed.rgb, 16));
        }
        EXPECT_EQ(mixed, k.scale > 1);
    }
}

// Y211 carries one luma for each two pixels: the same blocks come out.
TEST(VortalFrames, Y211Overlay) {
    HarnessConfig c = test::streamsScreen();
    c.capabilities = kCapsStreamsScreen;  // Y211 only where the streams processor shows the screen
    Harness h(c);
    ASSERT_EQ(h.fill(h.primary(), rect(0, 0, 640, 480), kSlate565).rval, DD_OK);
    Surface* video = overlay(h, 64, 16, sim::fourccFormat(FOURCC_Y211));
    ASSERT_NE(video, nullptr);
    uint8_t* p = h.pixels(video);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; x += 4) {
            const Yuv c = kBlocks[(x / 8 + y / 8) % 5];
            uint8_t* q = p + static_cast<size_t>(y) * video->gbl.lPitch + x;
            q[0] = c.y;
            q[1] = c.u;
            q[2] = c.y;
            q[3] = c.v;
        }
    ASSERT_EQ(h.updateOverlay(video, rect(0, 0, 64, 16), h.primary(), rect(100, 50, 164, 66), DDOVER_SHOW).rval, DD_OK);
    const RgbImage frame = nextFrame(h);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_TRUE(near(frame.at(100 + x, 50 + y), kBlocks[(x / 8 + y / 8) % 5].rgb)) << x << "," << y;
}

// Keys: the overlay shows where the screen has the destination key, and is left out where its own
// pixels match a source key, given in 5-6-5 or as a YUV range.
TEST(VortalFrames, ColourKeys) {
    // Destination key: a magenta bar on the screen, crossing the overlay's window.
    {
        Harness h(test::streamsScreen());
        ASSERT_EQ(h.fill(h.primary(), rect(0, 0, 640, 480), kSlate565).rval, DD_OK);
        ASSERT_EQ(h.fill(h.primary(), rect(110, 90, 120, 150), kMagenta565).rval, DD_OK);
        Surface* s = overlay(h, 32, 32, sim::rgbFormat(16, 0xF800, 0x7E0, 0x1F));
        paint16(h, s, 32, 32, [](int, int) { return static_cast<uint16_t>(kOrange565); });
        ASSERT_EQ(h.setColorKey(h.primary(), DDCKEY_DESTOVERLAY, {kMagenta565, kMagenta565}).rval, DD_OK);
        ASSERT_EQ(h.updateOverlay(s, rect(0, 0, 32, 32), h.primary(), rect(100, 100, 132, 132),
                                  DDOVER_SHOW | DDOVER_KEYDEST).rval,
                  DD_OK);
        const RgbImage frame = nextFrame(h);
        for (int y = 85; y < 155; ++y)
            for (int x = 95; x < 140; ++x) {
                const bool window = x >= 100 && x < 132 && y >= 100 && y < 132;
                const bool bar = x >= 110 && x < 120 && y >= 90 && y < 150;
                const uint32_t want = window && bar ? kOrange : bar ? 0xF800F8 : kSlate;
                ASSERT_EQ(frame.at(x, y), want) << x << "," << y;
            }
    }
    // Source key in 5-6-5: green pixels of the overlay let the screen through.
    {
        Harness h(test::streamsScreen());
        ASSERT_EQ(h.fill(h.primary(), rect(0, 0, 640, 480), kSlate565).rval, DD_OK);
        Surface* s = overlay(h, 32, 32, sim::rgbFormat(16, 0xF800, 0x7E0, 0x1F));
        paint16(h, s, 32, 32, [](int x, int y) { return static_cast<uint16_t>((x + y) % 3 ? kOrange565 : 0x07E0); });
        ASSERT_EQ(h.setColorKey(s, DDCKEY_SRCOVERLAY, {0x07E0, 0x07E0}).rval, DD_OK);
        ASSERT_EQ(h.updateOverlay(s, rect(0, 0, 32, 32), h.primary(), rect(200, 100, 232, 132),
                                  DDOVER_SHOW | DDOVER_KEYSRC).rval,
                  DD_OK);
        const RgbImage frame = nextFrame(h);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(frame.at(200 + x, 100 + y), (x + y) % 3 ? kOrange : kSlate) << x << "," << y;
    }
    // Source key as a YUV range (Y 0 to 40, U and V 120 to 136): the dark pairs let the screen
    // through, a dark pair with strong chroma does not.
    {
        Harness h(test::streamsScreen());
        ASSERT_EQ(h.fill(h.primary(), rect(0, 0, 640, 480), kSlate565).rval, DD_OK);
        Surface* s = overlay(h, 32, 16, sim::fourccFormat(FOURCC_YUY2));
        const Yuv darkBlue{30, 200, 120, 0};
        auto at = [&](int x, int y) { return (x / 2 + y) % 3 == 0 ? kBlack : (x / 2 + y) % 3 == 1 ? kRed : darkBlue; };
        paintYuy2(h, s, 32, 16, at);
        DDOVERLAYFX fx{};
        fx.dckSrcColorkey = {0x00007878, 0x00288888};
        ASSERT_EQ(h.updateOverlay(s, rect(0, 0, 32, 16), h.primary(), rect(300, 100, 332, 116),
                                  DDOVER_SHOW | DDOVER_KEYSRCOVERRIDE, fx).rval,
                  DD_OK);
        const RgbImage frame = nextFrame(h);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) {
                const uint32_t got = frame.at(300 + x, 100 + y);
                switch ((x / 2 + y) % 3) {
                case 0: ASSERT_EQ(got, kSlate) << x << "," << y; break;
                case 1: ASSERT_TRUE(near(got, kRed.rgb)) << x << "," << y << ": " << hex(got); break;
                default: ASSERT_NE(got, kSlate) << x << "," << y; break;
                }
            }
    }
}

// A flip on a screen the streams processor shows moves the primary stream; the monitor keeps the
// old picture for the rest of the frame and through the retrace, and shows the new one after it.
TEST(VortalFrames, FlipShowsFromTheFrameAfterTheRetrace) {
    Harness h(test::streamsScreen());
    Surface* front = h.primary();
    Surface* back = h.createSurfaces(sim::surfaceDesc(640, 480, DDSCAPS_BACKBUFFER)).surfaces.at(0);
    ASSERT_EQ(h.fill(front, rect(0, 0, 640, 480), kSlate565).rval, DD_OK);
    ASSERT_EQ(h.fill(back, rect(0, 0, 640, 480), kOrange565).rval, DD_OK);
    EXPECT_EQ(nextFrame(h).at(320, 240), kSlate);

    h.chip().advance(h.chip().framePeriodNs() / 3);  // mid-frame
    ASSERT_EQ(h.flip(front, back).rval, DD_OK);
    EXPECT_EQ(sim::renderVisibleFrame(h.chip()).at(320, 240), kSlate);
    h.chip().advanceToRetraceStart();
    EXPECT_EQ(sim::renderVisibleFrame(h.chip()).at(320, 240), kSlate);
    h.chip().advanceToDisplay();
    const RgbImage after = sim::renderVisibleFrame(h.chip());
    EXPECT_EQ(after.at(0, 0), kOrange);
    EXPECT_EQ(after.at(639, 479), kOrange);
}

}  // namespace
}  // namespace ddhal
