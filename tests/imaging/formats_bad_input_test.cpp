// Broken files for every decoder of the save-format table: truncated files,
// dimensions that overflow, runs past the end of a row and palette indices
// out of range end in the library's error codes, never in a crash or a
// picture made up from garbage.
#include "imaging/codec_table.h"
#include "imaging/file_io.h"
#include "imaging/imaging.h"
#include "imaging/result.h"
#include "tests/imaging/format_cases.h"
#include "tests/imaging/oracle.h"
#include "tests/imaging/test_pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace imaging {
namespace {

bool isInputError(int code) {
    return code == kErrFileRead || code == kErrFileFormat || code == kErrUnknownCompression ||
           code == kErrFeature || code == kErrCorrupt || code == kErrBadBits;
}

int readWith(int code, const std::vector<uint8_t>& bytes, Bitmap& bitmap) {
    const Codec* codec = codecForCode(code);
    return codec ? codec->read(bytes.data(), bytes.size(), bitmap) : kErrFileFormat;
}

// ---- Stored fixtures, each named for its fault ---------------------------------

struct Fixture {
    const char* file;
    int code;
    int expected;
};

class BrokenFixture : public ::testing::TestWithParam<Fixture> {};

TEST_P(BrokenFixture, GivesItsErrorCode) {
    const Fixture f = GetParam();
    std::vector<uint8_t> bytes;
    const std::string path = std::string(QUILLON_FIXTURES) + "/imaging/" + f.file;
    ASSERT_EQ(readWholeFile(path, bytes), kSuccess) << path;
    Bitmap bitmap;
    EXPECT_EQ(readWith(f.code, bytes, bitmap), f.expected);
    EXPECT_FALSE(bitmap.hasPixels());
    // Through the table too, whichever codec claims the bytes.
    Bitmap loaded;
    const int status = load(path, loaded);
    if (f.expected != kSuccess) EXPECT_LT(status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, BrokenFixture,
    ::testing::Values(
        Fixture{"tga-index-outside-map.tga", 4, kErrCorrupt},
        Fixture{"tga-truncated-rows.tga", 4, kErrFileRead},
        Fixture{"ras-index-outside-map.ras", 55, kErrCorrupt},
        Fixture{"ras-rle-truncated.ras", 55, kErrFileRead},
        Fixture{"pcx-width-past-row-bytes.pcx", 1, kErrCorrupt},
        Fixture{"pcx-rle-truncated.pcx", 1, kErrFileRead},
        Fixture{"psd-rle-run-past-row.psd", 76, kErrCorrupt},
        Fixture{"psd-row-counts-past-end.psd", 76, kErrFileRead},
        Fixture{"wmf-record-size-zero.wmf", 15, kErrCorrupt},
        Fixture{"wmf-record-past-end.wmf", 15, kErrFileRead},
        Fixture{"msp-run-past-row.msp", 53, kErrCorrupt},
        Fixture{"msp-row-table-past-end.msp", 53, kErrFileRead},
        Fixture{"wpg-index-outside-map.wpg", 54, kErrCorrupt},
        Fixture{"wpg-run-past-row.wpg", 54, kErrCorrupt},
        Fixture{"wpg-repeat-before-first-row.wpg", 54, kErrCorrupt},
        Fixture{"gem-truncated.img", 52, kErrFileRead},
        Fixture{"gem-pattern-length-zero.img", 52, kErrFileFormat},
        Fixture{"cals-g4-garbage.cal", 50, kErrCorrupt},
        Fixture{"cals-rotated-page.cal", 50, kErrFeature},
        Fixture{"pict-index-outside-table.pct", 56, kErrCorrupt},
        Fixture{"pict-run-past-row.pct", 56, kErrCorrupt},
        Fixture{"pict-unknown-opcode.pct", 56, kErrFeature},
        Fixture{"pict-direct-one-component.pct", 56, kErrCorrupt},
        Fixture{"macpaint-truncated.mac", 51, kErrFileRead},
        Fixture{"eps-index-outside-palette.eps", 16, kErrCorrupt},
        Fixture{"eps-hex-data-truncated.eps", 16, kErrFileRead},
        Fixture{"ioca-field-past-end.ica", 71, kErrFileRead},
        Fixture{"ioca-ibm-mmr.ica", 71, kErrUnknownCompression},
        Fixture{"fxs-data-past-end.fxs", 69, kErrFileRead},
        Fixture{"pcd-cut-short.pcd", 57, kErrFileRead}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& c : name)
            if (c == '-' || c == '.') c = '_';
        return name;
    });

// A run that crosses the picture's end in a one-stream format is clipped.
TEST(BrokenFixture, TargaRunPastThePictureIsClipped) {
    std::vector<uint8_t> bytes;
    ASSERT_EQ(readWholeFile(std::string(QUILLON_FIXTURES) + "/imaging/tga-rle-run-past-picture.tga", bytes),
              kSuccess);
    Bitmap bitmap;
    ASSERT_EQ(readWith(4, bytes, bitmap), kSuccess);
    EXPECT_EQ(bitmap.width, 4);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.storedRow(1)[3], 77);
}

