#include "imaging/codecs/bmp.h"
#include "imaging/file_io.h"
#include "imaging/imaging.h"
#include "oracle.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace imaging {
namespace {

using namespace imaging::testing;

struct MagickWrite {
    const char* name;
    const char* options;  // ImageMagick options and output coder
    int expectedBits;
    int tolerance;  // 0: exact
};

class ReadsWhatMagickWrites : public ::testing::TestWithParam<MagickWrite> {};

TEST_P(ReadsWhatMagickWrites, PixelForPixel) {
    const MagickWrite& c = GetParam();
    const std::string ppm = scratchPath(std::string(c.name) + ".ppm");
    const std::string file = scratchPath(std::string(c.name) + ".bmp");
    ASSERT_TRUE(writePpm(ppm, testScene()));
    ASSERT_TRUE(run(std::string(kMagick) + " '" + ppm + "' " + c.options + "'" + file + "'"));

    Rgb8Picture theirs;
    ASSERT_TRUE(magickRead(file, theirs));
    FileInfo info;
    ASSERT_EQ(fileInfo(file, info), kSuccess);
    EXPECT_EQ(info.bits, c.expectedBits);
    EXPECT_EQ(info.width, 37);
    Bitmap ours;
    ASSERT_EQ(load(file, ours), kSuccess);
    EXPECT_EQ(ours.bitsPerPixel, c.expectedBits);
    EXPECT_EQ(ours.formatCode, 6);
    EXPECT_LE(maxDifference(toRgb8(ours), theirs), c.tolerance);
    EXPECT_GE(maxDifference(toRgb8(ours), theirs), 0);
    std::remove(ppm.c_str());
    std::remove(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReadsWhatMagickWrites,
    ::testing::Values(
        MagickWrite{"bilevel", "-type bilevel bmp3:", 1, 0},
        MagickWrite{"sixteen", "-colors 16 -type palette bmp3:", 4, 0},
        MagickWrite{"palette", "-colors 200 -type palette bmp3:", 8, 0},
        MagickWrite{"rle8", "-colors 200 -type palette -compress rle bmp3:", 8, 0},
        MagickWrite{"rgb565", "-define bmp:subtype=RGB565 bmp:", 16, 0},
        MagickWrite{"truecolor", "-type truecolor bmp3:", 24, 0},
        MagickWrite{"os2", "-type truecolor bmp2:", 24, 0},
        MagickWrite{"os2palette", "-colors 16 -type palette bmp2:", 4, 0},
        MagickWrite{"v5alpha", "-alpha set -type truecoloralpha bmp:", 32, 0}),
    [](const auto& info) { return std::string(info.param.name); });

class MagickReadsWhatWeWrite : public ::testing::TestWithParam<int> {};

TEST_P(MagickReadsWhatWeWrite, PixelForPixel) {
    const int bits = GetParam();
    Bitmap picture = patterned(37, 23, bits);
    if (bits == 24) picture.rowOrder = kTopDown;
    const std::string file = scratchPath("ours" + std::to_string(bits) + ".bmp");
    ASSERT_EQ(save(file, picture, 6, bits), kSuccess);
    Rgb8Picture theirs;
    ASSERT_TRUE(magickRead(file, theirs));
    EXPECT_EQ(maxDifference(toRgb8(picture), theirs), 0);

    Bitmap back;  // and we read our own file back unchanged
    ASSERT_EQ(load(file, back), kSuccess);
    EXPECT_EQ(back.bitsPerPixel, bits);
    EXPECT_EQ(maxDifference(toRgb8(back), toRgb8(picture)), 0);
    std::remove(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(Depths, MagickReadsWhatWeWrite, ::testing::Values(1, 4, 8, 24, 32));

TEST(BmpSave, SixteenBitPicturesAreWrittenAsTwentyFour) {
    Bitmap picture = patterned(9, 4, 16);
    const std::string file = scratchPath("from16.bmp");
    ASSERT_EQ(save(file, picture, 6, 24), kSuccess);
    FileInfo info;
    ASSERT_EQ(fileInfo(file, info), kSuccess);
    EXPECT_EQ(info.bits, 24);
    Rgb8Picture theirs;
    ASSERT_TRUE(magickRead(file, theirs));
    EXPECT_EQ(maxDifference(toRgb8(picture), theirs), 0);
    std::remove(file.c_str());
}

TEST(BmpSave, AFailedSaveKeepsTheOldFile) {
    const std::string file = scratchPath("keep.bmp");
    Bitmap picture = patterned(5, 5, 24);
    ASSERT_EQ(save(file, picture, 6), kSuccess);
    Bitmap none;
    EXPECT_EQ(save(file, none, 6), kErrNoBitmap);
    EXPECT_EQ(save("/nonexistent-dir/x.bmp", picture, 6), kErrFileNotFound);
    Bitmap back;
    EXPECT_EQ(load(file, back), kSuccess);
    std::remove(file.c_str());
}

// Hand-built RLE4: no tool here writes it.
TEST(BmpRle, Rle4RunsLiteralsDeltaAndClipping) {
    std::vector<uint8_t> dib(40, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(dib.data() + at, &v, 4); };
    put32(0, 40), put32(4, 6), put32(8, 3);
    dib[12] = 1, dib[14] = 4, dib[16] = 2;  // planes, 4 bits, RLE4
    for (int i = 0; i < 16; ++i) {  // palette: index i is grey i*16
        const uint8_t v = uint8_t(i * 16);
        dib.insert(dib.end(), {v, v, v, 0});
    }
    const uint8_t rle[] = {
        4, 0x12,              // bottom row: 1 2 1 2
        0, 3, 0x34, 0x50,     // literal 3 4 5, padded
        0, 0,                 // end of line (row had 7 pixels: the 7th is clipped)
        0, 2, 2, 1,           // delta: right 2, up 1 -> row 2, x 2
        9, 0x77,              // run past the row's end is clipped
        0, 1,                 // end of bitmap
    };
    dib.insert(dib.end(), std::begin(rle), std::end(rle));
    Bitmap b;
    ASSERT_EQ(fromPackedDibBytes(b, dib.data(), dib.size()), kSuccess);
    ASSERT_EQ(b.rowOrder, kBottomUp);
    const int expectedBottom[6] = {1, 2, 1, 2, 3, 4};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(indexAt(b.storedRow(0), x, 4), expectedBottom[x]) << x;
    for (int x = 0; x < 6; ++x) EXPECT_EQ(indexAt(b.storedRow(1), x, 4), 0) << x;
    const int expectedTop[6] = {0, 0, 7, 7, 7, 7};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(indexAt(b.storedRow(2), x, 4), expectedTop[x]) << x;
}

// Runs or deltas that together move the column past 2^31 pixels: a file
// of some 17 to 34 MB, too large for a fuzzer to find. The column must stay
// in its row, whatever the sum.
struct LongRowCase {
    const char* name;
    std::vector<uint8_t> step;  // repeated until the column passed 2^31
    int pixelsPerStep;
};

class BmpRleLongRow : public ::testing::TestWithParam<LongRowCase> {};

TEST_P(BmpRleLongRow, ColumnStaysInItsRow) {
    const LongRowCase& c = GetParam();
    std::vector<uint8_t> file(14 + 40, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(file.data() + at, &v, 4); };
    put32(14, 40), put32(18, 8), put32(22, 2);  // 8 x 2, bottom-up
    file[26] = 1, file[28] = 8, file[30] = 1;   // planes, 8 bits, RLE8
    for (int i = 0; i < 256; ++i) file.insert(file.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
    put32(10, uint32_t(file.size()));
    file[0] = 'B', file[1] = 'M';
    const size_t steps = (size_t(1) << 31) / size_t(c.pixelsPerStep) + 2;
    file.reserve(file.size() + steps * c.step.size() + 16);
    for (size_t i = 0; i < steps; ++i) file.insert(file.end(), c.step.begin(), c.step.end());
    // A run after the long row, then the next row.
    file.insert(file.end(), {3, 9, 0, 0, 2, 6, 0, 1});

    Bitmap b;
    ASSERT_EQ(bmp::read(file.data(), file.size(), b), kSuccess);
    const uint8_t bottom0 = c.step[0] == 0 ? 0 : c.step[1];
    for (int x = 0; x < 8; ++x) EXPECT_EQ(b.storedRow(0)[x], bottom0) << x;
    for (int x = 0; x < 8; ++x) EXPECT_EQ(b.storedRow(1)[x], x < 2 ? 6 : 0) << x;
}

INSTANTIATE_TEST_SUITE_P(Steps, BmpRleLongRow,
                         ::testing::Values(LongRowCase{"runs", {255, 5}, 255},
                                           LongRowCase{"deltas", {0, 2, 255, 0}, 255}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BrokenCase {
    const char* name;
    std::vector<uint8_t> (*make)();
    int expected;
};

std::vector<uint8_t> goodFile() {
    std::vector<uint8_t> bytes;
    bmp::write(patterned(8, 8, 8), bytes);
    return bytes;
}
void set32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

const BrokenCase kBroken[] = {
    {"truncated_rows", [] { auto b = goodFile(); b.resize(b.size() - 40); return b; }, kErrFileRead},
    {"truncated_header", [] { auto b = goodFile(); b.resize(30); return b; }, kErrFileRead},
    {"not_a_bmp", [] { auto b = goodFile(); b[0] = 'X'; return b; }, kErrFileFormat},
    {"height_int_min", [] { auto b = goodFile(); set32(b, 22, 0x80000000u); return b; }, kErrFileFormat},
    {"huge_size", [] { auto b = goodFile(); set32(b, 18, 1u << 30); set32(b, 22, 1u << 30); return b; }, kErrNoMemory},
    {"bad_depth", [] { auto b = goodFile(); b[28] = 7; return b; }, kErrBadBits},
    {"pixels_past_end", [] { auto b = goodFile(); set32(b, 10, 1u << 30); return b; }, kErrFileRead},
    {"unknown_compression", [] { auto b = goodFile(); set32(b, 30, 9); return b; }, kErrUnknownCompression},
    {"rle_top_down", [] { auto b = goodFile(); set32(b, 30, 1); set32(b, 22, uint32_t(-8)); return b; }, kErrCorrupt},
    {"rle_runs_out", [] { auto b = goodFile(); set32(b, 30, 1); return b; }, kErrFileRead},
    {"palette_too_big", [] { auto b = goodFile(); set32(b, 46, 100000); return b; }, kErrCorrupt},
    {"bad_header_size", [] { auto b = goodFile(); set32(b, 14, 200); return b; }, kErrFileFormat},
};

class BrokenBmp : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenBmp, GivesAnErrorCodeAndLeavesThePictureAlone) {
    const std::vector<uint8_t> bytes = GetParam().make();
    Bitmap b = patterned(2, 2, 24);
    EXPECT_EQ(bmp::read(bytes.data(), bytes.size(), b), GetParam().expected);
    EXPECT_EQ(b.width, 2);
    EXPECT_TRUE(b.hasPixels());
    // From a file the plain rows are read straight into the picture: the
    // same answer.
    const std::string file = scratchPath(std::string("broken-") + GetParam().name + ".bmp");
    ASSERT_EQ(writeWholeFile(file, bytes), kSuccess);
    EXPECT_EQ(load(file, b), GetParam().expected);
    EXPECT_EQ(b.width, 2);
    EXPECT_TRUE(b.hasPixels());
    std::remove(file.c_str());
}

// The padding of the last row may be missing from a file; its pixels read
// all the same, from memory and from the file, and the padding is zero.
TEST(BmpRead, LastRowWithoutPadding) {
    Bitmap picture = patterned(5, 3, 24);  // 15 bytes of pixels, 16 a row
    std::vector<uint8_t> bytes;
    ASSERT_EQ(bmp::write(picture, bytes), kSuccess);
    bytes.pop_back();
    const std::string file = scratchPath("short-last-row.bmp");
    ASSERT_EQ(writeWholeFile(file, bytes), kSuccess);
    Bitmap fromMemory, fromFile;
    ASSERT_EQ(bmp::read(bytes.data(), bytes.size(), fromMemory), kSuccess);
    ASSERT_EQ(load(file, fromFile), kSuccess);
    EXPECT_EQ(maxDifference(toRgb8(fromFile), toRgb8(picture)), 0);
    EXPECT_EQ(maxDifference(toRgb8(fromMemory), toRgb8(picture)), 0);
    EXPECT_EQ(std::memcmp(fromFile.pixels.get(), fromMemory.pixels.get(), fromFile.byteCount()), 0);
    std::remove(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenBmp, ::testing::ValuesIn(kBroken),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace imaging
