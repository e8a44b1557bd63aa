// The camera's picture blocks and thumbnails, judged where possible by
// libjpeg-turbo's own djpeg.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "orrery/codec/cam_block.h"
#include "orrery/codec/jpeg_codec.h"
#include "orrery/codec/orientation.h"
#include "orrery/codec/thumbnail.h"
#include "orrery/qv10/sample_pictures.h"

namespace {

double meanDifference(const orrery::Picture& a, const orrery::Picture& b) {
    if (a.width != b.width || a.height != b.height) return 1e9;
    double total = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) total += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return total / double(a.rgb.size());
}

// Runs djpeg on the stream and returns the PNM header ("P6 480 240") or "" on failure.
std::string djpegHeader(const std::vector<uint8_t>& jpeg) {
    // A folder of this call's own: test processes run side by side.
    char pattern[] = "/tmp/orrery-djpeg-XXXXXX";
    if (!mkdtemp(pattern)) return {};
    std::string dir = pattern;
    std::string in = dir + "/rebuilt.jpg";
    std::string out = dir + "/rebuilt.ppm";
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    std::string command = std::string(DJPEG_PROGRAM) + " -pnm -outfile " + out + " " + in + " 2>/dev/null";
    std::string header;
    if (std::system(command.c_str()) == 0) {
        std::ifstream ppm(out, std::ios::binary);
        std::string magic;
        int w = 0, h = 0;
        ppm >> magic >> w >> h;
        header = magic + " " + std::to_string(w) + " " + std::to_string(h);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return header;
}

TEST(OrreryStandardBlock, RebuiltStreamIsReadByDjpegAs480x240) {
    std::vector<uint8_t> block;
    ASSERT_TRUE(orrery::encodeStandardBlock(orrery::qv::samplePicture(1), block));
    EXPECT_EQ(block.size(), 21120u);
    EXPECT_EQ(djpegHeader(orrery::standardBlockToJpeg(block)), "P6 480 240");
}

TEST(OrreryStandardBlock, AlwaysPaddedTo21120EvenForNoise) {
    orrery::Picture noise(640, 480);
    uint32_t state = 12345;
    for (uint8_t& v : noise.rgb) v = uint8_t((state = state * 1664525 + 1013904223) >> 24);
    std::vector<uint8_t> block;
    ASSERT_TRUE(orrery::encodeStandardBlock(noise, block));
    EXPECT_EQ(block.size(), 21120u);
    EXPECT_GT(orrery::standardBlockLength(block), 0u);
    orrery::Picture back;
    EXPECT_TRUE(orrery::decodeStandardBlock(block, back));
}

TEST(OrreryStandardBlock, RoundTripWithinJpegBound) {
    for (int n = 0; n < orrery::qv::kSamplePictureCount; ++n) {
        orrery::Picture original = orrery::resize(orrery::qv::samplePicture(n), 480, 240);
        std::vector<uint8_t> block;
        ASSERT_TRUE(orrery::encodeStandardBlock(original, block));
        orrery::Picture back;
        ASSERT_TRUE(orrery::decodeStandardBlock(block, back));
        EXPECT_LT(meanDifference(original, back), 8.0) << "sample " << n;
        // The block holds what its stripped-and-rebuilt JPEG holds: strip again, same bytes.
        std::vector<uint8_t> again;
        ASSERT_TRUE(orrery::jpegToStandardBlock(orrery::standardBlockToJpeg(block), again));
        EXPECT_EQ(again.size(), orrery::standardBlockLength(block));
        EXPECT_TRUE(std::equal(again.begin(), again.end(), block.begin()));
    }
}

TEST(OrreryFineBlock, RoundTripAndDjpeg) {
    orrery::Picture original = orrery::qv::samplePicture(2);
    std::vector<uint8_t> block;
    ASSERT_TRUE(orrery::encodeFineBlock(original, block));
    EXPECT_EQ(djpegHeader(orrery::fineBlockToJpeg(block)), "P6 640 480");
    orrery::Picture back;
    ASSERT_TRUE(orrery::decodeFineBlock(block, back));
    EXPECT_LT(meanDifference(original, back), 4.0);
}

TEST(OrreryStandardBlock, MalformedBlocksAreRefused) {
    std::vector<uint8_t> good;
    ASSERT_TRUE(orrery::encodeStandardBlock(orrery::qv::samplePicture(0), good));
    size_t length = orrery::standardBlockLength(good);
    struct Case {
        const char* name;
        std::vector<uint8_t> block;
    };
    std::vector<uint8_t> lengthsTooLong = good;
    lengthsTooLong[2] = 0xFF;  // Y scan longer than the block
    std::vector<uint8_t> scanGarbage = good;
    std::fill(scanGarbage.begin() + 136, scanGarbage.begin() + long(length), 0xFF);
    const Case cases[] = {
        {"empty", {}},
        {"header only, short", std::vector<uint8_t>(good.begin(), good.begin() + 100)},
        {"truncated scans", std::vector<uint8_t>(good.begin(), good.begin() + long(length) - 50)},
        {"lengths past the end", lengthsTooLong},
        {"scan of 0xFF bytes", scanGarbage},
    };
    for (const Case& c : cases) {
        orrery::Picture out;
        EXPECT_FALSE(orrery::decodeStandardBlock(c.block, out)) << c.name;
        EXPECT_FALSE(orrery::decodeFineBlock(c.block, out)) << c.name;
    }
}

TEST(OrreryJpegFile, AWarningIsAPictureDamageIsNot) {
    orrery::Picture picture = orrery::resize(orrery::qv::samplePicture(1), 160, 120);
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(orrery::encodeJpeg(picture, orrery::JpegEncoding{}, jpeg));
    // Stray bytes before the end marker: libjpeg warns, the picture is whole.
    std::vector<uint8_t> stray = jpeg;
    stray.insert(stray.end() - 2, 64, 0x00);
    orrery::Picture out;
    ASSERT_TRUE(orrery::decodeJpeg(stray, out));
    EXPECT_LT(meanDifference(out, picture), 8.0);
    // Cut in the middle of the coded data: refused.
    std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 2 / 3));
    EXPECT_FALSE(orrery::decodeJpeg(cut, out));
}