// ---- Every file we write, cut short --------------------------------------------

class TruncatedFile : public ::testing::TestWithParam<testing::SaveFormat> {};

TEST_P(TruncatedFile, IsAnErrorNotAPicture) {
    const int code = GetParam().code;
    const Bitmap picture = testing::patterned(37, 23, 8, 1);
    const Codec* codec = codecForCode(code);
    ASSERT_NE(codec, nullptr);
    const std::string path = testing::scratchPath(std::string("cut.") + GetParam().extension);
    ASSERT_EQ(save(path, picture, code, testing::handedBits(code, 8)), kSuccess);
    std::vector<uint8_t> whole;
    ASSERT_EQ(readWholeFile(path, whole), kSuccess);
    std::remove(path.c_str());
    for (size_t keep : {size_t(0), size_t(1), size_t(10), size_t(40), whole.size() / 2, whole.size() * 3 / 4}) {
        if (keep >= whole.size()) continue;
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + ptrdiff_t(keep));
        Bitmap bitmap;
        const int status = codec->read(cut.data(), cut.size(), bitmap);
        EXPECT_TRUE(isInputError(status)) << "kept " << keep << " of " << whole.size() << ": " << status;
        FileInfo info;
        const int infoStatus = codec->readInfo(cut.data(), cut.size(), info);
        EXPECT_TRUE(infoStatus == kSuccess || isInputError(infoStatus)) << infoStatus;
    }
}

INSTANTIATE_TEST_SUITE_P(SaveTable, TruncatedFile, ::testing::ValuesIn(testing::codecSaveFormats()),
                         [](const auto& info) { return std::string(info.param.extension); });

// ---- Headers whose sizes overflow -----------------------------------------------

struct Overflow {
    const char* name;
    int code;
    std::vector<uint8_t> (*build)();
};

void put16le(std::vector<uint8_t>& v, size_t at, unsigned x) { v[at] = uint8_t(x), v[at + 1] = uint8_t(x >> 8); }
void put16be(std::vector<uint8_t>& v, size_t at, unsigned x) { v[at] = uint8_t(x >> 8), v[at + 1] = uint8_t(x); }
void put32be(std::vector<uint8_t>& v, size_t at, uint32_t x) { put16be(v, at, x >> 16), put16be(v, at + 2, x & 0xFFFF); }

// A small valid file of the format, then its size fields patched.
std::vector<uint8_t> written(int code, int width = 16, int height = 8) {
    const Bitmap picture = testing::patterned(width, height, 8, 2);
    const std::string path = testing::scratchPath("overflow." + testing::extensionOf(code));
    std::vector<uint8_t> bytes;
    if (save(path, picture, code, testing::handedBits(code, 8)) == kSuccess) readWholeFile(path, bytes);
    std::remove(path.c_str());
    return bytes;
}

