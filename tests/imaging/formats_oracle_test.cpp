// Independent programs judge the codecs: files we write are read by them to
// the same pixels, and files they write are read by us to the same pixels.
// Each row names the tool; the tools are ImageMagick, GraphicsMagick, netpbm,
// Pillow and libtiff (formats.md lists which reads and writes what).
#include "imaging/codec_table.h"
#include "imaging/depth.h"
#include "imaging/file_io.h"
#include "imaging/imaging.h"
#include "tests/imaging/format_cases.h"
#include "tests/imaging/oracle.h"
#include "tests/imaging/test_pictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace imaging {
namespace {

using testing::Rgb8Picture;

// {f} is the file in the format, {o} a PPM the tool writes, {i} the tool's input.
std::string expand(std::string command, const std::string& f, const std::string& io) {
    auto replace = [&](const std::string& key, const std::string& value) {
        for (size_t at; (at = command.find(key)) != std::string::npos;) command.replace(at, key.size(), value);
    };
    replace("{f}", "'" + f + "'");
    replace("{o}", "'" + io + "'");
    replace("{i}", "'" + io + "'");
    return command;
}

// The picture a case starts from, at its depth.
Bitmap startPicture(int width, int height, int bits) {
    if (bits == 24) {
        const Rgb8Picture scene = testing::testScene(width, height);
        Bitmap b;
        initialize(b, width, height, 24);
        allocate(b);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &scene.rgb[(size_t(y) * width + x) * 3];
                writePixel(b, b.storedRow(y), x, Rgb{p[0], p[1], p[2]});
            }
        return b;
    }
    return testing::patterned(width, height, bits, 3);
}

bool writePbm(const std::string& path, const Rgb8Picture& p) {
    std::ofstream out(path, std::ios::binary);
    out << "P4\n" << p.width << " " << p.height << "\n";
    const int stride = (p.width + 7) / 8;
    std::vector<uint8_t> row(static_cast<size_t>(stride));
    for (int y = 0; y < p.height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < p.width; ++x)
            if (p.rgb[(size_t(y) * p.width + x) * 3] < 128) row[size_t(x / 8)] |= uint8_t(0x80 >> (x & 7));
        out.write(reinterpret_cast<const char*>(row.data()), stride);
    }
    return bool(out);
}

struct OracleCase {
    const char* name;
    int code;
    int bits;
    const char* command;
    int width = 37;
    int height = 23;
    int tolerance = 0;  // 5-bit channels: tools round their widening differently
};

// ---- Tools read what we write -------------------------------------------------

const char* kPil = "/usr/bin/python3 -c \"import sys; from PIL import Image; "
                   "Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2], 'PPM')\" ";

