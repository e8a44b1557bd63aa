// CanCreateSurface's format rules and CreateSurface's pitch and block-size rules.
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

namespace ddhal {
namespace {

using sim::Harness;
using sim::CallResult;
using sim::HarnessConfig;

const DDPIXELFORMAT kYuy2 = sim::fourccFormat(FOURCC_YUY2);
const DDPIXELFORMAT kY211 = sim::fourccFormat(FOURCC_Y211);
const DDPIXELFORMAT kOtherFourCC = sim::fourccFormat(0x56595559);  // UYVY
const DDPIXELFORMAT k555 = sim::rgbFormat(16, 0x7C00, 0x3E0, 0x1F);
const DDPIXELFORMAT k565 = sim::rgbFormat(16, 0xF800, 0x7E0, 0x1F);
const DDPIXELFORMAT k444 = sim::rgbFormat(16, 0xF00, 0xF0, 0xF);
const DDPIXELFORMAT k888 = sim::rgbFormat(24, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT k8888 = sim::rgbFormat(32, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT kBgr32 = sim::rgbFormat(32, 0xFF, 0xFF00, 0xFF0000);
const DDPIXELFORMAT kPal8 = sim::palette8Format();

TEST(VortalCanCreateSurface, FormatRules) {
    struct Case {
        const char* name;
        uint32_t caps;
        uint32_t screenBits;
        DWORD surfaceCaps;
        const DDPIXELFORMAT* format;
        HRESULT rval;
        DWORD bitCountAfter;  // 0: not checked
    };
    const HRESULT BAD = DDERR_INVALIDPIXELFORMAT;
    const DWORD OV = DDSCAPS_OVERLAY, OFF = DDSCAPS_OFFSCREENPLAIN, AL = DDSCAPS_ALPHA | DDSCAPS_OFFSCREENPLAIN;
    const Case cases[] = {
        {"no own formats at all", 0, 16, OV, &kYuy2, BAD, 0},
        {"YUY2 overlay", 1, 16, OV, &kYuy2, DD_OK, 16},
        {"YUY2 overlay, streams screen only", 2, 16, OV, &kYuy2, DD_OK, 16},
        {"FOURCC on an 8-bit screen", 1, 8, OV, &kYuy2, BAD, 0},
        {"FOURCC on an 8-bit streams screen", 2, 8, OV, &kYuy2, DD_OK, 16},
        {"Y211 with own formats", 1, 16, OV, &kY211, BAD, 0},
        {"Y211 on a streams screen", 2, 16, OV, &kY211, DD_OK, 8},
        {"other FOURCC", 3, 16, OV, &kOtherFourCC, BAD, 0},
        {"palette overlay", 3, 16, OV, &kPal8, BAD, 0},
        {"5-5-5 overlay", 3, 16, OV, &k555, DD_OK, 0},
        {"5-6-5 overlay", 3, 16, OV, &k565, DD_OK, 0},
        {"4-4-4 overlay", 3, 16, OV, &k444, BAD, 0},
        {"24-bit overlay", 3, 16, OV, &k888, DD_OK, 0},
        {"32-bit overlay", 3, 16, OV, &k8888, DD_OK, 0},
        {"32-bit BGR overlay", 3, 16, OV, &kBgr32, BAD, 0},
        {"plain 5-6-5 with own formats", 1, 8, OFF, &k565, DD_OK, 0},
        {"plain surface, streams only", 2, 16, OFF, &k555, BAD, 0},
        {"alpha 5-5-5, streams only", 2, 16, AL, &k555, DD_OK, 0},
        {"alpha 5-6-5, streams only", 2, 8, AL, &k565, BAD, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HarnessConfig c = test::palettedScreen();
        c.capabilities = k.caps;
        c.chip.bitsPerPixel = k.screenBits;
        c.chip.pitch = 640 * k.screenBits / 8;
        Harness h(c);
        DDSURFACEDESC desc = sim::surfaceDesc(64, 32, k.surfaceCaps, k.format);
        EXPECT_EQ(h.canCreate(desc), k.rval);
        if (k.bitCountAfter)
            EXPECT_EQ(desc.ddpfPixelFormat.dwYUVBitCount, k.bitCountAfter);
    }
}

TEST(VortalCanCreateSurface, ScreenFormatIsNotExamined) {
    HarnessConfig c = test::palettedScreen();
    c.capabilities = 0;
    Harness h(c);
    DDSURFACEDESC desc = sim::surfaceDesc(64, 32, DDSCAPS_OVERLAY, &kPal8);
    EXPECT_EQ(h.canCreate(desc), DD_OK);
}

struct Created {
    sim::Surface s;
    DDSURFACEDESC desc;
    CallResult r;
};

// Calls CreateSurface directly, the way DirectDraw fills the records before asking.
std::vector<Created> create(Harness& h, int width, int height, const DDPIXELFORMAT* format, int count) {
    std::vector<Created> out(static_cast<size_t>(count));
    std::vector<DDRAWI_DDRAWSURFACE_LCL*> list;
    for (Created& c : out) {
        c.s.lcl.lpGbl = &c.s.gbl;
        c.s.gbl.wWidth = static_cast<WORD>(width);
        c.s.gbl.wHeight = static_cast<WORD>(height);
        if (format) {
            c.s.lcl.dwFlags = DDRAWISURF_HASPIXELFORMAT;
            c.s.gbl.ddpfSurface = *format;
        }
        list.push_back(&c.s.lcl);
    }
    DDSURFACEDESC desc = sim::surfaceDesc(static_cast<DWORD>(width), static_cast<DWORD>(height), 0, format);
    DDHAL_CREATESURFACEDATA data{};
    data.lpDDSurfaceDesc = &desc;
    data.lplpSList = list.data();
    data.dwSCnt = static_cast<DWORD>(count);
    const DWORD handled = h.callback(kSlotCreateSurface)(&data);
    for (Created& c : out) {
        c.desc = desc;
        c.r = {handled, data.ddRVal};
    }
    return out;
}

TEST(VortalCreateSurface, PitchAndBlockSizes) {
    struct Case {
        const char* name;
        uint32_t screenBits;
        int width, height;
        const DDPIXELFORMAT* format;
        LONG pitch;
        DWORD blockX, blockY, bitCount;
    };
    const Case cases[] = {
        {"320-wide YUY2 overlay", 16, 320, 240, &kYuy2, 640, 1280, (241 * 640 - 1) / 1280, 16},
        {"odd-width YUY2", 16, 101, 10, &kYuy2, 208, 1280, (11 * 208 - 1) / 1280, 16},
        {"Y211", 16, 100, 50, &kY211, 104, 1280, (51 * 104 - 1) / 1280, 8},
        {"screen-format surface", 16, 100, 50, nullptr, 1280, 200, 50, 0},
        {"odd width, 8-bit screen", 8, 13, 7, nullptr, 640, 16, 7, 0},
        {"own 5-6-5 on an 8-bit screen", 8, 13, 7, &k565, 640, 32, 7, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        HarnessConfig c = test::palettedScreen();
        c.chip.bitsPerPixel = k.screenBits;
        c.chip.pitch = 640 * k.screenBits / 8;
        c.capabilities = 3;
        Harness h(c);
        auto made = create(h, k.width, k.height, k.format, 1);
        const Created& m = made[0];
        EXPECT_EQ(m.r.handled, DDHAL_DRIVER_NOTHANDLED);
        EXPECT_EQ(m.r.rval, DD_OK);
        EXPECT_EQ(m.s.gbl.lPitch, k.pitch);
        EXPECT_EQ(m.desc.lPitch, k.pitch);
        EXPECT_TRUE(m.desc.dwFlags & DDSD_PITCH);
        EXPECT_EQ(m.s.gbl.fpVidMem, DDHAL_PLEASEALLOC_BLOCKSIZE);
        EXPECT_EQ(m.s.gbl.dwBlockSizeX, k.blockX);
        EXPECT_EQ(m.s.gbl.dwBlockSizeY, k.blockY);
        if (k.bitCount)
            EXPECT_EQ(m.s.gbl.ddpfSurface.dwYUVBitCount, k.bitCount);
    }
}

TEST(VortalCreateSurface, FourCCFlippingChainIsUnsupported) {
    Harness h(test::streamsScreen());
    auto made = create(h, 320, 240, &kYuy2, 3);
    for (const Created& m : made) {
        EXPECT_EQ(m.r.handled, DDHAL_DRIVER_HANDLED);
        EXPECT_EQ(m.r.rval, DDERR_UNSUPPORTED);
        EXPECT_EQ(m.s.gbl.fpVidMem, 0u);
        EXPECT_EQ(m.s.gbl.lPitch, 0);
    }
    // An RGB overlay chain is fine, and the harness gets video memory for every buffer.
    auto chain = h.createSurfaces(sim::surfaceDesc(320, 240, DDSCAPS_OVERLAY, &k565), 3);
    EXPECT_EQ(chain.rval, DD_OK);
    EXPECT_EQ(chain.surfaces.size(), 3u);
}

TEST(VortalCreateSurface, HarnessAllocatesTheAskedBlocks) {
    Harness h(test::streamsScreen());
    auto a = h.createSurfaces(sim::surfaceDesc(320, 240, DDSCAPS_OVERLAY, &kYuy2));
    auto b = h.createSurfaces(sim::surfaceDesc(64, 64, DDSCAPS_OFFSCREENPLAIN));
    ASSERT_EQ(a.surfaces.size(), 1u);
    ASSERT_EQ(b.surfaces.size(), 1u);
    EXPECT_EQ(h.offsetOf(a.surfaces[0]), 480u * 1280);
    EXPECT_EQ(h.offsetOf(b.surfaces[0]), (480u + 120) * 1280);
    EXPECT_EQ(a.surfaces[0]->gbl.lPitch, 640);
}

}  // namespace
}  // namespace ddhal