std::vector<Overflow> overflowCases() {
    return {
        {"pcx", 1, [] { auto v = written(1); put16le(v, 8, 65535), put16le(v, 10, 65535), put16le(v, 66, 65535); return v; }},
        {"tga", 4, [] { auto v = written(4); put16le(v, 12, 65535), put16le(v, 14, 65535); return v; }},
        {"ras", 55, [] { auto v = written(55); put32be(v, 4, 0xFFFFFFFF), put32be(v, 8, 0xFFFFFFFF); return v; }},
        {"psd", 76, [] { auto v = written(76); put32be(v, 14, 30000), put32be(v, 18, 30000); return v; }},
        {"psd_beyond_format", 76, [] { auto v = written(76); put32be(v, 14, 0xFFFFFFFF), put32be(v, 18, 0xFFFFFFFF); return v; }},
        {"gem", 52, [] { auto v = written(52); put16be(v, 12, 65535), put16be(v, 14, 65535); return v; }},
        {"msp", 53, [] { auto v = written(53); put16le(v, 4, 65535), put16le(v, 6, 65535); return v; }},
        {"fxs", 69, [] { auto v = written(69); put16le(v, 8, 65535), put16le(v, 10, 65535); return v; }},
        {"eps", 16, [] {
             const std::string ps = "%!PS-Adobe-3.0 EPSF-3.0\n/DeviceRGB setcolorspace\n<<\n/ImageType 1\n/Width 99999999\n"
                                    "/Height 99999999\n/BitsPerComponent 8\n/DataSource currentfile /ASCIIHexDecode filter\n>>\nimage\n00>\n";
             return std::vector<uint8_t>(ps.begin(), ps.end());
         }},
        {"cals", 50, [] {
             auto v = written(50);
             const char* r = "rpelcnt: 999999,999999";
             for (size_t rec = 0; rec < 16; ++rec)
                 if (std::memcmp(v.data() + rec * 128, "rpelcnt", 7) == 0) std::memcpy(v.data() + rec * 128, r, std::strlen(r));
             return v;
         }},
        {"wmf_dib", 15, [] {
             auto v = written(15);
             // The DIB header inside the StretchDIB record: width and height.
             const size_t dib = 22 + 18 + 10 + 10 + 6 + 22;
             v[dib + 4] = 0xFF, v[dib + 5] = 0xFF, v[dib + 6] = 0xFF, v[dib + 7] = 0x7F;
             v[dib + 8] = 0xFF, v[dib + 9] = 0xFF, v[dib + 10] = 0xFF, v[dib + 11] = 0x7F;
             return v;
         }},
        {"wpg", 54, [] {
             auto v = written(54);
             // The bitmap record follows start (8 bytes) and the colour map (FF + u16 length).
             const size_t map = 16 + 8;
             const size_t bitmap = map + 4 + size_t(v[map + 2] | (v[map + 3] << 8));
             const size_t fields = bitmap + 4;  // type, FF, u16 length
             put16le(v, fields, 65535), put16le(v, fields + 2, 65535);
             return v;
         }},
        {"pict", 56, [] {
             auto v = written(56);
             put16be(v, 512 + 6, 32767), put16be(v, 512 + 8, 32767);  // frame bottom, right
             return v;
         }},
    };
}

class OverflowingSize : public ::testing::TestWithParam<Overflow> {};

TEST_P(OverflowingSize, IsRefusedBeforeAllocating) {
    const Overflow c = GetParam();
    const std::vector<uint8_t> bytes = c.build();
    ASSERT_FALSE(bytes.empty());
    Bitmap bitmap;
    const int status = readWith(c.code, bytes, bitmap);
    // Too large for memory is the memory code; impossible or unreadable is an input code.
    EXPECT_TRUE(status == kErrNoMemory || isInputError(status)) << status;
    EXPECT_FALSE(bitmap.hasPixels());
}