std::vector<OracleCase> readerCases() {
    const std::string pil = kPil;
    static const std::vector<std::string> keep = {pil + "{f} {o}"};
    return {
        {"pcx1_netpbm", 1, 1, "pcxtoppm {f} > {o}"},
        {"pcx1_gm", 1, 1, "gm convert pcx:{f} -depth 8 ppm:{o}"},
        {"pcx1_pillow", 1, 1, keep[0].c_str()},
        {"pcx4_netpbm", 1, 4, "pcxtoppm {f} > {o}"},
        {"pcx4_im", 1, 4, "/usr/bin/convert pcx:{f} -depth 8 ppm:{o}"},
        {"pcx8_netpbm", 1, 8, "pcxtoppm {f} > {o}"},
        {"pcx8_pillow", 1, 8, keep[0].c_str()},
        {"pcx24_netpbm", 1, 24, "pcxtoppm {f} > {o}"},
        {"pcx24_im", 1, 24, "/usr/bin/convert pcx:{f} -depth 8 ppm:{o}"},
        {"tga8_netpbm", 4, 8, "tgatoppm {f} > {o}"},
        {"tga8_im", 4, 8, "/usr/bin/convert tga:{f} -auto-orient -depth 8 ppm:{o}"},
        {"tga8_pillow", 4, 8, keep[0].c_str()},
        {"tga15_im", 4, 15, "/usr/bin/convert tga:{f} -auto-orient -depth 8 ppm:{o}", 37, 23, 1},
        {"tga24_netpbm", 4, 24, "tgatoppm {f} > {o}"},
        {"tga24_gm", 4, 24, "gm convert tga:{f} -depth 8 ppm:{o}"},
        {"tga32_pillow", 4, 32, keep[0].c_str()},
        {"ras1_netpbm", 55, 1, "rasttopnm {f} | ppmtoppm > {o}"},
        {"ras1_gm", 55, 1, "gm convert ras:{f} -depth 8 ppm:{o}"},
        {"ras8_netpbm", 55, 8, "rasttopnm {f} | ppmtoppm > {o}"},
        {"ras8_gm", 55, 8, "gm convert ras:{f} -depth 8 ppm:{o}"},
        {"ras24_netpbm", 55, 24, "rasttopnm {f} | ppmtoppm > {o}"},
        {"ras24_pillow", 55, 24, keep[0].c_str()},
        {"ras32_gm", 55, 32, "gm convert ras:{f} -depth 8 ppm:{o}"},
        {"psd1_im", 76, 1, "/usr/bin/convert 'psd:{f}[0]' -depth 8 ppm:{o}"},
        {"psd8_pillow", 76, 8, keep[0].c_str()},
        {"psd24_im", 76, 24, "/usr/bin/convert 'psd:{f}[0]' -depth 8 ppm:{o}"},
        {"psd24_pillow", 76, 24, keep[0].c_str()},
        {"pct1_im", 56, 1, "/usr/bin/convert pict:{f} -depth 8 ppm:{o}"},
        {"pct4_gm", 56, 4, "gm convert pict:{f} -depth 8 ppm:{o}"},
        {"pct8_im", 56, 8, "/usr/bin/convert pict:{f} -depth 8 ppm:{o}"},
        {"pct24_im", 56, 24, "/usr/bin/convert pict:{f} -depth 8 ppm:{o}"},
        {"pct24_gm", 56, 24, "gm convert pict:{f} -depth 8 ppm:{o}"},
        {"pct24_wide_im", 56, 24, "/usr/bin/convert pict:{f} -depth 8 ppm:{o}", 300, 7},
        {"mac1_netpbm", 51, 1, "macptopbm {f} | ppmtoppm > {o}", 576, 720},
        {"mac1_gm", 51, 1, "gm convert mac:{f} -depth 8 ppm:{o}", 576, 720},
        {"cal1_im", 50, 1, "/usr/bin/convert cals:{f} -depth 8 ppm:{o}"},
        {"cal1_gm", 50, 1, "gm convert cals:{f} -depth 8 ppm:{o}"},
        {"cal1_libtiff", 50, 1,
         "tail -c +2049 {f} > {f}.g4 && fax2tiff -4 -M -X 37 -o {f}.tif {f}.g4 >/dev/null && "
         "tifftopnm {f}.tif | pamcut -height 23 | ppmtoppm > {o}; rm -f {f}.g4 {f}.tif"},
        {"eps1_gs", 16, 1, "gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=ppmraw -r72 -sOutputFile=- {f} | ppmtoppm > {o}"},
        {"eps8_gs", 16, 8, "gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=ppmraw -r72 -sOutputFile=- {f} | ppmtoppm > {o}"},
        {"eps24_gs", 16, 24, "gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=ppmraw -r72 -sOutputFile=- {f} | ppmtoppm > {o}"},
        {"wmf8_im", 15, 8, "/usr/bin/convert -density 96 wmf:{f} -depth 8 ppm:{o}"},
        {"wmf24_im", 15, 24, "/usr/bin/convert -density 96 wmf:{f} -depth 8 ppm:{o}"},
        {"img1_netpbm", 52, 1, "gemtopnm {f} | ppmtoppm > {o}"},
        {"msp1_pillow", 53, 1, keep[0].c_str()},
        {"wpg1_im", 54, 1, "/usr/bin/convert wpg:{f} -depth 8 ppm:{o}"},
        {"wpg4_gm", 54, 4, "gm convert wpg:{f} -depth 8 ppm:{o}"},
        {"wpg8_im", 54, 8, "/usr/bin/convert wpg:{f} -depth 8 ppm:{o}"},
        // No program reads WinFax or IOCA: their G3 and G4 payloads are checked.
        {"fxs1_g3_payload_netpbm", 69, 1, "tail -c +33 {f} | g3topbm | ppmtoppm > {o}"},
    };
}

