// The request table against the virtual QV-10: the library's own QV-10
// driver talks to it over a pseudo-terminal, so these exercise the protocol.
#include <gtest/gtest.h>

#include <filesystem>

#include "orrery/codec/cam_block.h"
#include "orrery/codec/thumbnail.h"
#include "orrery/core/blocks.h"
#include "orrery/qv10/frame_store.h"
#include "orrery/qv10/virtual_qv10.h"
#include "orrery_fixture.h"

using namespace orrery_test;

namespace {

class OrreryQv10Requests : public OrreryTest {
protected:
    // Puts a picture on the camera through requests 25 and 23.
    intptr_t put(const orrery::Picture& picture, intptr_t destination = -1, OrreryCallback callback = nullptr) {
        GlobalHandle block = encode(picture);
        intptr_t status = call(ORRERY_WRITE_BLOCK, destination, intptr_t(block), intptr_t(gmemSize(block)),
                               intptr_t(callback));
        gmemFree(block);
        return status;
    }
};

TEST_F(OrreryQv10Requests, LibraryIdentifiesItself) {
    EXPECT_EQ(call(ORRERY_VERSION) & 0xFFFF, 258);
    EXPECT_NE(call(ORRERY_INIT_BOARDS), 0);
    EXPECT_TRUE(call(ORRERY_CAPABILITIES) & 4);
}

TEST_F(OrreryQv10Requests, CameraRequestsWithoutALinkFail) {
    struct Case {
        int request;
        intptr_t a1;
        intptr_t expected;
    };
    const Case cases[] = {
        {ORRERY_SELECT_MODE, 64, ORRERY_NOT_OPEN}, {ORRERY_SET_SPEED, 0, ORRERY_NOT_OPEN},
        {ORRERY_SHOW_FRAME, 1, ORRERY_NOT_OPEN},   {ORRERY_ERASE_ALL, 0, ORRERY_NOT_OPEN},
        {ORRERY_CAMERA_STATE, 0, 0xFFFF},          {ORRERY_FINE_CAPABLE, 0, 0},
        {ORRERY_MOVE_FRAME, 1, ORRERY_NOT_OPEN},
    };
    for (const Case& c : cases) EXPECT_EQ(call(c.request, c.a1, 2), c.expected) << "request " << c.request;
    EXPECT_LT(call(ORRERY_FRAME_COUNT), 0);
    EXPECT_TRUE(call(ORRERY_SHOOTING_CHECK) & 0x8000);
}

TEST_F(OrreryQv10Requests, FreshCameraHoldsSamplePictures) {
    open();
    EXPECT_EQ(count(), 4);
    EXPECT_TRUE(std::filesystem::exists(cameraFolder() + "/index.txt"));
    for (int frame = 1; frame <= 4; ++frame) {
        std::vector<uint8_t> b = block(frame);
        EXPECT_GT(b.size(), orrery::kBlockHeaderBytes);
        EXPECT_LE(b.size(), 21120u);
        orrery::Picture picture = decode(b);
        EXPECT_EQ(picture.width, 640);
        EXPECT_EQ(picture.height, 480);
    }
}

TEST_F(OrreryQv10Requests, LinkSettingsRequests) {
    open();
    EXPECT_EQ(call(ORRERY_SELECT_MODE, 64), ORRERY_OK);
    EXPECT_EQ(call(ORRERY_SELECT_MODE, 128), ORRERY_OK);
    for (int index = 0; index <= 5; ++index) {
        EXPECT_EQ(call(ORRERY_SET_SPEED, index), ORRERY_OK) << "speed " << index;
        EXPECT_EQ(count(), 4) << "speed " << index;
    }
    EXPECT_EQ(call(ORRERY_SET_SPEED, 6), ORRERY_BAD_ARGUMENT);
    EXPECT_EQ(call(ORRERY_SHOW_FRAME, 2), ORRERY_OK);
    EXPECT_EQ(call(ORRERY_SHOW_FRAME, 5), ORRERY_BAD_ARGUMENT);
    EXPECT_EQ(call(ORRERY_CAMERA_STATE) & 0xFF40, 0);  // record mode, no failure
    EXPECT_EQ(call(ORRERY_FINE_CAPABLE), 0);           // a QV-10
    EXPECT_EQ(call(ORRERY_PICTURE_KIND, 1), 0);
    EXPECT_EQ(call(ORRERY_SHOOTING_CHECK), 92);
    // Each quit kind closes, and the camera answers again afterwards.
    for (int kind : {2, 1, 0}) {
        EXPECT_EQ(call(ORRERY_CLOSE_LINK, kind), ORRERY_OK);
        EXPECT_LT(count(), 0);
        open();
        EXPECT_EQ(count(), 4);
    }
}

TEST_F(OrreryQv10Requests, SpeedFallsBackWhenTheLineDoesNotCarryIt) {
    // Answers sent faster than 38400 baud are lost on the way.
    configure("fault.max_baud = 38400");
    open(150);
    ASSERT_EQ(call(ORRERY_SET_SPEED, 5), ORRERY_OK);
    EXPECT_EQ(count(), 4);
    char text[1024] = {};
    call(ORRERY_DESCRIBE, intptr_t(text), sizeof text);
    EXPECT_NE(std::string(text).find("at 38400 baud, 115200 did not carry, 57600 did not carry"), std::string::npos)
        << text;
    EXPECT_EQ(call(ORRERY_CLOSE_LINK, 1), ORRERY_OK);
    open(150);
    EXPECT_EQ(count(), 4);  // closing put the camera back to 9600
}

TEST_F(OrreryQv10Requests, ThumbnailArrivesAsDibWithProgress) {
    open();
    GlobalHandle dib = 0;
    ASSERT_EQ(call(ORRERY_READ_THUMBNAIL, 1, intptr_t(&dib), intptr_t(&recordingCallback)), ORRERY_OK);
    orrery::Picture thumb = takeDib(dib);
    EXPECT_EQ(thumb.width, 52);
    EXPECT_EQ(thumb.height, 36);
    // 2808 bytes in 22 blocks; progress statuses stay clear of the error bit 0x800.
    const auto& reports = recorder().reports;
    ASSERT_EQ(reports.size(), 22u);
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].position, intptr_t(i + 1));
        EXPECT_EQ(reports[i].status & 0x800, 0);
    }
    // Sample 1 has bars: white on the left, black on the right of the top rows.
    EXPECT_GT(thumb.row(5)[0], 180);
    EXPECT_LT(thumb.row(5)[51 * 3], 60);
}