TEST(OrreryOrientation, EachExifOrientationShowsThePictureUpright) {
    // a b c / d e f, told by the red channel.
    orrery::Picture source(3, 2);
    const char* letters = "abcdef";
    for (int i = 0; i < 6; ++i) source.rgb[size_t(i) * 3] = uint8_t(letters[i]);
    struct Case {
        int orientation;
        int width;
        const char* rows;
    };
    const Case cases[] = {
        {1, 3, "abcdef"}, {2, 3, "cbafed"}, {3, 3, "fedcba"}, {4, 3, "defabc"},
        {5, 2, "adbecf"}, {6, 2, "daebfc"}, {7, 2, "fcebda"}, {8, 2, "cfbead"},
    };
    for (const Case& c : cases) {
        orrery::Picture turned = orrery::applyOrientation(source, c.orientation);
        ASSERT_EQ(turned.width, c.width) << c.orientation;
        std::string got;
        for (size_t i = 0; i < 6; ++i) got += char(turned.rgb[i * 3]);
        EXPECT_EQ(got, c.rows) << "orientation " << c.orientation;
    }
    // The tag read from a bare Exif block in either byte order; nothing readable is 1.
    const std::vector<uint8_t> motorola = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 8, 0, 0};
    EXPECT_EQ(orrery::exifOrientation(motorola), 8);
    std::vector<uint8_t> truncated(motorola.begin(), motorola.end() - 6);
    EXPECT_EQ(orrery::exifOrientation(truncated), 1);
    EXPECT_EQ(orrery::exifOrientation(std::vector<uint8_t>{0xFF, 0xD8, 0xFF}), 1);
}

TEST(OrreryThumbnail, RoundTripKeepsColours) {
    orrery::Picture bars = orrery::qv::samplePicture(0);
    std::vector<uint8_t> data = orrery::encodeThumbnail(bars);
    ASSERT_EQ(data.size(), 2808u);
    orrery::Picture thumb;
    ASSERT_TRUE(orrery::decodeThumbnail(data, thumb));
    EXPECT_LT(meanDifference(orrery::resize(bars, 52, 36), thumb), 12.0);
    // Bar 2 (yellow) keeps its hue: red and green high, blue low.
    const uint8_t* yellow = thumb.row(10) + 9 * 3;
    EXPECT_GT(yellow[0], 180);
    EXPECT_GT(yellow[1], 180);
    EXPECT_LT(yellow[2], 80);
    EXPECT_FALSE(orrery::decodeThumbnail(std::vector<uint8_t>(2807), thumb));
}

}  // namespace