INSTANTIATE_TEST_SUITE_P(Headers, OverflowingSize, ::testing::ValuesIn(overflowCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Headers at the edge of the allocation limit ---------------------------------

// 1-bit pictures of 16384 x 16384 hold exactly the most pixels a picture may
// have (32 MB); one row more is one row too many. The file's data stays that
// of a small picture: inside the limit the reader allocates and then finds
// the data short (or pads it), outside it refuses before allocating.
struct SizeField {
    const char* name;
    int code;
    void (*patch)(std::vector<uint8_t>& v, unsigned width, unsigned height);
};

void put32leAt(std::vector<uint8_t>& v, size_t at, uint32_t x) { put16le(v, at, x & 0xFFFF), put16le(v, at + 2, x >> 16); }

std::vector<SizeField> sizeFields() {
    return {
        {"pcx", 1, [](auto& v, unsigned w, unsigned h) { put16le(v, 8, w - 1), put16le(v, 10, h - 1), put16le(v, 66, w / 8); }},
        {"ras", 55, [](auto& v, unsigned w, unsigned h) { put32be(v, 4, w), put32be(v, 8, h), put32be(v, 16, w / 8 * h); }},
        {"msp", 53, [](auto& v, unsigned w, unsigned h) { put16le(v, 4, w), put16le(v, 6, h); }},
        {"gem", 52, [](auto& v, unsigned w, unsigned h) { put16be(v, 12, w), put16be(v, 14, h); }},
        {"fxs", 69, [](auto& v, unsigned w, unsigned h) { put16le(v, 8, w), put16le(v, 10, h); }},
        {"bmp", 6, [](auto& v, unsigned w, unsigned h) { put32leAt(v, 18, w), put32leAt(v, 22, h); }},
    };
}

class AllocationLimit : public ::testing::TestWithParam<SizeField> {};

TEST_P(AllocationLimit, JustInsideIsAllocatedJustOutsideIsRefused) {
    const SizeField c = GetParam();
    const Bitmap picture = testing::patterned(16, 8, 1, 3);
    const std::string path = testing::scratchPath("limit." + testing::extensionOf(c.code));
    ASSERT_EQ(save(path, picture, c.code, 1), kSuccess);
    std::vector<uint8_t> small;
    ASSERT_EQ(readWholeFile(path, small), kSuccess);
    std::remove(path.c_str());
    ASSERT_EQ(int64_t(16384) * 16384, kMaxPixels);

    std::vector<uint8_t> inside = small;
    c.patch(inside, 16384, 16384);
    Bitmap bitmap;
    const int status = readWith(c.code, inside, bitmap);
    EXPECT_NE(status, kErrNoMemory) << "a picture of exactly the most pixels is allowed";
    EXPECT_TRUE(status == kSuccess || isInputError(status)) << status;
    if (status == kSuccess) EXPECT_EQ(int64_t(bitmap.width) * bitmap.height, kMaxPixels);

    std::vector<uint8_t> outside = small;
    c.patch(outside, 16384, 16385);
    Bitmap refused;
    EXPECT_EQ(readWith(c.code, outside, refused), kErrNoMemory);
    EXPECT_FALSE(refused.hasPixels());
}

INSTANTIATE_TEST_SUITE_P(Headers, AllocationLimit, ::testing::ValuesIn(sizeFields()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Rows that hold fewer bytes than their header's pixels take -----------------

// A direct PICT row of 16-bit pixels in one-byte component planes (pack type
// 4, one component): each row decodes to width bytes, and 16-bit pixels take
// twice that.
TEST(PictRows, PackTypeThatGivesShortRowsIsRefused) {
    const int width = 8;
    Bitmap deep;
    initialize(deep, width, 2, 24);
    ASSERT_EQ(allocate(deep), kSuccess);
    const std::string path = testing::scratchPath("short-rows.pct");
    ASSERT_EQ(save(path, deep, 56, 24), kSuccess);
    std::vector<uint8_t> v;
    ASSERT_EQ(readWholeFile(path, v), kSuccess);
    // The direct pixel map of our writer: opcode 0x9A at 566, pixel size at
    // 600, component count at 602, rows from 636.
    ASSERT_GT(v.size(), 640u);
    ASSERT_EQ(v[567], 0x9A);
    ASSERT_EQ(v[601], 32);
    ASSERT_EQ(v[603], 3);
    v[601] = 16, v[603] = 1;
    v.resize(636);
    for (int row = 0; row < 2; ++row) {
        v.push_back(uint8_t(width + 1));
        v.push_back(uint8_t(width - 1));  // a literal of width bytes
        for (int i = 0; i < width; ++i) v.push_back(uint8_t(0x11 * i));
    }
    if (v.size() & 1) v.push_back(0);
    v.push_back(0x00), v.push_back(0xFF);
    Bitmap bitmap;
    EXPECT_EQ(readWith(56, v, bitmap), kErrCorrupt);
}

}  // namespace
}  // namespace imaging
