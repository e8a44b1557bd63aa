// TIFF (code 3) and PNG (code 75) in the imaging library: our files judged by
// libtiff's tools and ImageMagick, their files read by us.
#include "imaging/codec_table.h"
#include "imaging/file_io.h"
#include "imaging/imaging.h"
#include "imaging/result.h"
#include "tests/imaging/oracle.h"
#include "tests/imaging/test_pictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using imaging::Bitmap;
using imaging::testing::magickRead;
using imaging::testing::maxDifference;
using imaging::testing::Rgb8Picture;
using imaging::testing::run;
using imaging::testing::scratchPath;
using imaging::testing::toRgb8;

std::string capture(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

Bitmap picture(int bits, bool greyPalette) {
    Bitmap b = imaging::testing::patterned(37, 23, bits, bits);
    if (bits <= 8 && !greyPalette)
        for (int i = 0; i < (1 << bits); ++i)
            b.palette[size_t(i)] = imaging::RgbQuad{uint8_t(i * 3), uint8_t(200 - i / 2), uint8_t(255 - i), 0};
    if (bits <= 8) b.paletteCount = 1 << bits;
    if (bits == 1 && !greyPalette) b.palette[0] = imaging::RgbQuad{10, 200, 30, 0};
    return b;
}

struct RoundTrip {
    int formatCode;
    int bits;
    bool greyPalette;
};

class WrittenFile : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(WrittenFile, IndependentReadersAgreeAndWeReadItBack) {
    const RoundTrip c = GetParam();
    const Bitmap source = picture(c.bits, c.greyPalette);
    const std::string path = scratchPath(c.formatCode == 3 ? "rt.tif" : "rt.png");
    ASSERT_EQ(imaging::save(path, source, c.formatCode), imaging::kSuccess);

    Rgb8Picture seen;
    ASSERT_TRUE(magickRead(path, seen));
    EXPECT_EQ(maxDifference(seen, toRgb8(source)), 0);
    if (c.formatCode == 3) {
        const std::string info = capture("tiffinfo " + path);
        EXPECT_NE(info.find("Bits/Sample: " + std::to_string(c.bits <= 8 ? c.bits : 8)), std::string::npos) << info;
        EXPECT_EQ(info.find("Error"), std::string::npos) << info;
        EXPECT_NE(info.find("Resolution: 96, 96 pixels/inch"), std::string::npos) << info;
    } else {
        EXPECT_EQ(capture("/usr/bin/identify -format '%[png:IHDR.bit-depth-orig]' " + path),
                  std::to_string(c.bits <= 8 ? c.bits : 8));
    }

    imaging::FileInfo info;
    ASSERT_EQ(imaging::fileInfo(path, info), imaging::kSuccess);
    EXPECT_EQ(info.formatCode, c.formatCode);
    EXPECT_EQ(info.bits, c.bits);
    Bitmap back;
    ASSERT_EQ(imaging::load(path, back), imaging::kSuccess);
    EXPECT_EQ(back.bitsPerPixel, c.bits);
    EXPECT_EQ(back.formatCode, c.formatCode);
    EXPECT_TRUE(imaging::testing::samePixels(back, source));
    EXPECT_EQ(back.xResolution, 96);
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    EveryDepthWeWrite, WrittenFile,
    ::testing::Values(RoundTrip{3, 1, true}, RoundTrip{3, 1, false}, RoundTrip{3, 4, false},
                      RoundTrip{3, 4, true}, RoundTrip{3, 8, false}, RoundTrip{3, 8, true},
                      RoundTrip{3, 24, false}, RoundTrip{3, 32, false}, RoundTrip{75, 1, false},
                      RoundTrip{75, 4, false}, RoundTrip{75, 8, true}, RoundTrip{75, 24, false}));

TEST(WrittenFile, SixteenBitPicturesAreConvertedForPngAndTiff) {
    const Bitmap source = imaging::testing::patterned(20, 10, 16);
    for (int code : {3, 75}) {
        const std::string path = scratchPath("deep");
        ASSERT_EQ(imaging::save(path, source, code, 24), imaging::kSuccess);
        Bitmap back;
        ASSERT_EQ(imaging::load(path, back), imaging::kSuccess);
        EXPECT_EQ(back.bitsPerPixel, 24) << code;
        EXPECT_TRUE(imaging::testing::samePixels(back, source)) << code;
        std::remove(path.c_str());
    }
}

struct ForeignFile {
    const char* name;
    const char* command;  // %s the source PPM, %o the file made
    int bits;             // depth we read it as
    int tolerance;        // lossy compressions
};

std::string substitute(std::string text, const std::string& source, const std::string& out) {
    for (size_t at; (at = text.find("%s")) != std::string::npos;) text.replace(at, 2, source);
    for (size_t at; (at = text.find("%o")) != std::string::npos;) text.replace(at, 2, out);
    return text;
}

class ForeignFiles : public ::testing::TestWithParam<ForeignFile> {};

TEST_P(ForeignFiles, WeReadWhatImageMagickReads) {
    const ForeignFile c = GetParam();
    const std::string source = scratchPath("scene.ppm");
    const std::string path = scratchPath(std::string("foreign-") + c.name);
    ASSERT_TRUE(imaging::testing::writePpm(source, imaging::testing::testScene(41, 27)));
    ASSERT_TRUE(run(substitute(c.command, source, path))) << c.command;
    Rgb8Picture expected;
    ASSERT_TRUE(magickRead(path, expected));
    Bitmap ours;
    ASSERT_EQ(imaging::load(path, ours), imaging::kSuccess);
    EXPECT_EQ(ours.bitsPerPixel, c.bits);
    EXPECT_LE(maxDifference(toRgb8(ours), expected), c.tolerance);
    EXPECT_GE(maxDifference(toRgb8(ours), expected), 0);
    std::remove(source.c_str());
    std::remove(path.c_str());
    std::remove((path + ".t").c_str());
}

#define IM "/usr/bin/convert %s "
INSTANTIATE_TEST_SUITE_P(
    Tiff, ForeignFiles,
    ::testing::Values(
        ForeignFile{"rgb", IM "-compress none tiff:%o", 24, 0},
        ForeignFile{"lzw", IM "tiff:%o.t && tiffcp -c lzw:2 %o.t %o", 24, 0},
        ForeignFile{"zip", IM "tiff:%o.t && tiffcp -c zip %o.t %o", 24, 0},
        ForeignFile{"packbits", IM "tiff:%o.t && tiffcp -c packbits %o.t %o", 24, 0},
        ForeignFile{"jpeg", IM "tiff:%o.t && tiffcp -c jpeg:90 %o.t %o", 24, 2},
        ForeignFile{"tiled", IM "tiff:%o.t && tiffcp -t -w 16 -l 16 %o.t %o", 24, 0},
        ForeignFile{"strips", IM "tiff:%o.t && tiffcp -r 3 %o.t %o", 24, 0},
        ForeignFile{"planar", IM "tiff:%o.t && tiffcp -p separate %o.t %o", 24, 0},
        ForeignFile{"sixteen", IM "-depth 16 tiff:%o", 24, 0},
        ForeignFile{"rgba", IM "-alpha set -channel A -evaluate set 60% +channel tiff:%o", 32, 0},
        ForeignFile{"cmyk", IM "-colorspace CMYK tiff:%o", 24, 1},
        // 16-bit map entries: we round v * 255 / 65535, ImageMagick takes (v + 128) / 257.
        ForeignFile{"palette", IM "-colors 60 -type Palette tiff:%o", 8, 1},
        ForeignFile{"palette16", IM "-colors 12 -type Palette -depth 4 tiff:%o", 4, 0},
        ForeignFile{"grey", IM "-colorspace Gray tiff:%o", 8, 0},
        ForeignFile{"grey2", IM "-colorspace Gray -depth 2 tiff:%o", 4, 0},
        ForeignFile{"bilevel", IM "-monochrome -depth 1 tiff:%o", 1, 0},
        ForeignFile{"g3", IM "-monochrome -compress fax tiff:%o", 1, 0},
        ForeignFile{"g3twoD", IM "-monochrome -depth 1 tiff:%o.t && tiffcp -c g3:2d:fill %o.t %o", 1, 0},
        ForeignFile{"g4", IM "-monochrome -compress group4 tiff:%o", 1, 0},
        ForeignFile{"g4tiled", IM "-monochrome -depth 1 tiff:%o.t && tiffcp -c g4 -t -w 16 -l 16 %o.t %o", 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Png, ForeignFiles,
    ::testing::Values(
        ForeignFile{"rgb8", IM "png24:%o", 24, 0},
        ForeignFile{"rgb16", IM "-depth 16 png48:%o", 24, 0},
        ForeignFile{"rgba", IM "-alpha set -channel A -evaluate set 50% +channel png32:%o", 24, 0},
        ForeignFile{"rgba16", IM "-alpha set -channel A -evaluate set 50% +channel -depth 16 png64:%o", 24, 0},
        ForeignFile{"interlaced", IM "-interlace PNG png24:%o", 24, 0},
        ForeignFile{"palette8", IM "-colors 200 png8:%o", 8, 0},
        ForeignFile{"palette4", IM "-colors 14 -define png:bit-depth=4 png8:%o", 4, 0},
        ForeignFile{"palette2", IM "-colors 4 -define png:bit-depth=2 -define png:color-type=3 png:%o", 4, 0},
        ForeignFile{"palette1", IM "-colors 2 -type palette -define png:bit-depth=1 png8:%o", 1, 0},
        ForeignFile{"grey8", IM "-colorspace Gray -define png:color-type=0 png:%o", 8, 0},
        ForeignFile{"grey16", IM "-colorspace Gray -depth 16 -define png:color-type=0 png:%o", 8, 1},
        ForeignFile{"grey4", IM "-colorspace Gray -depth 4 -define png:color-type=0 -define png:bit-depth=4 png:%o", 4, 0},
        ForeignFile{"grey2", IM "-colorspace Gray -depth 2 -define png:color-type=0 -define png:bit-depth=2 png:%o", 4, 0},
        ForeignFile{"grey1", IM "-monochrome -define png:color-type=0 -define png:bit-depth=1 png:%o", 1, 0},
        ForeignFile{"greyAlpha", IM "-colorspace Gray -alpha set -channel A -evaluate set 50% +channel "
                                    "-define png:color-type=4 png:%o", 8, 0}),
    [](const auto& info) { return std::string(info.param.name); });
#undef IM

TEST(BrokenFiles, TruncatedAndCorruptFilesGiveCodesNotCrashes) {
    for (int code : {3, 75}) {
        std::vector<uint8_t> good;
        ASSERT_EQ(imaging::codecForCode(code)->write(picture(24, false), good), imaging::kSuccess);
        const imaging::Codec* codec = imaging::codecForData(good.data(), good.size());
        ASSERT_NE(codec, nullptr);
        ASSERT_EQ(codec->formatCode, code);
        for (size_t keep : {size_t(8), size_t(40), good.size() / 2, good.size() - 3}) {
            Bitmap b;
            EXPECT_LT(codec->read(good.data(), keep, b), 0) << code << " keep " << keep;
        }
        std::vector<uint8_t> bad = good;
        for (size_t i = 16; i < bad.size(); i += 7) bad[i] ^= 0x5A;
        Bitmap b;
        const int result = codec->read(bad.data(), bad.size(), b);
        EXPECT_TRUE(result == imaging::kSuccess || result < 0);
    }
}

}  // namespace
