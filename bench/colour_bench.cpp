// The colour and tone effects on a camera-sized picture (4000 x 3000, 24
// bits, 36 MB): the table effects (three lookups a pixel), saturation and
// colour shift, and the whole command (undo snapshot and effect).
#include "effects/channel_tables.h"
#include "effects/colour_effects.h"
#include "effects/colour_shift.h"
#include "image/image_object.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace quillon;

CImageObject& picture() {
    static std::unique_ptr<CImageObject> p = [] {
        auto o = std::make_unique<CImageObject>();
        o->create(4000, 3000, 24);
        o->allocate();
        imaging::Bitmap& b = o->bitmap();
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width * 3; ++x) b.storedRow(y)[x] = uint8_t((x * 7 + y * 3) ^ (x >> 5));
        return o;
    }();
    return *p;
}

void run(benchmark::State& state, bool (*effect)(CImageObject&, const Rect*, QString&)) {
    CImageObject& p = picture();
    QString error;
    for (auto _ : state) benchmark::DoNotOptimize(effect(p, nullptr, error));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.bitmap().byteCount()));
}

void BM_Sepia(benchmark::State& s) { run(s, applySepia); }
void BM_RedCast(benchmark::State& s) { run(s, applyRedCast); }
void BM_Backlight(benchmark::State& s) { run(s, applyBacklight); }
void BM_LowLight(benchmark::State& s) { run(s, applyLowLight); }
void BM_Hue(benchmark::State& s) {
    run(s, [](CImageObject& p, const Rect* a, QString& e) { return applyHue(p, a, 20, -10, 5, e); });
}
void BM_ColourFilter(benchmark::State& s) {
    run(s, [](CImageObject& p, const Rect* a, QString& e) { return applyColourFilter(p, a, 120, 100, 80, e); });
}
void BM_LevelsApply(benchmark::State& s) {
    run(s, [](CImageObject& p, const Rect* a, QString& e) {
        const ChannelTable t = levelsTable(10, 240);
        return applyChannelTables(p, a, {t, t, t}, e);
    });
}
void BM_Saturation(benchmark::State& s) {
    run(s, [](CImageObject& p, const Rect* a, QString& e) { return applySaturation(p, a, 130, e); });
}
void BM_ColourShift(benchmark::State& s) {
    CImageObject& p = picture();
    std::unique_ptr<CImageObject> backup = p.duplicate();
    ColourShiftOffsets offsets;
    offsets.move(ShiftChannel::Red, 3, 0, p.width(), p.height());
    offsets.move(ShiftChannel::Red, 0, -2, p.width(), p.height());
    QString error;
    for (auto _ : s) benchmark::DoNotOptimize(rebuildColourShift(p, *backup, offsets, error));
    s.SetBytesProcessed(int64_t(s.iterations()) * int64_t(p.bitmap().byteCount()));
}
// What the menu command does around the loop: the undo snapshot, then sepia.
void BM_SepiaWithUndoSnapshot(benchmark::State& s) {
    CImageObject& p = picture();
    QString error;
    for (auto _ : s) {
        std::unique_ptr<CImageObject> undo = p.duplicate();
        benchmark::DoNotOptimize(applySepia(p, nullptr, error));
    }
    s.SetBytesProcessed(int64_t(s.iterations()) * int64_t(p.bitmap().byteCount()));
}

BENCHMARK(BM_Sepia)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedCast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backlight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LowLight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelsApply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Saturation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourShift)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SepiaWithUndoSnapshot)->Unit(benchmark::kMillisecond);

}  // namespace
