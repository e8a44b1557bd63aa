// The effects over the peer benchmark's 4000 x 3000 photo (peers.sh makes
// /tmp/bench-in/photo.bmp; QUILLON_BENCH_PHOTO names another), in process:
// no file reading or writing is timed. Without the photo a synthetic picture
// of the same size stands in.
#include "imaging/depth.h"
#include "imaging/file_io.h"
#include "imaging/filters.h"
#include "imaging/geometry.h"
#include "imaging/imaging.h"
#include "imaging/tone.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

const imaging::Bitmap& photo() {
    static imaging::Bitmap b = [] {
        imaging::Bitmap p;
        const char* path = std::getenv("QUILLON_BENCH_PHOTO");
        if (imaging::load(path ? path : "/tmp/bench-in/photo.bmp", p, 24) == imaging::kSuccess) return p;
        imaging::initialize(p, 4000, 3000, 24);
        imaging::allocate(p);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                uint8_t* q = p.storedRow(y) + 3 * x;
                q[0] = uint8_t(128 + 100 * std::sin(x * 0.003 + y * 0.001) + (x * 7 + y * 13) % 23);
                q[1] = uint8_t(120 + 90 * std::cos(y * 0.004)), q[2] = uint8_t((x ^ y) & 255);
            }
        return p;
    }();
    return b;
}

template <typename Effect>
void timeOnCopy(benchmark::State& state, Effect&& effect) {
    for (auto _ : state) {
        state.PauseTiming();
        imaging::Bitmap b;
        imaging::copy(b, photo());
        state.ResumeTiming();
        benchmark::DoNotOptimize(effect(b));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo().byteCount()));
}

void BM_Quantise256Diffused(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) {
        return imaging::changeColorDepth(b, b, 8, imaging::depth::kOptimizedPalette | imaging::depth::kErrorDiffusion);
    });
}
void BM_Quantise16Diffused(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) {
        return imaging::changeColorDepth(b, b, 4, imaging::depth::kOptimizedPalette | imaging::depth::kErrorDiffusion);
    });
}
void BM_Quantise256Nearest(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) {
        return imaging::changeColorDepth(b, b, 8, imaging::depth::kOptimizedPalette);
    });
}
void BM_BlackAndWhiteDiffused(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::changeColorDepth(b, b, 1, imaging::depth::kErrorDiffusion); });
}
void BM_Resize800x600(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::resize(b, 800, 600); });
}
void BM_Rotate7(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::rotateDegrees(b, 7, false); });
}
void BM_Rotate90(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::rotateDegrees(b, 90, true); });
}
void BM_Blur500(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::sharpen(b, -500); });
}
void BM_Sharpen500(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::sharpen(b, 500); });
}
void BM_Contrast350(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::contrast(b, 350); });
}
void BM_Grey(benchmark::State& s) {
    timeOnCopy(s, [](imaging::Bitmap& b) { return imaging::greyScale(b); });
}

}  // namespace

BENCHMARK(BM_Quantise256Diffused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Quantise16Diffused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Quantise256Nearest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BlackAndWhiteDiffused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Resize800x600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Blur500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sharpen500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Contrast350)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Grey)->Unit(benchmark::kMillisecond)->UseRealTime();
