// A geometry or filter command as the menu runs it on a 4000 x 3000 24-bit
// picture (the undo snapshot, the effect, the refresh and the repaint of a
// 1000 x 700 window area) against the effect alone.
#include "effects/geometry_effects.h"
#include "image/image_object.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace {

using namespace quillon;
using Effect = std::function<bool(CImageObject&, int&)>;

std::unique_ptr<CImageObject> photo() {
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < 3000; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 4000; ++x) row[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, (x ^ y) & 255);
    }
    auto p = std::make_unique<CImageObject>();
    p->fromDeviceImage(image, false, false);
    return p;
}

CImageObject& picture() {
    static std::unique_ptr<CImageObject> p = photo();
    return *p;
}

const Effect kFlip = [](CImageObject& p, int& m) { return flipPicture(p, nullptr, true, m); };
const Effect kInvert = [](CImageObject& p, int& m) { return invertPicture(p, nullptr, m); };
const Effect kRotate90 = [](CImageObject& p, int& m) { return rotatePictureDegrees(p, 90, m); };
const Effect kBlur = [](CImageObject& p, int& m) { return filterPicture(p, nullptr, kBlurAmount, m); };

void effectAlone(benchmark::State& state, const Effect& effect) {
    int message = 0;
    for (auto _ : state) benchmark::DoNotOptimize(effect(picture(), message));
}

void wholeCommand(benchmark::State& state, const Effect& effect) {
    int message = 0;
    for (auto _ : state) {
        std::unique_ptr<CImageObject> undo = picture().duplicate();  // the undo snapshot
        benchmark::DoNotOptimize(effect(picture(), message));
        picture().sizeChanged();
        picture().refresh();
        benchmark::DoNotOptimize(picture().toDeviceImage(Rect{0, 0, 1000, 700}));  // the repaint
    }
}

BENCHMARK_CAPTURE(effectAlone, flip, kFlip)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeCommand, flip, kFlip)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(effectAlone, invert, kInvert)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeCommand, invert, kInvert)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(effectAlone, rotate90, kRotate90)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeCommand, rotate90, kRotate90)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(effectAlone, blur, kBlur)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(wholeCommand, blur, kBlur)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
