// libgphoto2 cameras through the request table, with the "Directory Browse"
// camera over a folder tree made here: two storages, each with a DCIM folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "orrery/codec/jpeg_codec.h"
#include "orrery/core/blocks.h"
#include "orrery_fixture.h"

using namespace orrery_test;
namespace fs = std::filesystem;

namespace {

class OrreryGphoto : public OrreryTest {
protected:
    void SetUp() override {
        OrreryTest::SetUp();
        card_ = root() + "/card";
        first_ = card_ + "/store_1/DCIM/100AAAAA";
        second_ = card_ + "/store_2/DCIM/100BBBBB";
        fs::create_directories(first_);
        fs::create_directories(second_);
        // Capture times an hour apart, folders and names out of step with them.
        writeJpeg(second_ + "/c.jpg", 800, 600, 2, 1);
        writeJpeg(first_ + "/z.jpg", 800, 600, 0, 3);
        writeJpeg(second_ + "/b.JPG", 300, 400, 1, 2);
        std::ofstream(first_ + "/notes.txt") << "not a picture";
        // Raw files count only where the camera gives previews; this one does not.
        std::ofstream(second_ + "/d.NEF") << "raw";
        configure("camera = gphoto2\ngphoto2.model = Directory Browse\ngphoto2.port = disk:" + card_);
    }
    // A JPEG file made hoursAgo hours before now (a whole number of seconds).
    void writeJpeg(const std::string& path, int w, int h, int seed, int hoursAgo, std::vector<uint8_t> exif = {}) {
        orrery::Picture p = orrery::resize(testPicture(seed), w, h);
        std::vector<uint8_t> jpeg;
        ASSERT_TRUE(orrery::encodeJpeg(p, orrery::JpegEncoding{}, jpeg));
        jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
        setAge(path, hoursAgo * 3600);
    }
    static void setAge(const std::string& path, int seconds) {
        auto now = std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now());
        fs::last_write_time(path, now - std::chrono::seconds(seconds));
    }
    static std::vector<uint8_t> fileBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    intptr_t put(int seed, intptr_t destination) {
        GlobalHandle block = encode(testPicture(seed));
        intptr_t status = call(ORRERY_WRITE_BLOCK, destination, intptr_t(block), 21120, 0);
        gmemFree(block);
        return status;
    }
    size_t filesIn(const std::string& folder) {
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(folder)) n += e.is_regular_file();
        return n;
    }
    std::string card_, first_, second_;
};

TEST_F(OrreryGphoto, FramesFollowCaptureTimeAcrossFolders) {
    // Same time as z.jpg: the name decides.
    writeJpeg(second_ + "/y.jpg", 64, 48, 4, 3);
    open();
    ASSERT_EQ(count(), 4);
    EXPECT_EQ(block(1), fileBytes(second_ + "/y.jpg"));
    EXPECT_EQ(block(2), fileBytes(first_ + "/z.jpg"));
    EXPECT_EQ(block(3), fileBytes(second_ + "/b.JPG"));
    EXPECT_EQ(block(4), fileBytes(second_ + "/c.jpg"));
    EXPECT_EQ(call(ORRERY_FINE_CAPABLE), 0);
    EXPECT_EQ(call(ORRERY_SHOW_FRAME, 4), ORRERY_OK);
    EXPECT_EQ(call(ORRERY_SHOW_FRAME, 5), ORRERY_BAD_ARGUMENT);
}

TEST_F(OrreryGphoto, TheNewest96PicturesAcrossFolders) {
    for (int i = 0; i < 100; ++i) {
        std::string path = (i % 2 ? first_ : second_) + "/n" + std::to_string(i) + ".jpg";
        writeJpeg(path, 16, 16, i, 0);
        setAge(path, 1000 - i);
    }
    open();
    ASSERT_EQ(count(), 96);
    // The three old pictures and n0..n3 fall out; n4 is the oldest kept.
    EXPECT_EQ(block(1), fileBytes(second_ + "/n4.jpg"));
    EXPECT_EQ(block(96), fileBytes(first_ + "/n99.jpg"));
}

TEST_F(OrreryGphoto, PicturesKeepTheirShapeAndOrientationInside640x480) {
    // An Exif block saying "turn 90 degrees clockwise to show" (orientation 6).
    const std::vector<uint8_t> exif = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,  'I', 'I', 42, 0, 8, 0, 0, 0,
                                       1,    0,    0x12, 0x01, 3,   0,   1,   0,   0, 0,  6,   0,   0,  0, 0, 0, 0, 0};
    writeJpeg(first_ + "/turned.jpg", 800, 600, 5, 0, exif);
    open();
    ASSERT_EQ(count(), 4);
    orrery::Picture landscape = decode(block(1));
    EXPECT_EQ(landscape.width, 640);
    EXPECT_EQ(landscape.height, 480);
    EXPECT_LT(meanDifference(landscape, testPicture(0)), 4.0);
    orrery::Picture portrait = decode(block(2));
    EXPECT_EQ(portrait.width, 360);
    EXPECT_EQ(portrait.height, 480);
    orrery::Picture turned = decode(block(4));
    ASSERT_EQ(turned.width, 360);
    ASSERT_EQ(turned.height, 480);
    // Turned clockwise, the picture's bottom-left corner is now top-left.
    orrery::Picture source = orrery::resize(testPicture(5), 360, 270);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(turned.row(2)[6 + c], source.row(267)[6 + c], 24) << c;
    GlobalHandle dib = 0;
    ASSERT_EQ(call(ORRERY_READ_THUMBNAIL, 4, intptr_t(&dib), 0), ORRERY_OK);
    orrery::Picture thumb = takeDib(dib);
    EXPECT_EQ(thumb.width, 54);
    EXPECT_EQ(thumb.height, 72);
}

