// Line errors, time-outs and out-of-memory injected in the virtual camera:
// what the transfer callbacks see, how their answers are honoured, and that
// a transfer given up leaves no half block and no half frame.
#include <gtest/gtest.h>

#include "orrery/core/blocks.h"
#include "orrery_fixture.h"

using namespace orrery_test;

namespace {

class OrreryQv10Faults : public OrreryTest {
protected:
    intptr_t readBlock(int frame, GlobalHandle& handle, uint16_t& size, OrreryCallback callback = &recordingCallback) {
        handle = 0xDEAD;
        size = 0xBEEF;
        return call(ORRERY_READ_BLOCK, frame, intptr_t(&handle), intptr_t(&size), intptr_t(callback));
    }
    intptr_t writeBlock(GlobalHandle block, OrreryCallback callback = &recordingCallback) {
        return call(ORRERY_WRITE_BLOCK, -1, intptr_t(block), intptr_t(gmemSize(block)), intptr_t(callback));
    }
    std::vector<uint8_t> bytes(GlobalHandle handle) {
        auto* p = static_cast<uint8_t*>(gmemLock(handle));
        std::vector<uint8_t> b(p, p + gmemSize(handle));
        gmemUnlock(handle);
        return b;
    }
};

TEST_F(OrreryQv10Faults, BadChecksumIsReportedAndThePacketResent) {
    open();
    std::vector<uint8_t> clean = block(1);
    call(ORRERY_CLOSE_LINK, 1);
    configure("fault.bad_checksum_every = 7");
    open();
    GlobalHandle handle;
    uint16_t size;
    ASSERT_EQ(readBlock(1, handle, size), ORRERY_OK);
    EXPECT_GT(recorder().errors(ORRERY_LINE_CHECKSUM), 2);
    EXPECT_EQ(bytes(handle), clean);
    gmemFree(handle);
}

TEST_F(OrreryQv10Faults, BadChecksumOnUploadIsRetriedAndAddsOneFrame) {
    configure("fault.bad_checksum_every = 5");
    open();
    GlobalHandle block = encode(testPicture(1));
    ASSERT_EQ(writeBlock(block), ORRERY_OK);
    EXPECT_GT(recorder().errors(ORRERY_LINE_CHECKSUM), 10);
    EXPECT_EQ(recorder().progress(), 165);
    EXPECT_EQ(count(), 5);
    gmemFree(block);
}

TEST_F(OrreryQv10Faults, WithoutCallbackLineErrorsAreRetriedQuietly) {
    configure("fault.bad_checksum_every = 9");
    open();
    GlobalHandle handle;
    uint16_t size;
    ASSERT_EQ(readBlock(2, handle, size, nullptr), ORRERY_OK);
    gmemFree(handle);
    GlobalHandle thumb = 0;
    ASSERT_EQ(call(ORRERY_READ_THUMBNAIL, 1, intptr_t(&thumb), 0), ORRERY_OK);
    gmemFree(thumb);
}

TEST_F(OrreryQv10Faults, GivingUpEndsTheTransferWithoutABlock) {
    configure("fault.bad_checksum_every = 4");
    open();
    recorder().errorAnswer = ORRERY_GIVE_UP;
    GlobalHandle handle;
    uint16_t size;
    EXPECT_EQ(readBlock(1, handle, size), ORRERY_LINE_CHECKSUM);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(recorder().errors(ORRERY_LINE_CHECKSUM), 1);

    GlobalHandle thumb = 0xDEAD;
    EXPECT_EQ(call(ORRERY_READ_THUMBNAIL, 1, intptr_t(&thumb), intptr_t(&recordingCallback)), ORRERY_LINE_CHECKSUM);
    EXPECT_EQ(thumb, 0u);

    // An upload given up adds no frame, and the link still works.
    GlobalHandle block = encode(testPicture(2));
    EXPECT_EQ(writeBlock(block), ORRERY_LINE_CHECKSUM);
    gmemFree(block);
    EXPECT_EQ(count(), 4);
}

TEST_F(OrreryQv10Faults, GivingUpOnProgressCancels) {
    open();
    recorder().progressAnswer = ORRERY_GIVE_UP;
    GlobalHandle handle;
    uint16_t size;
    EXPECT_EQ(readBlock(1, handle, size), ORRERY_CANCELLED);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(recorder().reports.size(), 1u);
    GlobalHandle block = encode(testPicture(2));
    EXPECT_EQ(writeBlock(block), ORRERY_CANCELLED);
    gmemFree(block);
    EXPECT_EQ(count(), 4);
}

TEST_F(OrreryQv10Faults, SilentLineTimesOut) {
    configure("fault.silent_from_packet = 3\nfault.silent_ms = -1");
    open(150);
    recorder().errorAnswer = ORRERY_GIVE_UP;
    GlobalHandle handle;
    uint16_t size;
    EXPECT_EQ(readBlock(1, handle, size), ORRERY_TIMEOUT);
    EXPECT_EQ(handle, 0u);
    ASSERT_EQ(recorder().errors(ORRERY_TIMEOUT), 1);
    EXPECT_EQ(recorder().reports.back().position, 2);  // two blocks had arrived
    // The camera stays silent: plain requests time out too.
    EXPECT_EQ(call(ORRERY_FRAME_COUNT), intptr_t(int16_t(ORRERY_TIMEOUT)));
}

TEST_F(OrreryQv10Faults, RetryAfterSilenceCompletesTheTransfer) {
    open();
    std::vector<uint8_t> clean = block(3);
    call(ORRERY_CLOSE_LINK, 1);
    configure("fault.silent_from_packet = 5\nfault.silent_ms = 500");
    open(150);
    GlobalHandle handle;
    uint16_t size;
    ASSERT_EQ(readBlock(3, handle, size), ORRERY_OK);
    EXPECT_GE(recorder().errors(ORRERY_TIMEOUT), 2);
    EXPECT_EQ(bytes(handle), clean);
    gmemFree(handle);
}

TEST_F(OrreryQv10Faults, SilentUploadGivenUpAddsNoFrame) {
    configure("fault.silent_from_packet = 40\nfault.silent_ms = 400");
    open(150);
    recorder().errorAnswer = ORRERY_GIVE_UP;
    GlobalHandle block = encode(testPicture(3));
    EXPECT_EQ(writeBlock(block), ORRERY_TIMEOUT);
    EXPECT_EQ(recorder().progress(), 39);
    gmemFree(block);
    EXPECT_EQ(count(), 4);
}

TEST_F(OrreryQv10Faults, MuteCameraFailsToOpen) {
    configure("fault.mute = 1");
    EXPECT_EQ(call(ORRERY_OPEN_LINK, 100, 100, 0), ORRERY_TIMEOUT);
    EXPECT_LT(count(), 0);
}

TEST_F(OrreryQv10Faults, OutOfMemoryIsReported) {
    configure("fault.out_of_memory = 1");
    open();
    GlobalHandle handle;
    uint16_t size;
    EXPECT_EQ(readBlock(1, handle, size), ORRERY_NO_MEMORY);
    EXPECT_EQ(handle, 0u);
    GlobalHandle thumb = 0xDEAD;
    EXPECT_EQ(call(ORRERY_READ_THUMBNAIL, 1, intptr_t(&thumb), 0), ORRERY_NO_MEMORY);
    EXPECT_EQ(thumb, 0u);
    GlobalHandle dib = orrery::pictureToDib(testPicture(0));  // this side's allocator is not faulted
    GlobalHandle out = 0;
    uint32_t outSize = 0;
    EXPECT_EQ(call(ORRERY_ENCODE_STANDARD, intptr_t(dib), intptr_t(&out), intptr_t(&outSize)), ORRERY_NO_MEMORY);
    gmemFree(dib);
}

}  // namespace