TEST_F(OrreryQv10Requests, BlockReadReportsTotalFirst) {
    open();
    GlobalHandle handle = 0;
    uint16_t size = 0;
    ASSERT_EQ(call(ORRERY_READ_BLOCK, 2, intptr_t(&handle), intptr_t(&size), intptr_t(&recordingCallback)), ORRERY_OK);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(size, gmemSize(handle));
    const auto& reports = recorder().reports;
    intptr_t total = (size + 127) / 128;
    ASSERT_EQ(reports.size(), size_t(total));
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].status, total);
        EXPECT_EQ(reports[i].position, intptr_t(i + 1));
    }
    gmemFree(handle);
}

TEST_F(OrreryQv10Requests, StandardBlockIs21120BytesAndSendsIn165Packets) {
    open();
    orrery::Picture picture = testPicture(1);
    GlobalHandle encoded = encode(picture);
    ASSERT_EQ(gmemSize(encoded), 21120u);
    ASSERT_EQ(call(ORRERY_WRITE_BLOCK, -1, intptr_t(encoded), 21120, intptr_t(&recordingCallback)), ORRERY_OK);
    gmemFree(encoded);
    const auto& reports = recorder().reports;
    ASSERT_EQ(reports.size(), 165u);
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].status, 0);
        EXPECT_EQ(reports[i].position, intptr_t(i));
    }
    ASSERT_EQ(count(), 5);
    // Read back: JPEG at the field's resolution keeps a mean error within 6 levels.
    orrery::Picture back = decode(block(5));
    EXPECT_LT(meanDifference(back, picture), 6.0);
    // The top row stays on top (the send DIB's rows are top row first).
    EXPECT_GT(back.row(10)[1], 150);
    EXPECT_LT(back.row(470)[1], 90);
}

TEST_F(OrreryQv10Requests, WriteAtDestinationInsertsThere) {
    open();
    std::vector<std::vector<uint8_t>> before = blocks();
    ASSERT_EQ(put(testPicture(2), 2), ORRERY_OK);
    std::vector<std::vector<uint8_t>> after = blocks();
    ASSERT_EQ(after.size(), 5u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[2], before[1]);
    EXPECT_EQ(after[4], before[3]);
    EXPECT_LT(meanDifference(decode(after[1]), testPicture(2)), 6.0);
}

