// The entry itself: calls made from inside a running request (a transfer
// callback that pumps messages) answer at once, and nothing thrown inside the
// library reaches the caller.
#include <gtest/gtest.h>

#include <string>

#include "orrery_fixture.h"

using namespace orrery_test;

namespace {

// What a callback saw when it called back into the library.
struct Reentry {
    intptr_t version = -1, capabilities = -1, show = -1, count = 0, read = -1, state = -1, scan = -1;
    int calls = 0;
};
Reentry& reentry() {
    static Reentry r;
    return r;
}

intptr_t callingBack(intptr_t, intptr_t) {
    Reentry& r = reentry();
    if (r.calls++ == 0) {
        r.version = call(ORRERY_VERSION);
        r.capabilities = call(ORRERY_CAPABILITIES);
        r.show = call(ORRERY_SHOW_FRAME, 2);
        r.count = call(ORRERY_FRAME_COUNT);
        GlobalHandle inner = 0;
        uint16_t size = 0;
        r.read = call(ORRERY_READ_BLOCK, 1, intptr_t(&inner), intptr_t(&size), 0);
        r.state = call(ORRERY_CAMERA_STATE);
        r.scan = call(ORRERY_SCAN, 0);
    }
    return ORRERY_GO_ON;
}

class OrreryEntryTest : public OrreryTest {};

TEST_F(OrreryEntryTest, CallsFromACallbackAnswerAtOnce) {
    open();
    intptr_t capabilities = call(ORRERY_CAPABILITIES);
    reentry() = Reentry{};
    for (int request : {ORRERY_READ_BLOCK, ORRERY_READ_THUMBNAIL}) {
        reentry() = Reentry{};
        GlobalHandle handle = 0;
        uint16_t size = 0;
        intptr_t status = request == ORRERY_READ_BLOCK
                              ? call(request, 1, intptr_t(&handle), intptr_t(&size), intptr_t(&callingBack))
                              : call(request, 1, intptr_t(&handle), intptr_t(&callingBack));
        ASSERT_EQ(status, ORRERY_OK) << request;
        gmemFree(handle);
        const Reentry& r = reentry();
        EXPECT_GT(r.calls, 1) << request;
        EXPECT_EQ(r.version & 0xFFFF, 258);
        EXPECT_EQ(r.capabilities, capabilities);
        EXPECT_EQ(r.show, ORRERY_OK);  // queued until the read ends
        EXPECT_EQ(r.count, intptr_t(int16_t(ORRERY_BUSY)));
        EXPECT_EQ(r.read, ORRERY_BUSY);
        EXPECT_EQ(r.state, 0xFFFF);
        EXPECT_EQ(r.scan, 0);
    }
    // The link is still in order.
    EXPECT_EQ(count(), 4);
}

TEST_F(OrreryEntryTest, WriteCallbackMayCallBackToo) {
    open();
    reentry() = Reentry{};
    GlobalHandle block = encode(testPicture(1));
    ASSERT_EQ(call(ORRERY_WRITE_BLOCK, -1, intptr_t(block), 21120, intptr_t(&callingBack)), ORRERY_OK);
    gmemFree(block);
    EXPECT_EQ(reentry().version & 0xFFFF, 258);
    EXPECT_EQ(reentry().read, ORRERY_BUSY);
    EXPECT_EQ(count(), 5);
}

TEST_F(OrreryEntryTest, FaultsInsideBecomeStatuses) {
    struct Case {
        std::string settings;
        intptr_t status;
    };
    const Case cases[] = {
        {"fault.throw = bad_alloc", ORRERY_NO_MEMORY},
        {"fault.throw = anything else", ORRERY_INTERNAL},
        // A folder name too long for the file system: no answer, no abort.
        {"virtual.folder = " + root() + "/" + std::string(300, 'q'), ORRERY_NO_DEVICE},
    };
    for (const Case& c : cases) {
        configure(c.settings);
        EXPECT_EQ(call(ORRERY_OPEN_LINK, 500, 500, 0), c.status) << c.settings;
        EXPECT_LT(count(), 0) << c.settings;
    }
    // The library still works afterwards.
    configure();
    open();
    EXPECT_EQ(count(), 4);
}

}  // namespace
