// The own GIF codec against giflib and ImageMagick, and its error codes.
#include "image/gif_codec.h"

#include "imaging/imaging.h"
#include "imaging/result.h"
#include "tests/imaging/oracle.h"
#include "tests/imaging/test_pictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

namespace {

using imaging::Bitmap;
using imaging::testing::kMagick;
using imaging::testing::magickRead;
using imaging::testing::maxDifference;
using imaging::testing::Rgb8Picture;
using imaging::testing::run;
using imaging::testing::scratchPath;
using imaging::testing::toRgb8;
using quillon::GifOptions;
namespace gif = quillon::gif;

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string capture(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

// A picture of that depth whose palette has no two equal entries.
Bitmap paletted(int width, int height, int bits, int seed = 0) {
    Bitmap b = imaging::testing::patterned(width, height, bits, seed);
    for (int i = 0; i < (1 << bits); ++i)
        b.palette[size_t(i)] = imaging::RgbQuad{uint8_t(255 - i), uint8_t(i * 37 + 5), uint8_t(i * 11 + 100), 0};
    b.paletteCount = 1 << bits;
    return b;
}

Bitmap noise(int width, int height, unsigned seed) {
    Bitmap b = paletted(width, height, 8);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.storedRow(y)[x] = uint8_t(random() % 256);
    return b;
}

// The colour map giflib's giftext prints: "  3: f3h 00h 0ch ...".
std::vector<imaging::Rgb> giftextColourMap(const std::string& path) {
    std::istringstream text(capture("giftext -c '" + path + "'"));
    std::vector<imaging::Rgb> colours;
    std::string token;
    while (text >> token) {
        if (token.size() < 2 || token.back() != ':') continue;
        unsigned r, g, b;
        std::string rs, gs, bs;
        if (!(text >> rs >> gs >> bs)) break;
        if (std::sscanf(rs.c_str(), "%xh", &r) == 1 && std::sscanf(gs.c_str(), "%xh", &g) == 1 &&
            std::sscanf(bs.c_str(), "%xh", &b) == 1)
            colours.push_back(imaging::Rgb{uint8_t(r), uint8_t(g), uint8_t(b)});
    }
    return colours;
}

// gif2rgb's single-file output: the picture as RGB triplets.
bool giflibRead(const std::string& path, int width, int height, Rgb8Picture& out) {
    const std::string rgb = path + ".rgb";
    if (!run("gif2rgb -1 -o '" + rgb + "' '" + path + "'")) return false;
    out = Rgb8Picture{width, height, readBytes(rgb)};
    std::remove(rgb.c_str());
    return out.rgb.size() == size_t(width) * height * 3;
}

struct WriterCase {
    int bits;
    bool interlaced;
    bool transparent;
};

class GifWriterOracle : public ::testing::TestWithParam<WriterCase> {};

TEST_P(GifWriterOracle, GiflibAndImageMagickDecodeOurPixelsAndPalette) {
    const WriterCase c = GetParam();
    const Bitmap picture = paletted(37, 23, c.bits, c.bits);
    GifOptions options;
    options.interlaced = c.interlaced;
    options.transparent = c.transparent;
    options.transparentIndex = c.transparent ? 1 : 0;
    const std::string path = scratchPath("writer.gif");
    ASSERT_TRUE(gif::writeFile(path, picture, options));

    const Rgb8Picture expected = toRgb8(picture);
    Rgb8Picture giflib, magick;
    ASSERT_TRUE(giflibRead(path, 37, 23, giflib));
    EXPECT_EQ(maxDifference(giflib, expected), 0);
    ASSERT_TRUE(magickRead(path, magick));
    EXPECT_EQ(maxDifference(magick, expected), 0);

    const std::vector<imaging::Rgb> map = giftextColourMap(path);
    ASSERT_EQ(map.size(), size_t(1) << c.bits);
    for (size_t i = 0; i < map.size(); ++i) {
        const imaging::RgbQuad& q = picture.palette[i];
        EXPECT_EQ(map[i], (imaging::Rgb{q.red, q.green, q.blue})) << "entry " << i;
    }
    const std::string text = capture("giftext '" + path + "'");
    EXPECT_EQ(text.find("Image is Interlaced") != std::string::npos, c.interlaced);
    EXPECT_EQ(text.find("Transparency on: yes") != std::string::npos, c.transparent);
    if (c.transparent) EXPECT_NE(text.find("Transparent Index: 1"), std::string::npos);
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Depths, GifWriterOracle,
                         ::testing::Values(WriterCase{1, false, false}, WriterCase{1, true, true},
                                           WriterCase{4, false, true}, WriterCase{4, true, false},
                                           WriterCase{8, false, false}, WriterCase{8, true, true}));

// A transparent index past a 1- or 4-bit picture's colours (kept from a
// deeper picture) is written with a table that holds it, which every reader
// takes; the pixels stay as they were.
TEST(GifWriter, TransparentIndexPastTheColoursGetsATableThatHoldsIt) {
    for (const int bits : {1, 4}) {
        const Bitmap picture = paletted(21, 13, bits, bits);
        GifOptions options;
        options.transparent = 1;
        options.transparentIndex = (1 << bits) + 3;
        const std::string path = scratchPath("wide-table.gif");
        ASSERT_TRUE(gif::writeFile(path, picture, options));

        Bitmap back;
        GifOptions read;
        ASSERT_EQ(gif::readFile(path, back, read), imaging::kSuccess) << bits;
        EXPECT_EQ(read.transparentIndex, options.transparentIndex);
        const Rgb8Picture expected = toRgb8(picture);
        EXPECT_EQ(maxDifference(toRgb8(back), expected), 0);
        Rgb8Picture giflib, magick;
        ASSERT_TRUE(giflibRead(path, 21, 13, giflib)) << bits;
        EXPECT_EQ(maxDifference(giflib, expected), 0);
        EXPECT_TRUE(run("/usr/bin/identify -regard-warnings '" + path + "'")) << bits;
        ASSERT_TRUE(magickRead(path, magick));
        EXPECT_EQ(maxDifference(magick, expected), 0);
        std::remove(path.c_str());
    }
}

TEST(GifWriter, NoiseFillsTheCodeTableAndStillDecodes) {
    // 76800 random pixels use up the 4096 codes many times over: clear codes,
    // every code width from 9 to 12 bits.
    const Bitmap picture = noise(320, 240, 7);
    const std::string path = scratchPath("noise.gif");
    ASSERT_TRUE(gif::writeFile(path, picture, GifOptions{}));
    Rgb8Picture giflib;
    ASSERT_TRUE(giflibRead(path, 320, 240, giflib));
    EXPECT_EQ(maxDifference(giflib, toRgb8(picture)), 0);

    Bitmap back;
    GifOptions options;
    ASSERT_EQ(gif::readFile(path, back, options), imaging::kSuccess);
    EXPECT_TRUE(imaging::testing::samePixels(back, picture));
    std::remove(path.c_str());
}

TEST(GifWriter, InterlacedFileReadsBackWithTheSameRowsAndTheFlag) {
    const Bitmap picture = paletted(29, 19, 8, 3);
    GifOptions options;
    options.interlaced = 1;
    const std::string path = scratchPath("interlaced.gif");
    ASSERT_TRUE(gif::writeFile(path, picture, options));
    Bitmap back;
    GifOptions read;
    ASSERT_EQ(gif::readFile(path, back, read), imaging::kSuccess);
    EXPECT_EQ(read.interlaced, 1);
    EXPECT_EQ(read.is89a, 1);
    EXPECT_TRUE(back.flags & imaging::flag::kInterlaced);
    EXPECT_EQ(back.formatCode, 2);
    for (int y = 0; y < picture.height; ++y)
        EXPECT_EQ(0, std::memcmp(back.storedRow(y), picture.storedRow(y), size_t(picture.width)))
            << "row " << y;
    std::remove(path.c_str());
}

TEST(GifWriter, RefusesDeepPicturesAndWritesBottomUpRowsTopFirst) {
    std::vector<uint8_t> out;
    EXPECT_FALSE(gif::write(imaging::testing::patterned(8, 8, 24), GifOptions{}, out));
    EXPECT_FALSE(gif::write(imaging::testing::patterned(8, 8, 16), GifOptions{}, out));

    Bitmap topDown = paletted(9, 7, 4);
    Bitmap bottomUp;
    imaging::copy(bottomUp, topDown);
    imaging::flipVertical(bottomUp);
    bottomUp.rowOrder = imaging::kBottomUp;
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(gif::write(topDown, GifOptions{}, a));
    ASSERT_TRUE(gif::write(bottomUp, GifOptions{}, b));
    EXPECT_EQ(a, b);
}

// ------------------------------------------------------------ reading

struct ReaderCase {
    const char* name;
    const char* command;  // %s: the source picture, %o: the GIF made
    bool globalToLocal;   // move the global table into the image descriptor
};

std::string substitute(std::string text, const std::string& source, const std::string& out) {
    for (size_t at; (at = text.find("%s")) != std::string::npos;) text.replace(at, 2, source);
    for (size_t at; (at = text.find("%o")) != std::string::npos;) text.replace(at, 2, out);
    return text;
}

// Turns a single-image GIF's global colour table into a local one.
std::vector<uint8_t> moveGlobalTableToLocal(const std::vector<uint8_t>& gifBytes, bool keepGlobal) {
    const uint8_t packed = gifBytes[10];
    if (!(packed & 0x80)) return gifBytes;
    const size_t tableSize = size_t(3) << ((packed & 7) + 1);
    const std::vector<uint8_t> table(gifBytes.begin() + 13, gifBytes.begin() + 13 + long(tableSize));
    std::vector<uint8_t> out(gifBytes.begin(), gifBytes.begin() + 13);
    if (keepGlobal) {
        // A decoy global table: the image's pixels index the local one.
        for (size_t i = 0; i < tableSize; ++i) out.push_back(uint8_t(i * 7));
    } else {
        out[10] = packed & 0x7F;
    }
    size_t at = 13 + tableSize;
    while (at < gifBytes.size() && gifBytes[at] == 0x21) {  // extensions as they are
        size_t end = at + 2;
        while (end < gifBytes.size() && gifBytes[end] != 0) end += gifBytes[end] + 1;
        out.insert(out.end(), gifBytes.begin() + long(at), gifBytes.begin() + long(end) + 1);
        at = end + 1;
    }
    out.insert(out.end(), gifBytes.begin() + long(at), gifBytes.begin() + long(at) + 10);
    out.back() = uint8_t(out.back() | 0x80 | (packed & 7));
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), gifBytes.begin() + long(at) + 10, gifBytes.end());
    return out;
}