class OracleReadsOurFile : public ::testing::TestWithParam<OracleCase> {};

TEST_P(OracleReadsOurFile, SeesTheSamePixels) {
    const OracleCase c = GetParam();
    const Bitmap picture = startPicture(c.width, c.height, c.bits);
    const std::string file = testing::scratchPath(std::string(c.name) + "." + testing::extensionOf(c.code));
    const std::string ppm = file + ".ppm";
    ASSERT_EQ(save(file, picture, c.code, c.bits), kSuccess);
    Bitmap written;
    ASSERT_EQ(changeColorDepth(written, picture, testing::writtenBits(c.code, c.bits), depth::kNearest),
              kSuccess);
    ASSERT_TRUE(testing::run(expand(c.command, file, ppm))) << expand(c.command, file, ppm);
    Rgb8Picture seen;
    ASSERT_TRUE(testing::readPpm(ppm, seen));
    std::remove(file.c_str());
    std::remove(ppm.c_str());
    const int difference = testing::maxDifference(seen, testing::toRgb8(written));
    EXPECT_GE(difference, 0) << "the tool sees another size";
    EXPECT_LE(difference, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Formats, OracleReadsOurFile, ::testing::ValuesIn(readerCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- We read what tools write -------------------------------------------------

std::vector<OracleCase> writerCases() {
    static const std::string pil = kPil;
    static const std::string pilTgaRle =
        "/usr/bin/python3 -c \"import sys; from PIL import Image; "
        "Image.open(sys.argv[1]).save(sys.argv[2], 'TGA', compression='tga_rle')\" {i} {f}";
    static const std::string pilPcx =
        "/usr/bin/python3 -c \"import sys; from PIL import Image; "
        "Image.open(sys.argv[1]).save(sys.argv[2], 'PCX')\" {i} {f}";
    static const std::string pilMsp =
        "/usr/bin/python3 -c \"import sys; from PIL import Image; "
        "Image.open(sys.argv[1]).save(sys.argv[2], 'MSP')\" {i} {f}";
    return {
        {"pcx1_netpbm", 1, 1, "ppmtopcx {i} > {f}"},
        {"pcx1_pillow", 1, 1, pilPcx.c_str()},
        {"pcx4_netpbm_planes", 1, 4, "ppmtopcx -planes=4 {i} > {f}"},
        {"pcx4_netpbm_packed", 1, 4, "ppmtopcx -packed {i} > {f}"},
        {"pcx8_netpbm", 1, 8, "ppmtopcx -8bit {i} > {f}"},
        {"pcx8_gm", 1, 8, "gm convert {i} pcx:{f}"},
        {"pcx24_netpbm", 1, 24, "ppmtopcx -24bit {i} > {f}"},
        {"pcx24_im", 1, 24, "/usr/bin/convert {i} pcx:{f}"},
        {"pcx24_pillow", 1, 24, pilPcx.c_str()},
        {"tga8_netpbm_cmap_rle", 4, 8, "pamtotga -cmap {i} > {f}"},
        {"tga8_netpbm_cmap_raw", 4, 8, "pamtotga -cmap -norle {i} > {f}"},
        {"tga8_netpbm_grey", 4, 8, "ppmtopgm {i} | pamtotga -mono > {f}"},
        {"tga24_netpbm_rle", 4, 24, "pamtotga -rgb {i} > {f}"},
        {"tga24_im_top_left", 4, 24, "/usr/bin/convert {i} -orient TopLeft tga:{f}"},
        {"tga24_gm", 4, 24, "gm convert {i} tga:{f}"},
        {"tga24_pillow_rle", 4, 24, pilTgaRle.c_str()},
        {"ras1_netpbm_rle", 55, 1, "pnmtorast -rle {i} > {f}", 48, 23},
        {"ras8_netpbm_rle", 55, 8, "pnmtorast -rle {i} > {f}", 38, 23},
        {"ras8_netpbm_standard", 55, 8, "pnmtorast -standard {i} > {f}"},
        {"ras24_netpbm", 55, 24, "pnmtorast -standard {i} > {f}"},
        {"ras24_im", 55, 24, "/usr/bin/convert {i} ras:{f}"},
        {"ras24_gm", 55, 24, "gm convert {i} ras:{f}"},
        {"psd24_im_rle", 76, 24, "/usr/bin/convert {i} -compress rle psd:{f}"},
        {"psd24_im_raw", 76, 24, "/usr/bin/convert {i} -compress none psd:{f}"},
        {"psd8_im_grey", 76, 8, "/usr/bin/convert {i} -colorspace gray -compress rle psd:{f}"},
        {"pct8_netpbm", 56, 8, "ppmtopict {i} > {f}"},
        {"pct8_im", 56, 8, "/usr/bin/convert {i} pict:{f}"},
        {"pct24_im", 56, 24, "/usr/bin/convert {i} pict:{f}"},
        {"pct24_gm", 56, 24, "gm convert {i} pict:{f}"},
        {"mac1_netpbm", 51, 1, "pbmtomacp {i} > {f}", 576, 720},
        {"cal1_im", 50, 1, "/usr/bin/convert {i} cals:{f}"},
        {"cal1_gm", 50, 1, "gm convert {i} cals:{f}"},
        {"eps24_gm_tiff_preview", 16, 24, "gm convert {i} ept:{f}"},
        {"eps1_netpbm_epsi_preview", 16, 1, "pbmtoepsi {i} > {f}"},
        {"img1_netpbm", 52, 1, "pbmtogem {i} > {f}"},
        {"msp1_pillow_v1", 53, 1, pilMsp.c_str()},
    };
}

class WeReadToolFile : public ::testing::TestWithParam<OracleCase> {};

TEST_P(WeReadToolFile, ToTheSamePixels) {
    const OracleCase c = GetParam();
    Bitmap picture = startPicture(c.width, c.height, c.bits);
    if (std::string(c.name).find("grey") != std::string::npos) {  // a grey source for grey writers
        Bitmap grey;
        initialize(grey, c.width, c.height, 8);
        allocate(grey);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) grey.storedRow(y)[x] = uint8_t((x * 7 + y * 11) & 0xFF);
        picture = std::move(grey);
    }
    const Rgb8Picture source = testing::toRgb8(picture);
    const std::string input = testing::scratchPath(std::string(c.name) + (c.bits == 1 ? ".pbm" : ".ppm"));
    const std::string file = testing::scratchPath(std::string(c.name) + "." + testing::extensionOf(c.code));
    ASSERT_TRUE(c.bits == 1 ? writePbm(input, source) : testing::writePpm(input, source));
    ASSERT_TRUE(testing::run(expand(c.command, file, input))) << expand(c.command, file, input);
    std::remove(input.c_str());
    FileInfo info;
    ASSERT_EQ(fileInfo(file, info), kSuccess);
    EXPECT_EQ(info.formatCode, c.code);
    Bitmap back;
    ASSERT_EQ(load(file, back), kSuccess);
    std::remove(file.c_str());
    EXPECT_EQ(info.width, back.width);
    EXPECT_EQ(info.height, back.height);
    EXPECT_EQ(info.bits, back.bitsPerPixel);
    EXPECT_EQ(testing::maxDifference(testing::toRgb8(back), source), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, WeReadToolFile, ::testing::ValuesIn(writerCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace imaging

namespace imaging {
namespace {

// No program reads IOCA: libtiff judges the G3 payload of the image data blocks.
TEST(OracleReadsOurFile, IocaG3PayloadDecodesWithLibtiff) {
    const Bitmap picture = startPicture(37, 23, 1);
    const std::string file = testing::scratchPath("payload.ica");
    ASSERT_EQ(save(file, picture, 71, 1), kSuccess);
    std::vector<uint8_t> bytes, payload;
    ASSERT_EQ(readWholeFile(file, bytes), kSuccess);
    for (size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (bytes[i] == 0xFE && bytes[i + 1] == 0x92) {
            const size_t n = size_t(bytes[i + 2] << 8 | bytes[i + 3]);
            ASSERT_LE(i + 4 + n, bytes.size());
            payload.insert(payload.end(), bytes.begin() + ptrdiff_t(i + 4), bytes.begin() + ptrdiff_t(i + 4 + n));
            i += 3 + n;
        }
    ASSERT_FALSE(payload.empty());
    const std::string g4 = file + ".g3", ppm = file + ".ppm";
    ASSERT_EQ(writeWholeFile(g4, payload), kSuccess);
    ASSERT_TRUE(testing::run("fax2tiff -1 -M -X 37 -o '" + g4 + ".tif' '" + g4 + "' >/dev/null && tifftopnm '" + g4 +
                             ".tif' | pamcut -height 23 | ppmtoppm > '" + ppm + "'"));
    testing::Rgb8Picture seen;
    ASSERT_TRUE(testing::readPpm(ppm, seen));
    for (const std::string& f : {file, g4, g4 + ".tif", ppm}) std::remove(f.c_str());
    EXPECT_EQ(testing::maxDifference(seen, testing::toRgb8(picture)), 0);
}

double psnr(const testing::Rgb8Picture& a, const testing::Rgb8Picture& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += double(a.rgb[i] - b.rgb[i]) * double(a.rgb[i] - b.rgb[i]);
    const double mse = sum / double(a.rgb.size());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Photo CD: ImageMagick writes the file; the decoders disagree on colour, so
// the size is checked exactly and the colours against Pillow within a bound.
TEST(WeReadToolFile, PhotoCdBaseImageAgreesWithPillow) {
    const std::string input = testing::scratchPath("pcd-source.ppm"), file = testing::scratchPath("base.pcd");
    ASSERT_TRUE(testing::writePpm(input, testing::testScene(768, 512)));
    ASSERT_TRUE(testing::run(std::string(testing::kMagick) + " '" + input + "' pcd:'" + file + "'"));
    std::remove(input.c_str());
    FileInfo info;
    ASSERT_EQ(fileInfo(file, info), kSuccess);
    EXPECT_EQ(info.formatCode, 57);
    EXPECT_EQ(info.width, 768);
    EXPECT_EQ(info.height, 512);
    EXPECT_EQ(info.bits, 24);
    Bitmap ours;
    ASSERT_EQ(load(file, ours), kSuccess);
    const std::string ppm = file + ".ppm";
    ASSERT_TRUE(testing::run(std::string(kPil) + "'" + file + "' '" + ppm + "'"));
    testing::Rgb8Picture pillow;
    ASSERT_TRUE(testing::readPpm(ppm, pillow));
    std::remove(file.c_str());
    std::remove(ppm.c_str());
    ASSERT_EQ(pillow.width, 768);
    ASSERT_EQ(pillow.height, 512);
    EXPECT_GT(psnr(testing::toRgb8(ours), pillow), 25.0);
}

}  // namespace
}  // namespace imaging
