// JPEGRead and JPEGWrite against libjpeg-turbo's own tools.
#include "jpeg32/jpeg32.h"

#include "imaging/imaging.h"
#include "imaging/result.h"
#include "tests/imaging/oracle.h"
#include "tests/imaging/test_pictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

using imaging::Bitmap;
using imaging::testing::maxDifference;
using imaging::testing::readPpm;
using imaging::testing::Rgb8Picture;
using imaging::testing::run;
using imaging::testing::scratchPath;
using imaging::testing::toRgb8;

// Mean absolute channel difference: the bound for lossy round trips.
double meanDifference(const Rgb8Picture& a, const Rgb8Picture& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return a.rgb.empty() ? 0 : sum / double(a.rgb.size());
}

class JpegFiles : public ::testing::Test {
protected:
    void SetUp() override {
        source = scratchPath("source.ppm");
        ASSERT_TRUE(imaging::testing::writePpm(source, imaging::testing::testScene(61, 43)));
    }
    void TearDown() override {
        for (const std::string& f : made) std::remove(f.c_str());
        std::remove(source.c_str());
    }
    std::string file(const std::string& name) {
        made.push_back(scratchPath(name));
        return made.back();
    }
    Rgb8Picture djpeg(const std::string& jpeg) {
        const std::string ppm = file(jpeg.substr(jpeg.rfind('/') + 1) + ".ppm");
        Rgb8Picture out;
        EXPECT_TRUE(run("djpeg -pnm -outfile " + ppm + " " + jpeg));
        EXPECT_TRUE(readPpm(ppm, out));
        return out;
    }
    std::string source;
    std::vector<std::string> made;
};

TEST_F(JpegFiles, ReadsCjpegBaselineAndProgressiveToDjpegsPixels) {
    for (const bool progressive : {false, true}) {
        const std::string jpeg = file(progressive ? "p.jpg" : "b.jpg");
        ASSERT_TRUE(run(std::string("cjpeg -quality 85 ") + (progressive ? "-progressive " : "") +
                        "-outfile " + jpeg + " " + source));
        Bitmap picture;
        int flag = -1;
        ASSERT_EQ(JPEGRead(&picture, jpeg.c_str(), &flag), imaging::kSuccess);
        EXPECT_EQ(flag, progressive ? 1 : 0);
        EXPECT_EQ(picture.bitsPerPixel, 24);
        EXPECT_EQ(picture.formatCode, 10);
        EXPECT_EQ(maxDifference(toRgb8(picture), djpeg(jpeg)), 0);
    }
}

TEST_F(JpegFiles, GreyFilesBecomeEightBitGreyAndCmykBecomesRgb) {
    const std::string grey = file("g.jpg");
    ASSERT_TRUE(run("cjpeg -grayscale -outfile " + grey + " " + source));
    Bitmap picture;
    ASSERT_EQ(JPEGRead(&picture, grey.c_str(), nullptr), imaging::kSuccess);
    EXPECT_EQ(picture.bitsPerPixel, 8);
    EXPECT_EQ(picture.palette[77].red, 77);
    Rgb8Picture seen;
    ASSERT_TRUE(imaging::testing::magickRead(grey, seen));
    EXPECT_EQ(maxDifference(toRgb8(picture), seen), 0);

    const std::string cmyk = file("c.jpg");
    ASSERT_TRUE(run(std::string(imaging::testing::kMagick) + " " + source + " -colorspace CMYK -quality 95 " + cmyk));
    ASSERT_EQ(JPEGRead(&picture, cmyk.c_str(), nullptr), imaging::kSuccess);
    EXPECT_EQ(picture.bitsPerPixel, 24);
    Rgb8Picture original;
    ASSERT_TRUE(readPpm(source, original));
    EXPECT_LT(meanDifference(toRgb8(picture), original), 6.0);
}

