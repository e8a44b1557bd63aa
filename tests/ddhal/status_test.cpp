// Lock, GetBltStatus, GetFlipStatus and WaitForVerticalBlank against the engine's status bits, the
// flip tracker and the retrace of the model.
#include "ddhal/sim/harness.h"
#include "tests/ddhal/ddhal_test_support.h"

#include <gtest/gtest.h>

namespace ddhal {
namespace {

using sim::CallResult;
using sim::Harness;
using sim::rect;
using sim::Surface;

enum class State { Idle, Busy, FifoFull, FlipPending };

struct StatusRig {
    void enter(State s) {
        back = h.createSurfaces(sim::surfaceDesc(640, 480, DDSCAPS_BACKBUFFER)).surfaces.at(0);
        h.chip().advanceToDisplay();
        switch (s) {
        case State::Idle: break;
        case State::Busy: h.chip().holdStatusBits(0x200, test::msNs(5)); break;
        case State::FifoFull: h.chip().holdStatusBits(0x800, test::msNs(5)); break;
        case State::FlipPending: EXPECT_EQ(h.flip(h.primary(), back).rval, DD_OK); break;
        }
    }
    Harness h{test::palettedScreen()};
    Surface* back = nullptr;
};

TEST(VortalStatus, Answers) {
    struct Case {
        const char* name;
        State state;
        int call;  // 0 Lock, 1 GetBltStatus, 2 GetFlipStatus
        DWORD flags;
        DWORD handled;
        HRESULT rval;
    };
    const DWORD H = DDHAL_DRIVER_HANDLED, N = DDHAL_DRIVER_NOTHANDLED;
    const HRESULT W = DDERR_WASSTILLDRAWING;
    const Case cases[] = {
        {"lock idle", State::Idle, 0, 0, N, DD_OK},
        {"lock busy", State::Busy, 0, 0, H, W},
        {"lock flipped-away surface", State::FlipPending, 0, 0, H, W},
        {"blt done? busy", State::Busy, 1, DDGBS_ISBLTDONE, H, W},
        {"blt done? idle", State::Idle, 1, DDGBS_ISBLTDONE, H, DD_OK},
        {"blt done? FIFO full", State::FifoFull, 1, DDGBS_ISBLTDONE, H, DD_OK},
        {"can blt? FIFO full", State::FifoFull, 1, DDGBS_CANBLT, H, W},
        {"can blt? busy", State::Busy, 1, DDGBS_CANBLT, H, DD_OK},
        {"can blt? flipped-away surface", State::FlipPending, 1, DDGBS_CANBLT, H, W},
        {"can blt? idle", State::Idle, 1, DDGBS_CANBLT, H, DD_OK},
        {"can flip? busy", State::Busy, 2, DDGFS_CANFLIP, H, W},
        {"flip done? busy", State::Busy, 2, DDGFS_ISFLIPDONE, H, DD_OK},
        {"flip done? pending", State::FlipPending, 2, DDGFS_ISFLIPDONE, H, W},
        {"can flip? idle", State::Idle, 2, DDGFS_CANFLIP, H, DD_OK},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        StatusRig fresh;
        fresh.enter(k.state);
        Harness& hh = fresh.h;
        CallResult r{};
        switch (k.call) {
        case 0: r = hh.lock(fresh.back); break;
        case 1: r = hh.getBltStatus(fresh.back, k.flags); break;
        default: r = hh.getFlipStatus(nullptr, k.flags); break;
        }
        EXPECT_EQ(r.handled, k.handled);
        EXPECT_EQ(r.rval, k.rval);
    }
}

TEST(VortalWaitForVerticalBlank, Modes) {
    struct Case {
        const char* name;
        DWORD flags;
        bool startInRetrace;
        bool endsInRetrace;
        bool waitsAFrame;
    };
    const Case cases[] = {
        {"begin, from the display", DDWAITVB_BLOCKBEGIN, false, true, false},
        {"begin, from inside a retrace", DDWAITVB_BLOCKBEGIN, true, true, true},
        {"end, from the display", DDWAITVB_BLOCKEND, false, false, false},
        {"end, from inside a retrace", DDWAITVB_BLOCKEND, true, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Harness h(test::palettedScreen());
        const int64_t period = h.chip().framePeriodNs();
        h.chip().advanceToDisplay();
        h.chip().advance(period / 4);
        if (k.startInRetrace) {
            h.chip().advanceToRetraceStart();
            h.chip().advance(50000);
        }
        const int64_t start = h.chip().clock().now();
        const CallResult r = h.waitForVerticalBlank(k.flags);
        EXPECT_EQ(r.handled, DDHAL_DRIVER_HANDLED);
        EXPECT_EQ(r.rval, DD_OK);
        EXPECT_EQ(h.chip().inRetrace(), k.endsInRetrace);
        const int64_t waited = h.chip().clock().now() - start;
        if (k.endsInRetrace)
            EXPECT_LT(h.chip().sinceRetraceStart(), 20000);  // just begun
        else
            EXPECT_LT(h.chip().clock().now() % period, 20000);  // just ended
        EXPECT_EQ(waited > period * 9 / 10, k.waitsAFrame);
    }
}

TEST(VortalWaitForVerticalBlank, TestsTheRetraceBitAndDeclinesOtherRequests) {
    Harness h(test::palettedScreen());
    DWORD inVB = 0;
    h.chip().advanceToDisplay();
    EXPECT_EQ(h.waitForVerticalBlank(DDWAITVB_I_TESTVB, &inVB).rval, DD_OK);
    EXPECT_EQ(inVB, 0u);
    h.chip().advanceToRetraceStart();
    EXPECT_EQ(h.waitForVerticalBlank(DDWAITVB_I_TESTVB, &inVB).handled, DDHAL_DRIVER_HANDLED);
    EXPECT_EQ(inVB, 8u);
    const int64_t before = h.chip().clock().now();
    EXPECT_EQ(h.waitForVerticalBlank(DDWAITVB_BLOCKBEGINEVENT).handled, DDHAL_DRIVER_NOTHANDLED);
    EXPECT_EQ(h.waitForVerticalBlank(0).handled, DDHAL_DRIVER_NOTHANDLED);
    EXPECT_EQ(h.chip().clock().now(), before);  // no register touched
}

}  // namespace
}  // namespace ddhal
