// Read and write speed of each codec of the save-format table on a
// 2000 x 1500 picture, in memory (no file system), at the depth the save
// table hands the writer for a 24-bit picture (1 bit for the fax and paint
// formats, 8 for EPS and WPG). codec-peers.sh times ImageMagick on the same files.
#include "imaging/codec_table.h"
#include "imaging/depth.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace imaging;

struct Format {
    int code;
    const char* name;
    int bits;
};
const Format kFormats[] = {{1, "PCX", 24},  {4, "TGA", 24},  {55, "RAS", 24}, {76, "PSD", 24},
                           {56, "PCT", 24}, {16, "EPS", 8},  {15, "WMF", 24}, {54, "WPG", 8},
                           {50, "CAL", 1},  {51, "MAC", 1},  {52, "IMG", 1},  {53, "MSP", 1},
                           {71, "ICA", 1},  {69, "FXS", 1}};

// A photograph-like picture: smooth ramps with edges.
const Bitmap& photo() {
    static const Bitmap picture = [] {
        Bitmap b;
        initialize(b, 2000, 1500, 24);
        allocate(b);
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                writePixel(b, b.storedRow(y), x,
                           Rgb{uint8_t(x * 255 / 1999), uint8_t(y * 255 / 1499),
                               uint8_t(((x / 64 + y / 64) & 1) ? 200 : 40)});
        return b;
    }();
    return picture;
}

const Bitmap& atDepth(int bits) {
    static Bitmap pictures[33];
    Bitmap& p = pictures[bits];
    if (!p.hasPixels()) {
        // MacPaint pictures are at most 576 x 720.
        changeColorDepth(p, photo(), bits, depth::kNearest);
    }
    return p;
}

Bitmap small1Bit() {
    Bitmap b;
    copyRect(b, atDepth(1), 0, 0, 576, 720);
    return b;
}

void writeFormat(benchmark::State& state, const Format& f) {
    const Codec* codec = codecForCode(f.code);
    const Bitmap picture = f.code == 51 ? small1Bit() : Bitmap();
    const Bitmap& source = f.code == 51 ? picture : atDepth(f.bits);
    std::vector<uint8_t> out;
    for (auto _ : state) {
        if (codec->write(source, out) != kSuccess) state.SkipWithError("write failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = double(out.size());
    // The files for the peer script.
    if (const char* dir = std::getenv("CODEC_BENCH_FILES")) {
        const std::string path = std::string(dir) + "/bench." + f.name;
        if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fwrite(out.data(), 1, out.size(), file);
            std::fclose(file);
        }
    }
}

void readFormat(benchmark::State& state, const Format& f) {
    const Codec* codec = codecForCode(f.code);
    const Bitmap picture = f.code == 51 ? small1Bit() : Bitmap();
    std::vector<uint8_t> file;
    codec->write(f.code == 51 ? picture : atDepth(f.bits), file);
    for (auto _ : state) {
        Bitmap back;
        if (codec->read(file.data(), file.size(), back) != kSuccess) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(back.pixels.get());
    }
}

const bool registered = [] {
    for (const Format& f : kFormats) {
        benchmark::RegisterBenchmark((std::string("write/") + f.name).c_str(), writeFormat, f)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("read/") + f.name).c_str(), readFormat, f)->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
