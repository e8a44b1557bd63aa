// Open and save of every format of the save table on a 4000 x 3000 picture
// (MacPaint at its one size, 576 x 720), in process, through the program's
// own dispatcher and the file system (a tmpfs folder when there is one). Each
// row reports its time as a multiple of a memcpy of the picture's pixels
// ("x_memcpy"); the picture has the depth the save table hands the writer
// for a 24-bit photograph.
#include "image/file_dispatch.h"
#include "image/image_object.h"
#include "image/save_formats.h"
#include "imaging/depth.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

using namespace quillon;
using Clock = std::chrono::steady_clock;

QString folder() {
    static const QString path = [] {
        const QString base = QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath();
        const QString made = base + "/quillon-files-bench-" + QString::number(qint64(::getpid()));
        QDir().mkpath(made);
        return made;
    }();
    // The files go with the folder when the program ends.
    static const struct Remover {
        ~Remover() { QDir(path).removeRecursively(); }
    } remover;
    return path;
}

// A photograph-like picture: smooth ramps, noise and edges.
const imaging::Bitmap& photo() {
    static const imaging::Bitmap picture = [] {
        imaging::Bitmap b;
        imaging::initialize(b, 4000, 3000, 24);
        imaging::allocate(b);
        uint32_t noise = 12345;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int n = int(noise >> 28) - 8;
                const bool edge = ((x / 250 + y / 250) & 1) != 0;
                imaging::writePixel(b, b.storedRow(y), x,
                                    imaging::Rgb{uint8_t(std::clamp(x * 255 / 3999 + n, 0, 255)),
                                                 uint8_t(std::clamp(y * 255 / 2999 + n, 0, 255)),
                                                 uint8_t(edge ? 200 : 40)});
            }
        return b;
    }();
    return picture;
}

// The picture at the writer's depth, in a picture object.
std::unique_ptr<CImageObject> pictureFor(const SaveFormat& format) {
    const imaging::Bitmap& source = photo();
    const int bits = bitsForSave(format.index, 24);
    auto object = std::make_unique<CImageObject>();
    imaging::Bitmap& b = object->bitmap();
    const bool small = format.formatCode == 51;  // MacPaint: 576 x 720
    imaging::initialize(b, small ? 576 : source.width, small ? 720 : source.height, 24);
    imaging::allocate(b);
    for (int y = 0; y < b.height; ++y) std::memcpy(b.storedRow(y), source.storedRow(y), size_t(b.bytesPerLine));
    if (bits != 24) imaging::changeColorDepth(b, b, bits, imaging::depth::kNearest);
    object->setHasBitmap(true);
    return object;
}

// Seconds of one memcpy of that many bytes between buffers already touched
// (the best of five, measured once for each size).
double memcpySeconds(size_t bytes) {
    static std::map<size_t, double> measured;
    if (const auto found = measured.find(bytes); found != measured.end()) return found->second;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return measured[bytes] = best;
}

void report(benchmark::State& state, double seconds, size_t pixelBytes) {
    const double each = seconds / double(state.iterations());
    state.counters["x_memcpy"] = each / memcpySeconds(pixelBytes);
    state.counters["MB"] = double(pixelBytes) / 1e6;
    state.counters["memcpy_ms"] = memcpySeconds(pixelBytes) * 1e3;
}

int formatCodeOf(const SaveFormat& format) { return format.formatCode; }

void BM_Save(benchmark::State& state, const SaveFormat* format) {
    auto picture = pictureFor(*format);
    const QString path = folder() + "/save." + QString(format->extension).toLower();
    const int bits = picture->bitsPerPixel();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!savePicture(*picture, path, formatCodeOf(*format), bits, 90)) state.SkipWithError("save failed");
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    report(state, seconds, picture->bitmap().byteCount());
}

void BM_Open(benchmark::State& state, const SaveFormat* format) {
    auto picture = pictureFor(*format);
    const QString path = folder() + "/open." + QString(format->extension).toLower();
    if (!savePicture(*picture, path, formatCodeOf(*format), picture->bitsPerPixel(), 90)) {
        state.SkipWithError("save failed");
        return;
    }
    double seconds = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        CImageObject opened;  // a fresh picture each time, as Open makes one
        const auto start = Clock::now();
        if (!openPicture(opened, path)) state.SkipWithError("open failed");
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        bytes = opened.bitmap().byteCount();
    }
    report(state, seconds, bytes);
}

const bool registered = [] {
    for (const SaveFormat& format : saveFormats()) {
        const std::string name = format.extension;
        benchmark::RegisterBenchmark(("open/" + name).c_str(), BM_Open, &format)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark(("save/" + name).c_str(), BM_Save, &format)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    return true;
}();

}  // namespace