class GifReaderOracle : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(GifReaderOracle, ReadsThePixelsImageMagickReads) {
    const ReaderCase c = GetParam();
    const std::string source = scratchPath("scene.ppm");
    const std::string path = scratchPath(std::string(c.name) + ".gif");
    ASSERT_TRUE(imaging::testing::writePpm(source, imaging::testing::testScene(41, 27)));
    ASSERT_TRUE(run(substitute(c.command, source, path))) << c.command;
    if (c.globalToLocal) writeBytes(path, moveGlobalTableToLocal(readBytes(path), false));

    Rgb8Picture expected;
    ASSERT_TRUE(magickRead(path, expected));
    Bitmap picture;
    GifOptions options;
    ASSERT_EQ(gif::readFile(path, picture, options), imaging::kSuccess);
    EXPECT_EQ(picture.bitsPerPixel, 8);
    EXPECT_EQ(maxDifference(toRgb8(picture), expected), 0);
    if (c.globalToLocal) EXPECT_EQ(options.hasGlobalTable, 0);
    std::remove(source.c_str());
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Writers, GifReaderOracle,
    ::testing::Values(
        ReaderCase{"magick256", "/usr/bin/convert %s -colors 256 %o", false},
        ReaderCase{"magick2", "/usr/bin/convert %s -colors 2 %o", false},
        ReaderCase{"magickInterlaced", "/usr/bin/convert %s -colors 64 -interlace GIF %o", false},
        ReaderCase{"magickTransparent", "/usr/bin/convert %s -colors 16 -transparent-color white "
                                        "-transparent '#000000' %o", false},
        ReaderCase{"magick87a", "/usr/bin/convert %s -colors 32 gif87:%o", false},
        ReaderCase{"gifsicleInterlacedTransparent",
                   "/usr/bin/convert %s -colors 200 %o.src.gif && gifsicle -i -t '#000000' "
                   "%o.src.gif -o %o && rm %o.src.gif", false},
        ReaderCase{"gifsicle2", "/usr/bin/convert %s -colors 8 %o.src.gif && gifsicle --colors 2 "
                                "%o.src.gif -o %o && rm %o.src.gif", false},
        ReaderCase{"localTableOnly", "/usr/bin/convert %s -colors 100 %o", true},
        ReaderCase{"localTableInterlaced", "/usr/bin/convert %s -colors 100 -interlace GIF %o", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GifReader, LocalTableWinsOverTheGlobalOne) {
    const std::string source = scratchPath("scene-local.ppm");
    const std::string path = scratchPath("both-tables.gif");
    ASSERT_TRUE(imaging::testing::writePpm(source, imaging::testing::testScene(33, 21)));
    ASSERT_TRUE(run(std::string(kMagick) + " " + source + " -colors 50 " + path));
    writeBytes(path, moveGlobalTableToLocal(readBytes(path), true));
    Rgb8Picture expected;
    ASSERT_TRUE(magickRead(path, expected));
    Bitmap picture;
    GifOptions options;
    ASSERT_EQ(gif::readFile(path, picture, options), imaging::kSuccess);
    EXPECT_EQ(options.hasGlobalTable, 1);
    EXPECT_EQ(maxDifference(toRgb8(picture), expected), 0);
    std::remove(source.c_str());
    std::remove(path.c_str());
}

// A hand-made file: header, a 4-entry global table, then the given blocks.
std::vector<uint8_t> handMade(int width, int height, const std::vector<uint8_t>& blocks,
                              uint8_t packed = 0x81) {
    std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', uint8_t(width), uint8_t(width >> 8),
                              uint8_t(height), uint8_t(height >> 8), packed, 0, 0};
    if (packed & 0x80)
        for (int i = 0; i < (2 << (packed & 7)); ++i) g.insert(g.end(), {uint8_t(i * 60), 0, 0});
    g.insert(g.end(), blocks.begin(), blocks.end());
    return g;
}

// Packs LZW codes of the given widths, least significant bit first, into sub-blocks.
std::vector<uint8_t> packCodes(const std::vector<std::pair<int, int>>& codes) {
    std::vector<uint8_t> data;
    uint32_t buffer = 0;
    int count = 0;
    for (auto [code, bits] : codes) {
        buffer |= uint32_t(code) << count;
        count += bits;
        while (count >= 8) data.push_back(uint8_t(buffer)), buffer >>= 8, count -= 8;
    }
    if (count > 0) data.push_back(uint8_t(buffer));
    std::vector<uint8_t> blocks = {uint8_t(data.size())};
    blocks.insert(blocks.end(), data.begin(), data.end());
    blocks.push_back(0);
    return blocks;
}

std::vector<uint8_t> imageOf(int width, int height, const std::vector<uint8_t>& lzw, int minCode = 2) {
    std::vector<uint8_t> b = {0x2C, 0, 0, 0, 0, uint8_t(width), 0, uint8_t(height), 0, 0,
                              uint8_t(minCode)};
    b.insert(b.end(), lzw.begin(), lzw.end());
    b.push_back(0x3B);
    return b;
}

TEST(GifReader, DecoderRulesForOddCodesAndAPartialLastRow) {
    // Clear, literal 1, then 7: above the next free code 6, so decoded as 6 =
    // "1" + "1"; then 6 again (the table is full at 3 bits: 4-bit codes). A
    // second clear, then 6, not a literal as a first code: taken as 0. Six
    // pixels for a 4 x 2 picture: the last row is partly filled.
    const auto lzw = packCodes({{4, 3}, {1, 3}, {7, 3}, {6, 3}, {4, 4}, {6, 3}, {5, 3}});
    const auto file = handMade(4, 2, imageOf(4, 2, lzw));
    Bitmap picture;
    GifOptions options;
    ASSERT_EQ(gif::read(file.data(), file.size(), picture, options), imaging::kSuccess);
    const uint8_t row0[] = {1, 1, 1, 1}, row1[] = {1, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(picture.storedRow(0), row0, 4));
    EXPECT_EQ(0, std::memcmp(picture.storedRow(1), row1, 4));
    EXPECT_EQ(picture.paletteCount, 4);
    EXPECT_EQ(picture.palette[2].red, 120);
}

TEST(GifReader, WithoutGlobalTableThePaletteStaysAndNoTableBytesAreRead) {
    const auto lzw = packCodes({{4, 3}, {3, 3}, {3, 3}, {5, 3}});
    // Packed 0x01 claims 4 entries but no table: the next byte is the descriptor.
    const auto file = handMade(2, 1, imageOf(2, 1, lzw), 0x01);
    Bitmap picture;
    GifOptions options;
    ASSERT_EQ(gif::read(file.data(), file.size(), picture, options), imaging::kSuccess);
    EXPECT_EQ(options.hasGlobalTable, 0);
    EXPECT_EQ(picture.storedRow(0)[0], 3);
    EXPECT_EQ(picture.paletteCount, 256);  // the grey ramp of a new 8-bit picture
    EXPECT_EQ(picture.palette[200].green, 200);
}

TEST(GifReader, ExtensionsAreSkippedWhateverTheirSubBlocks) {
    const auto lzw = packCodes({{4, 3}, {2, 3}, {5, 3}});
    std::vector<uint8_t> blocks = {
        0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0,                      // comment, two sub-blocks
        0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0,
        0x21, 0xFF, 4, 'X', 'M', 'P', ' ', 0,                                // one sub-block only
        0x21, 0xF9, 4, 0x01, 0, 0, 3, 0,                                      // transparent 3
        0x21, 0x01, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 'x', 0};       // plain text
    const auto image = imageOf(1, 1, lzw);
    blocks.insert(blocks.end(), image.begin(), image.end());
    const auto file = handMade(1, 1, blocks);
    Bitmap picture;
    GifOptions options;
    ASSERT_EQ(gif::read(file.data(), file.size(), picture, options), imaging::kSuccess);
    EXPECT_EQ(options.transparent, 1);
    EXPECT_EQ(options.transparentIndex, 3);
    EXPECT_EQ(picture.storedRow(0)[0], 2);
}

TEST(GifReader, FrameSmallerThanTheScreenLandsAtItsPlace) {
    const auto lzw = packCodes({{4, 3}, {1, 3}, {1, 3}, {5, 3}});
    std::vector<uint8_t> image = {0x2C, 2, 0, 1, 0, 2, 0, 1, 0, 0, 2};  // 2 x 1 at (2, 1)
    image.insert(image.end(), lzw.begin(), lzw.end());
    image.push_back(0x3B);
    std::vector<uint8_t> file = handMade(5, 3, image);
    file[11] = 3;  // background index
    Bitmap picture;
    GifOptions options;
    ASSERT_EQ(gif::read(file.data(), file.size(), picture, options), imaging::kSuccess);
    const uint8_t row1[] = {3, 3, 1, 1, 3};
    EXPECT_EQ(0, std::memcmp(picture.storedRow(1), row1, 5));
    EXPECT_EQ(picture.storedRow(0)[0], 3);
}

struct BrokenCase {
    const char* name;
    int keep;  // bytes of a good file to keep, -1 for all
    std::function<void(std::vector<uint8_t>&)> spoil;
    int expected;
};

class GifReaderBroken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(GifReaderBroken, GivesTheCodeWithoutACrash) {
    const BrokenCase c = GetParam();
    std::vector<uint8_t> good;
    ASSERT_TRUE(gif::write(paletted(40, 30, 8), GifOptions{}, good));
    std::vector<uint8_t> file(good.begin(), c.keep < 0 ? good.end() : good.begin() + c.keep);
    if (c.spoil) c.spoil(file);
    Bitmap picture;
    GifOptions options;
    EXPECT_EQ(gif::read(file.data(), file.size(), picture, options), c.expected);
}

// Layout of the good file: 13 header, 768 table, 8 control extension at 781,
// 10 descriptor at 789, code size at 799, data from 800.
INSTANTIATE_TEST_SUITE_P(
    Files, GifReaderBroken,
    ::testing::Values(
        BrokenCase{"NotAGif", -1, [](auto& f) { f[0] = 'J'; }, imaging::kErrFileFormat},
        BrokenCase{"VersionNotDigits", -1, [](auto& f) { f[3] = 'x'; }, imaging::kErrFileFormat},
        BrokenCase{"ShortHeader", 10, nullptr, imaging::kErrFileRead},
        BrokenCase{"ShortTable", 400, nullptr, imaging::kErrFileRead},
        BrokenCase{"EndsAfterTable", 781, nullptr, imaging::kErrFileRead},
        BrokenCase{"EndsInExtension", 785, nullptr, imaging::kErrFileRead},
        BrokenCase{"EndsInDescriptor", 794, nullptr, imaging::kErrFileRead},
        BrokenCase{"EndsInData", 900, nullptr, imaging::kErrFileRead},
        BrokenCase{"UnknownBlock", -1, [](auto& f) { f[789] = 0x77; }, imaging::kErrFileFormat},
        BrokenCase{"CodeSizeOne", -1, [](auto& f) { f[799] = 1; }, imaging::kErrFileFormat},
        BrokenCase{"TransparentPastTable", -1,
                   [](auto& f) { f[10] = 0x80; f.erase(f.begin() + 19, f.begin() + 781);
                                 f[19 + 6] = 9; }, imaging::kErrFileFormat},
        BrokenCase{"HugeScreen", -1, [](auto& f) { f[6] = f[7] = f[8] = f[9] = 0xFF; },
                   imaging::kErrNoMemory},
        BrokenCase{"ZeroWidth", -1, [](auto& f) { f[6] = f[7] = 0; }, imaging::kErrNoMemory},
        BrokenCase{"GarbageCodes", -1,
                   [](auto& f) { for (size_t i = 801; i < 1055; ++i) f[i] = uint8_t(i * 131); },
                   imaging::kSuccess}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GifReader, MissingFileCannotBeOpened) {
    Bitmap picture;
    GifOptions options;
    EXPECT_EQ(gif::readFile("/nonexistent/x.gif", picture, options), imaging::kErrFileOpen);
}

}  // namespace