TEST_F(OrreryQv10Requests, DeleteTwoAndFourOfFiveKeepsOrder) {
    open();
    ASSERT_EQ(put(testPicture(0)), ORRERY_OK);
    std::vector<std::vector<uint8_t>> before = blocks();
    ASSERT_EQ(before.size(), 5u);
    const uint8_t frames[] = {2, 4, 255};
    ASSERT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(frames)), ORRERY_OK);
    std::vector<std::vector<uint8_t>> after = blocks();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[2]);
    EXPECT_EQ(after[2], before[4]);
}

TEST_F(OrreryQv10Requests, DeleteRefusesBadListsAndProtectedFrames) {
    {
        orrery::qv::FrameStore store(cameraFolder());
        ASSERT_TRUE(orrery::qv::VirtualQv10::seed(cameraFolder()));
        ASSERT_TRUE(store.load());
        store.setProtected(3, true);
        ASSERT_TRUE(store.save());
    }
    open();
    const uint8_t descending[] = {3, 2, 255};
    const uint8_t outside[] = {5, 255};
    const uint8_t protectedOne[] = {1, 4, 255};
    EXPECT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(descending)), ORRERY_BAD_ARGUMENT);
    EXPECT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(outside)), ORRERY_BAD_ARGUMENT);
    EXPECT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(protectedOne)), ORRERY_REFUSED);
    EXPECT_EQ(count(), 4);  // nothing deleted, not even frame 1
    EXPECT_EQ(call(ORRERY_PICTURE_KIND, 4) & 1, 1);
    EXPECT_EQ(call(ORRERY_MOVE_FRAME, 4, 1), ORRERY_REFUSED);
    EXPECT_EQ(count(), 4);
}

TEST_F(OrreryQv10Requests, MoveFollowsTheDocumentedOrder) {
    open();
    ASSERT_EQ(put(testPicture(0)), ORRERY_OK);
    ASSERT_EQ(put(testPicture(1)), ORRERY_OK);
    std::vector<std::vector<uint8_t>> f = blocks();  // frames 1..6
    ASSERT_EQ(f.size(), 6u);
    struct Case {
        int from, to;
        std::vector<int> order;  // resulting frames, by original number
    };
    // 3 dropped behind 5 is (3, 6); 5 taken to 2 gives 1 5 2 3 4 6.
    const Case cases[] = {
        {3, 6, {1, 2, 4, 5, 3, 6}},
        {5, 2, {1, 5, 2, 3, 4, 6}},
        {1, 7, {2, 3, 4, 5, 6, 1}},
        {4, 4, {1, 2, 3, 4, 5, 6}},
        {4, 5, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(call(ORRERY_MOVE_FRAME, c.from, c.to), ORRERY_OK) << c.from << "->" << c.to;
        std::vector<std::vector<uint8_t>> now = blocks();
        ASSERT_EQ(now.size(), 6u);
        for (size_t i = 0; i < 6; ++i) EXPECT_EQ(now[i], f[size_t(c.order[i] - 1)]) << c.from << "->" << c.to << " at " << i;
        // Put the original order back for the next case.
        const uint8_t all[] = {1, 2, 3, 4, 5, 6, 255};
        ASSERT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(all)), ORRERY_OK);
        for (const auto& b : f) {
            GlobalHandle h = orrery::allocateBlock(b);
            ASSERT_EQ(call(ORRERY_WRITE_BLOCK, -1, intptr_t(h), intptr_t(b.size()), 0), ORRERY_OK);
            gmemFree(h);
        }
    }
    EXPECT_EQ(call(ORRERY_MOVE_FRAME, 7, 1), ORRERY_BAD_ARGUMENT);
    EXPECT_EQ(call(ORRERY_MOVE_FRAME, 1, 8), ORRERY_BAD_ARGUMENT);
}

