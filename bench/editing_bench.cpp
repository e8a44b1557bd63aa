// Editing at the size of a camera photo: committing a floating paste or a
// moved selection (undo snapshot included) into a 4000 x 3000 24-bit
// picture, against one copy of the picture into fresh memory, and the paint
// of what one drag step exposes.
#include "effects/burn_in.h"
#include "effects/floating_build.h"
#include "effects/overlay_painter.h"
#include "image/image_object.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using namespace quillon;

std::unique_ptr<CImageObject> photo(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) row[x] = qRgb((x * 7 + y) & 255, (y * 3) & 255, (x ^ y) & 255);
    }
    auto p = std::make_unique<CImageObject>();
    p->fromDeviceImage(image, false, false);
    return p;
}

CImageObject& picture() {
    static std::unique_ptr<CImageObject> p = photo(4000, 3000);
    return *p;
}

void BM_CopyPictureIntoFreshMemory(benchmark::State& state) {
    const imaging::Bitmap& b = picture().bitmap();
    for (auto _ : state) {
        void* copy = std::malloc(b.byteCount());
        std::memcpy(copy, b.pixels.get(), b.byteCount());
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
}

void BM_CommitPaste2000x1500(benchmark::State& state) {
    static std::unique_ptr<CImageObject> paste = photo(2000, 1500);
    for (auto _ : state) {
        std::unique_ptr<CImageObject> undo = picture().duplicate();  // the undo snapshot
        benchmark::DoNotOptimize(pasteAt(picture(), *paste, 1000, 700, false));
    }
}

void BM_CommitMove2000x1500(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<CImageObject> undo = picture().duplicate();
        benchmark::DoNotOptimize(moveSelection(picture(), Rect{0, 0, 2000, 1500}, Rect{1500, 1200, 3500, 2700}));
    }
}

// One drag step of a 1000 x 1000 floating picture by 10 pixels at 100 %:
// the exposed area (old and new place) painted from the picture, then the overlay.
void BM_DragStepRepaint1000x1000(benchmark::State& state) {
    static int argc = 3;
    static char name[] = "editing_bench", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication app(argc, argv);
    static const QImage shown = picture().toDeviceImage().convertToFormat(QImage::Format_RGB32);
    static std::shared_ptr<CImageObject> source = photo(1000, 1000);
    static const FloatingObject floating = pasteFloating(source, true);
    QImage window(1600, 1200, QImage::Format_RGB32);
    int x = 100;
    for (auto _ : state) {
        const QRect exposed = QRect(x, 100, 1000, 1000) | QRect(x + 10, 100, 1000, 1000);
        QPainter p(&window);
        p.setClipRect(exposed.adjusted(-1, -1, 1, 1));
        p.drawImage(exposed.topLeft(), shown, exposed);
        OverlayPlan plan;
        plan.floatingAt = Rect{x + 10, 100, x + 1010, 1100};
        paintOverlay(p, plan, floating, Rect{0, 0, 1600, 1200});
        p.end();
        x = x == 400 ? 100 : x + 10;
    }
}

}  // namespace

BENCHMARK(BM_CopyPictureIntoFreshMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitPaste2000x1500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitMove2000x1500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStepRepaint1000x1000)->Unit(benchmark::kMillisecond);
