// vortal-demo: drives Vortal32 on the S3 765 model through a short scripted sequence and writes,
// after each step, what the monitor shows (NN-step-frame.png) and, while an overlay is on show, the
// overlay window's own picture (NN-step-overlay.png).
//
//   vortal-demo [--out DIR] [--registers] [--library PATH] [--video-memory KB]
//
// With --registers each step prints a line naming it, then every streams processor register written
// during it as 0xOFFSET=0xVALUE, in the order written. The driver is libVortal32.so beside the
// program unless --library names another. Any driver call that fails ends the run with status 1.
#include "ddhal/demo/png_writer.h"
#include "ddhal/sim/frame_render.h"
#include "ddhal/sim/harness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace ddhal;
using ddhal::sim::Harness;
using ddhal::sim::rect;
using ddhal::sim::Surface;

DWORD rgb565(int r, int g, int b) { return static_cast<DWORD>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)); }

const DWORD kSlate = rgb565(40, 48, 72);
const DWORD kWhite = rgb565(255, 255, 255);
const DWORD kKeyGreen = rgb565(0, 255, 0);      // transparent colour of the sprite
const DWORD kVideoWindow = rgb565(255, 0, 255);  // the overlay shows through this colour

// A driver call that did not do what the demo asked.
struct CallFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void check(const char* what, HRESULT rval) {
    if (rval != DD_OK) {
        char message[96];
        std::snprintf(message, sizeof message, "%s answered 0x%08X", what, static_cast<unsigned>(rval));
        throw CallFailed(message);
    }
}

struct Demo {
    Harness& h;
    Surface* front = nullptr;
    Surface* back = nullptr;
    Surface* sprite = nullptr;
    Surface* video = nullptr;

    Surface* create(const DDSURFACEDESC& desc) {
        const sim::CreateResult r = h.createSurfaces(desc);
        check("CreateSurface", r.rval);
        if (r.surfaces.empty())
            throw CallFailed("CreateSurface gave no surface");
        return r.surfaces[0];
    }
    // DDBLT_WAIT: DirectDraw asks again while the driver is still drawing.
    void fill(Surface* s, RECTL r, DWORD colour) {
        DDBLTFX fx{};
        fx.dwFillColor = colour;
        check("Blt (fill)", h.waitFor(&Harness::blt, s, r, nullptr, {}, DDBLT_COLORFILL, fx).rval);
    }
    void copy(Surface* dst, RECTL dr, Surface* src, RECTL sr, DWORD extra = 0) {
        DDBLTFX fx{};
        fx.dwROP = SRCCOPY;
        check("Blt (copy)", h.waitFor(&Harness::blt, dst, dr, src, sr, DDBLT_ROP | extra, fx).rval);
    }
    void flip() {
        HRESULT rval = DDERR_WASSTILLDRAWING;
        for (int i = 0; i < 1000 && (rval = h.flip(front, back).rval) == DDERR_WASSTILLDRAWING; ++i)
            h.chip().advance(200000);
        check("Flip", rval);
    }

    void stepFill() {
        fill(front, rect(0, 0, 640, 480), kSlate);
        const DWORD bars[] = {rgb565(255, 255, 255), rgb565(255, 255, 0), rgb565(0, 255, 255), rgb565(0, 255, 0),
                              rgb565(255, 0, 255),   rgb565(255, 0, 0),   rgb565(0, 0, 255),   rgb565(16, 16, 16)};
        for (int i = 0; i < 8; ++i)
            fill(front, rect(i * 80, 0, i * 80 + 80, 60), bars[i]);
        fill(front, rect(20, 80, 620, 84), kWhite);
    }

    void stepBlits() {
        sprite = create(sim::surfaceDesc(64, 64, DDSCAPS_OFFSCREENPLAIN));
        fill(sprite, rect(0, 0, 64, 64), kKeyGreen);
        fill(sprite, rect(8, 8, 56, 56), rgb565(255, 200, 0));
        fill(sprite, rect(16, 16, 48, 48), kKeyGreen);
        fill(sprite, rect(24, 24, 40, 40), rgb565(220, 30, 30));
        copy(front, rect(40, 110, 104, 174), sprite, rect(0, 0, 64, 64));
        sprite->lcl.ddckCKSrcBlt = {kKeyGreen, kKeyGreen};
        for (int i = 0; i < 4; ++i)
            copy(front, rect(160 + i * 110, 110, 224 + i * 110, 174), sprite, rect(0, 0, 64, 64), DDBLT_KEYSRC);
    }

    // The whole picture moves down 100 lines, copied onto itself, and a new band fills the top.
    void stepScroll() {
        copy(front, rect(0, 100, 640, 480), front, rect(0, 0, 640, 380));
        fill(front, rect(0, 0, 640, 100), rgb565(0, 110, 120));
        fill(front, rect(260, 30, 380, 70), kWhite);
    }

    void stepFlipToBack() {
        back = create(sim::surfaceDesc(640, 480, DDSCAPS_BACKBUFFER));
        fill(back, rect(0, 0, 640, 480), rgb565(90, 20, 30));
        fill(back, rect(160, 120, 480, 360), kWhite);
        fill(back, rect(176, 136, 464, 344), rgb565(10, 10, 10));
        copy(back, rect(288, 208, 352, 272), sprite, rect(0, 0, 64, 64), DDBLT_KEYSRC);
        flip();
    }

    void stepFlipToFront() { flip(); }

