// libgphoto2 cameras through the request table, with the "Directory Browse"
// camera over a folder of JPEG files made here.
#include <gtest/gtest.h>

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
        folder_ = root() + "/card";
        fs::create_directories(folder_);
        // Written out of order: frames follow the names.
        writeJpeg("c.jpg", 800, 600, 2);
        writeJpeg("a.jpg", 800, 600, 0);
        writeJpeg("b.JPG", 300, 400, 1);
        std::ofstream(folder_ + "/notes.txt") << "not a picture";
        configure("camera = gphoto2\ngphoto2.model = Directory Browse\ngphoto2.port = disk:" + folder_);
    }
    void writeJpeg(const std::string& name, int w, int h, int seed) {
        orrery::Picture p = orrery::resize(testPicture(seed), w, h);
        std::vector<uint8_t> jpeg;
        ASSERT_TRUE(orrery::encodeJpeg(p, orrery::JpegEncoding{}, jpeg));
        std::ofstream(folder_ + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    }
    std::vector<uint8_t> fileBytes(const std::string& name) {
        std::ifstream in(folder_ + "/" + name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    std::string folder_;
};

TEST_F(OrreryGphoto, FilesAreFramesInNameOrder) {
    open();
    ASSERT_EQ(count(), 3);
    EXPECT_EQ(block(1), fileBytes("a.jpg"));
    EXPECT_EQ(block(2), fileBytes("b.JPG"));
    EXPECT_EQ(block(3), fileBytes("c.jpg"));
    EXPECT_EQ(call(ORRERY_FINE_CAPABLE), 0);
    EXPECT_EQ(call(ORRERY_SHOW_FRAME, 3), ORRERY_OK);
    EXPECT_EQ(call(ORRERY_SHOW_FRAME, 4), ORRERY_BAD_ARGUMENT);
}

TEST_F(OrreryGphoto, PicturesKeepTheirShapeInside640x480) {
    open();
    orrery::Picture landscape = decode(block(1));
    EXPECT_EQ(landscape.width, 640);
    EXPECT_EQ(landscape.height, 480);
    EXPECT_LT(meanDifference(landscape, testPicture(0)), 4.0);
    orrery::Picture portrait = decode(block(2));
    EXPECT_EQ(portrait.width, 360);
    EXPECT_EQ(portrait.height, 480);
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

TEST_F(OrreryGphoto, UploadDeleteAndShutter) {
    open();
    GlobalHandle block = encode(testPicture(3));
    ASSERT_EQ(call(ORRERY_WRITE_BLOCK, -1, intptr_t(block), 21120, 0), ORRERY_OK);
    gmemFree(block);
    EXPECT_TRUE(fs::exists(folder_ + "/ORRY0001.JPG"));
    ASSERT_EQ(count(), 4);  // "ORRY0001.JPG" sorts first
    EXPECT_LT(meanDifference(decode(this->block(1)), testPicture(3)), 8.0);

    const uint8_t frames[] = {1, 3, 255};
    ASSERT_EQ(call(ORRERY_DELETE_FRAMES, intptr_t(frames)), ORRERY_OK);
    EXPECT_FALSE(fs::exists(folder_ + "/ORRY0001.JPG"));
    EXPECT_FALSE(fs::exists(folder_ + "/b.JPG"));
    EXPECT_EQ(count(), 2);
    // The directory camera cannot shoot or reorder.
    EXPECT_EQ(call(ORRERY_SHUTTER), 21);
    EXPECT_EQ(call(ORRERY_CAMERA_STATE) & 0x40, 0x40);
    EXPECT_EQ(call(ORRERY_MOVE_FRAME, 1, 3), ORRERY_UNSUPPORTED);
}

TEST_F(OrreryGphoto, NoCamera) {
    for (const char* line : {"camera = gphoto2\ngphoto2.model = No Such Camera\ngphoto2.port = disk:/tmp",
                             "camera = gphoto2\ngphoto2.model = Directory Browse\ngphoto2.port = nosuchport:x",
                             "camera = gphoto2"}) {  // autodetect: no USB camera here
        configure(line);
        EXPECT_EQ(call(ORRERY_OPEN_LINK, 1000, 1000, 0), ORRERY_NO_DEVICE) << line;
        EXPECT_LT(count(), 0);
    }
}

}  // namespace