// Our files decode to exactly the pixels of cjpeg's files made from the same
// picture: same quality, same 4:2:0 sampling, same DCT.
TEST_F(JpegFiles, WritesWhatCjpegWritesBaselineAndProgressive) {
    const Bitmap picture = imaging::testing::patterned(61, 43, 24);
    const std::string ppm = file("same.ppm");
    ASSERT_TRUE(imaging::testing::writePpm(ppm, toRgb8(picture)));
    for (const int progressive : {0, 1}) {
        const std::string ours = file(progressive ? "wp.jpg" : "wb.jpg");
        const std::string theirs = file(progressive ? "cp.jpg" : "cb.jpg");
        ASSERT_EQ(JPEGWrite(&picture, ours.c_str(), 90, progressive), imaging::kSuccess);
        ASSERT_TRUE(run(std::string("cjpeg -quality 90 ") + (progressive ? "-progressive " : "") +
                        "-outfile " + theirs + " " + ppm));
        EXPECT_EQ(maxDifference(djpeg(ours), djpeg(theirs)), 0);
        Bitmap back;
        int flag = -1;
        ASSERT_EQ(JPEGRead(&back, ours.c_str(), &flag), imaging::kSuccess);
        EXPECT_EQ(flag, progressive);
        std::string kind;
        if (std::FILE* p = popen(("/usr/bin/identify -format '%[interlace]' " + ours).c_str(), "r")) {
            char buffer[64] = {};
            kind = std::fgets(buffer, sizeof buffer, p) ? buffer : "";
            pclose(p);
        }
        EXPECT_EQ(kind, progressive ? "JPEG" : "None");
    }
    // Higher quality, closer pixels.
    const std::string low = file("q10.jpg"), high = file("q100.jpg");
    ASSERT_EQ(JPEGWrite(&picture, low.c_str(), 10, 0), imaging::kSuccess);
    ASSERT_EQ(JPEGWrite(&picture, high.c_str(), 100, 0), imaging::kSuccess);
    EXPECT_LT(meanDifference(djpeg(high), toRgb8(picture)), meanDifference(djpeg(low), toRgb8(picture)));
}

TEST_F(JpegFiles, OtherDepthsAreWrittenThroughTheirColours) {
    for (const int bits : {1, 4, 8, 16, 32}) {
        const Bitmap picture = imaging::testing::patterned(33, 17, bits);
        const std::string ours = file("d" + std::to_string(bits) + ".jpg");
        const std::string ppm = file("d" + std::to_string(bits) + ".ppm");
        const std::string theirs = file("c" + std::to_string(bits) + ".jpg");
        ASSERT_EQ(JPEGWrite(&picture, ours.c_str(), 95, 0), imaging::kSuccess) << bits;
        ASSERT_TRUE(imaging::testing::writePpm(ppm, toRgb8(picture)));
        ASSERT_TRUE(run("cjpeg -quality 95 -outfile " + theirs + " " + ppm));
        EXPECT_EQ(maxDifference(djpeg(ours), djpeg(theirs)), 0) << bits;
    }
    // A grey ramp palette makes a one-component file.
    Bitmap grey = imaging::testing::patterned(33, 17, 8);
    imaging::setDefaultPalette(grey);
    const std::string path = file("grey.jpg");
    ASSERT_EQ(JPEGWrite(&grey, path.c_str(), 90, 0), imaging::kSuccess);
    Bitmap back;
    ASSERT_EQ(JPEGRead(&back, path.c_str(), nullptr), imaging::kSuccess);
    EXPECT_EQ(back.bitsPerPixel, 8);
}

TEST_F(JpegFiles, FailuresGiveCodesAndWriteNothing) {
    const Bitmap picture = imaging::testing::patterned(8, 8, 24);
    const std::string jpeg = file("never.jpg");
    EXPECT_EQ(JPEGWrite(&picture, jpeg.c_str(), 4, 0), imaging::kErrCompressionParam);
    EXPECT_EQ(JPEGWrite(&picture, jpeg.c_str(), 101, 0), imaging::kErrCompressionParam);
    EXPECT_FALSE(std::ifstream(jpeg).good());
    Bitmap empty;
    EXPECT_EQ(JPEGWrite(&empty, jpeg.c_str(), 50, 0), imaging::kErrNoBitmap);

    Bitmap read;
    EXPECT_EQ(JPEGRead(&read, "/nonexistent/x.jpg", nullptr), imaging::kErrFileNotFound);
    EXPECT_EQ(JPEGRead(&read, source.c_str(), nullptr), imaging::kErrFileFormat);
    // A file cut inside its header; one cut in its scan still gives a picture.
    const std::string whole = file("whole.jpg");
    ASSERT_TRUE(run("cjpeg -outfile " + whole + " " + source));
    std::ifstream in(whole, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const size_t keep : {size_t(100), bytes.size() / 2}) {
        const std::string cut = file("cut" + std::to_string(keep) + ".jpg");
        std::ofstream(cut, std::ios::binary).write(bytes.data(), std::streamsize(keep));
        Bitmap b;
        const int result = JPEGRead(&b, cut.c_str(), nullptr);
        if (keep == 100) EXPECT_EQ(result, imaging::kErrCorrupt);
        else EXPECT_EQ(result, imaging::kSuccess);
    }
}

}  // namespace