    void stepOverlay() {
        const DDPIXELFORMAT yuy2 = sim::fourccFormat(FOURCC_YUY2);
        video = create(sim::surfaceDesc(320, 240, DDSCAPS_OVERLAY, &yuy2));
        paintColourBars(video);
        check("SetColorKey", h.setColorKey(front, DDCKEY_DESTOVERLAY, {kVideoWindow, kVideoWindow}).rval);
        fill(front, rect(100, 120, 540, 420), kVideoWindow);
        check("UpdateOverlay",
              h.updateOverlay(video, rect(0, 0, 320, 240), front, rect(0, 0, 640, 480), DDOVER_SHOW | DDOVER_KEYDEST)
                  .rval);
    }

    // As an application would after locking the surface: colour bars over a luma ramp, in YUY2.
    void paintColourBars(Surface* s) {
        struct Yuv {
            uint8_t y, u, v;
        };
        const Yuv bars[] = {{235, 128, 128}, {210, 16, 146}, {170, 166, 16}, {145, 54, 34},
                            {106, 202, 222}, {81, 90, 240},  {41, 240, 110}, {16, 128, 128}};
        uint8_t* p = h.pixels(s);
        const LONG pitch = s->lcl.lpGbl->lPitch;
        for (int y = 0; y < 240; ++y) {
            for (int x = 0; x < 320; x += 2) {
                Yuv c = bars[x / 40];
                if (y >= 160)
                    c = {static_cast<uint8_t>(16 + x * 219 / 319), 128, 128};
                uint8_t* q = p + static_cast<size_t>(y) * pitch + x * 2;
                q[0] = c.y;
                q[1] = c.u;
                q[2] = c.y;
                q[3] = c.v;
            }
        }
    }
};

const char kUsage[] =
    "usage: vortal-demo [--out DIR] [--registers] [--library PATH] [--video-memory KB]\n"
    "Drives the Vortal32 driver on a model of the S3 765 and writes a PNG of the screen after each step.\n"
    "  --out DIR          folder for the pictures (default vortal-demo-out)\n"
    "  --registers        list the streams processor registers each step writes\n"
    "  --library PATH     the driver to load (default: libVortal32.so beside this program)\n"
    "  --video-memory KB  video memory of the modelled board (default 4096)\n"
    "  --help             this text\n"
    "Exit status: 0 every step worked, 1 the driver or a call to it failed, 2 bad arguments.\n";

std::string besideProgram(const char* name) {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return name;
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1) + name;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out = "vortal-demo-out";
    std::string library;
    bool registers = false;
    long videoKb = 4096;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--registers")) {
            registers = true;
        } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
            out = argv[++i];
        } else if (!std::strcmp(argv[i], "--library") && i + 1 < argc) {
            library = argv[++i];
        } else if (!std::strcmp(argv[i], "--video-memory") && i + 1 < argc) {
            char* end = nullptr;
            videoKb = std::strtol(argv[++i], &end, 10);
            if (*end || videoKb < 1024 || videoKb > 65536) {
                std::fprintf(stderr, "vortal-demo: --video-memory takes 1024 to 65536 (KB)\n");
                return 2;
            }
        } else if (!std::strcmp(argv[i], "--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    std::error_code made;
    std::filesystem::create_directories(out, made);

    // 640 x 480 at 16 bits, shown by the streams processor; the register window is banked.
    sim::HarnessConfig config;
    config.chip.bitsPerPixel = 16;
    config.chip.pitch = 1280;
    config.chip.streamsOn = true;
    config.capabilities = kCapsOwnFormats | kCapsStreamsScreen;
    config.chip.videoMemoryBytes = static_cast<size_t>(videoKb) * 1024;
    config.library = library.empty() ? besideProgram("libVortal32.so") : library;
    Harness h(config);
    if (!h.loaded() || h.framePeriod() == 0) {
        std::fprintf(stderr, "vortal-demo: the driver did not initialise\n");
        return 1;
    }
    Demo demo{h};
    demo.front = h.primary();

    struct Step {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Step> steps = {
        {"fill", [&] { demo.stepFill(); }},
        {"blits", [&] { demo.stepBlits(); }},
        {"scroll", [&] { demo.stepScroll(); }},
        {"flip-to-back", [&] { demo.stepFlipToBack(); }},
        {"flip-to-front", [&] { demo.stepFlipToFront(); }},
        {"overlay", [&] { demo.stepOverlay(); }},
    };
    int failures = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        h.chip().clearLogs();
        try {
            steps[i].run();
        } catch (const CallFailed& e) {
            std::fprintf(stderr, "vortal-demo: step %zu (%s): %s\n", i + 1, steps[i].name, e.what());
            return 1;
        }
        if (registers) {
            std::printf("step %zu: %s\n", i + 1, steps[i].name);
            for (const sim::StreamsWrite& w : h.chip().streamsWrites())
                std::printf("0x%04X=0x%08X\n", w.reg, w.value);
        }
        for (const std::string& f : h.chip().faults()) {
            std::fprintf(stderr, "%s: chip fault: %s\n", steps[i].name, f.c_str());
            ++failures;
        }
        // The streams processor takes new register values at the start of the next frame.
        h.chip().advanceToRetraceStart();
        h.chip().advanceToDisplay();
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "/%02zu-%s", i + 1, steps[i].name);
        std::vector<std::string> written{out + prefix + "-frame.png"};
        bool ok = demo::writePng(written.back(), sim::renderVisibleFrame(h.chip()));
        if (auto overlay = sim::renderOverlayWindow(h.chip())) {
            written.push_back(out + prefix + "-overlay.png");
            ok = demo::writePng(written.back(), *overlay) && ok;
        }
        if (!ok) {
            std::fprintf(stderr, "vortal-demo: cannot write %s\n", written.back().c_str());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