TEST_F(OrreryGphoto, ThumbnailIsTheScaledPictureWithProgress) {
    open();
    GlobalHandle dib = 0;
    ASSERT_EQ(call(ORRERY_READ_THUMBNAIL, 1, intptr_t(&dib), intptr_t(&recordingCallback)), ORRERY_OK);
    orrery::Picture thumb = takeDib(dib);
    EXPECT_EQ(thumb.width, 96);
    EXPECT_EQ(thumb.height, 72);
    ASSERT_FALSE(recorder().reports.empty());
    for (const Report& r : recorder().reports) EXPECT_EQ(r.status & 0x800, 0);
}

TEST_F(OrreryGphoto, WrittenPicturesGoAfterTheLastOrNowhere) {
    open();
    ASSERT_EQ(count(), 3);
    // A place the camera cannot give: "cannot do this", and nothing stored.
    EXPECT_EQ(put(3, 1), ORRERY_UNSUPPORTED);
    EXPECT_EQ(put(3, 3), ORRERY_UNSUPPORTED);
    EXPECT_EQ(call(ORRERY_COPY_FRAME, 3, 1), ORRERY_UNSUPPORTED);
    EXPECT_EQ(call(ORRERY_MOVE_FRAME, 1, 3), ORRERY_UNSUPPORTED);
    EXPECT_EQ(filesIn(first_) + filesIn(second_), 5u);
    EXPECT_EQ(count(), 3);
    // After the last, asked for as -1 or as count + 1.
    ASSERT_EQ(put(3, -1), ORRERY_OK);
    ASSERT_EQ(count(), 4);
    EXPECT_LT(meanDifference(decode(block(4)), testPicture(3)), 8.0);
    EXPECT_TRUE(fs::exists(second_ + "/ORRY0001.JPG"));  // beside the newest picture
    ASSERT_EQ(put(4, 5), ORRERY_OK);
    ASSERT_EQ(count(), 5);
    EXPECT_LT(meanDifference(decode(block(5)), testPicture(4)), 8.0);
    ASSERT_EQ(call(ORRERY_COPY_FRAME, 2, 0xFFFF), ORRERY_OK);
    ASSERT_EQ(count(), 6);
    EXPECT_EQ(block(6), fileBytes(second_ + "/b.JPG"));
    // A move that leaves everything where it is needs no camera.
    EXPECT_EQ(call(ORRERY_MOVE_FRAME, 2, 3), ORRERY_OK);
}

TEST_F(OrreryGphoto, DeleteAfterAWriteHitsTheFramesNamed) {
    open();
    ASSERT_EQ(put(3, -1), ORRERY_OK);
    ASSERT_EQ(count(), 4);
    const uint8_t written[] = {4, 255};
    ASSERT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(written)), ORRERY_OK);
    EXPECT_FALSE(fs::exists(second_ + "/ORRY0001.JPG"));
    ASSERT_EQ(count(), 3);
    const uint8_t firstAndLast[] = {1, 3, 255};
    ASSERT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(firstAndLast)), ORRERY_OK);
    EXPECT_FALSE(fs::exists(second_ + "/c.jpg"));
    EXPECT_FALSE(fs::exists(first_ + "/z.jpg"));
    EXPECT_TRUE(fs::exists(second_ + "/b.JPG"));
    EXPECT_EQ(count(), 1);
    // The directory camera cannot shoot.
    EXPECT_EQ(call(ORRERY_SHUTTER), 21);
    EXPECT_EQ(call(ORRERY_CAMERA_STATE) & 0x40, 0x40);
}

TEST_F(OrreryGphoto, AnEmptyCameraTakesPicturesIntoItsDcimFolder) {
    fs::remove_all(card_ + "/store_1");
    fs::remove_all(card_ + "/store_2");
    fs::create_directories(card_ + "/store_1/DCIM/100EMPTY");
    open();
    ASSERT_EQ(count(), 0);
    ASSERT_EQ(put(1, -1), ORRERY_OK);
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(fs::exists(card_ + "/store_1/DCIM/100EMPTY/ORRY0001.JPG"));
}

TEST_F(OrreryGphoto, NoCamera) {
    for (std::string line : {"camera = gphoto2\ngphoto2.model = No Such Camera\ngphoto2.port = disk:" + card_,
                             std::string("camera = gphoto2\ngphoto2.model = Directory Browse\ngphoto2.port = nosuchport:x"),
                             std::string("camera = gphoto2")}) {  // autodetect: no USB camera here
        configure(line);
        EXPECT_EQ(call(ORRERY_OPEN_LINK, 1000, 1000, 0), ORRERY_NO_DEVICE) << line;
        EXPECT_LT(count(), 0);
    }
}

}  // namespace