TEST_F(OrreryQv10Requests, CopyFrameAppendsOrInserts) {
    open();
    std::vector<std::vector<uint8_t>> f = blocks();
    ASSERT_EQ(call(ORRERY_COPY_FRAME, 2, 0xFFFF), ORRERY_OK);
    ASSERT_EQ(count(), 5);
    EXPECT_EQ(block(5), f[1]);
    ASSERT_EQ(call(ORRERY_COPY_FRAME, 4, 1), ORRERY_OK);
    std::vector<std::vector<uint8_t>> now = blocks();
    ASSERT_EQ(now.size(), 6u);
    EXPECT_EQ(now[0], f[3]);
    EXPECT_EQ(now[1], f[0]);
}

TEST_F(OrreryQv10Requests, EraseAllLeavesProtectedFrames) {
    {
        ASSERT_TRUE(orrery::qv::VirtualQv10::seed(cameraFolder()));
        orrery::qv::FrameStore store(cameraFolder());
        ASSERT_TRUE(store.load());
        store.setProtected(1, true);
        ASSERT_TRUE(store.save());
    }
    open();
    std::vector<uint8_t> kept = block(2);
    ASSERT_EQ(call(ORRERY_ERASE_ALL), ORRERY_OK);
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(block(1), kept);
}

TEST_F(OrreryQv10Requests, FrameCountNeverExceeds96) {
    {
        orrery::qv::FrameStore store(cameraFolder());
        std::vector<uint8_t> b;
        ASSERT_TRUE(orrery::encodeStandardBlock(testPicture(3), b));
        b.resize(orrery::standardBlockLength(b));
        std::vector<uint8_t> thumb = orrery::encodeThumbnail(testPicture(3));
        for (int i = 0; i < 95; ++i) ASSERT_TRUE(store.insert(store.count(), b, thumb, false));
    }
    open();
    ASSERT_EQ(count(), 95);
    EXPECT_EQ(call(ORRERY_SHOOTING_CHECK), 1);
    EXPECT_EQ(put(testPicture(4)), ORRERY_OK);
    EXPECT_EQ(count(), 96);
    EXPECT_EQ(put(testPicture(5)), ORRERY_REFUSED);
    EXPECT_EQ(call(ORRERY_COPY_FRAME, 1, 0xFFFF), ORRERY_REFUSED);
    EXPECT_EQ(call(ORRERY_SHUTTER), 21);
    EXPECT_EQ(count(), 96);
}

TEST_F(OrreryQv10Requests, ShutterFollowsTheSwitch) {
    open();
    EXPECT_EQ(call(ORRERY_SHUTTER), 6);
    EXPECT_EQ(count(), 5);
    call(ORRERY_CLOSE_LINK, 1);
    configure("virtual.switch = play");
    open();
    EXPECT_EQ(call(ORRERY_CAMERA_STATE) & 0xFF40, 0x40);
    EXPECT_EQ(call(ORRERY_SHUTTER), 21);
    EXPECT_EQ(count(), 5);
}

TEST_F(OrreryQv10Requests, FinePicturesOnAQv100) {
    configure("virtual.model = qv100");
    open();
    EXPECT_NE(call(ORRERY_FINE_CAPABLE), 0);
    orrery::Picture picture = testPicture(6);
    GlobalHandle fine = encode(picture, true);
    ASSERT_NE(fine, 0u);
    EXPECT_NE(gmemSize(fine), 21120u);
    ASSERT_EQ(call(ORRERY_WRITE_BLOCK, -1, intptr_t(fine), intptr_t(gmemSize(fine)), 0), ORRERY_OK);
    gmemFree(fine);
    ASSERT_EQ(count(), 5);
    EXPECT_EQ(call(ORRERY_PICTURE_KIND, 5) & 2, 2);
    EXPECT_EQ(call(ORRERY_PICTURE_KIND, 1) & 2, 0);
    orrery::Picture back = decode(block(5), true);
    EXPECT_LT(meanDifference(back, picture), 3.0);
}

TEST_F(OrreryQv10Requests, GammaLiftsShadows) {
    open();
    std::vector<uint8_t> b = block(4);
    orrery::Picture plain = decode(b);
    call(ORRERY_CLOSE_LINK, 1);
    ASSERT_EQ(call(ORRERY_OPEN_LINK, 1000, 1000, 1), ORRERY_OK);
    orrery::Picture lifted = decode(b);
    double plainSum = 0, liftedSum = 0;
    for (size_t i = 0; i < plain.rgb.size(); ++i) plainSum += plain.rgb[i], liftedSum += lifted.rgb[i];
    EXPECT_GT(liftedSum, plainSum * 1.05);
}

}  // namespace
