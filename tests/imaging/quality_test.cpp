// Quality against the tool users know: ImageMagick, on the same pictures.
#include "effect_helpers.h"
#include "imaging/geometry.h"
#include "imaging/parallel.h"
#include "imaging/filters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace imaging {
namespace {

using namespace imaging::testing;

// A photograph stand-in that ImageMagick makes: plasma, softened, with noise.
Rgb8Picture plasma(int width, int height) {
    const std::string path = scratchPath("plasma.ppm");
    Rgb8Picture p;
    EXPECT_TRUE(run(std::string(kMagick) + " -seed 4242 -size " + std::to_string(width) + "x" + std::to_string(height) +
                    " plasma:fractal -blur 0x1 -seed 7 -attenuate 0.3 +noise Gaussian -depth 8 " + path));
    EXPECT_TRUE(readPpm(path, p));
    std::remove(path.c_str());
    return p;
}

Rgb8Picture magick(const Rgb8Picture& p, const std::string& operation) {
    const std::string in = scratchPath("q-in.ppm"), out = scratchPath("q-out.ppm");
    Rgb8Picture theirs;
    EXPECT_TRUE(writePpm(in, p));
    EXPECT_TRUE(run(std::string(kMagick) + " " + in + " " + operation + " -depth 8 ppm:" + out));
    EXPECT_TRUE(readPpm(out, theirs));
    std::remove(in.c_str()), std::remove(out.c_str());
    return theirs;
}

TEST(QuantiseQuality, AtLeastImageMagicksWithFloydSteinberg) {
    const Rgb8Picture p = plasma(480, 360);
    for (int bits : {8, 4}) {
        const int colours = 1 << bits;
        SCOPED_TRACE(colours);
        const double theirs = psnr(magick(p, "-dither FloydSteinberg -colors " + std::to_string(colours)), p);
        Bitmap b = fromRgb8(p), back;
        ASSERT_EQ(changeColorDepth(b, b, bits, depth::kOptimizedPalette | depth::kErrorDiffusion), kSuccess);
        EXPECT_LE(b.paletteCount, colours);
        ASSERT_EQ(changeColorDepth(back, b, 24, 0), kSuccess);
        const double ours = psnr(toRgb8(back), p);
        RecordProperty("psnr_ours_" + std::to_string(colours), std::to_string(ours));
        RecordProperty("psnr_imagemagick_" + std::to_string(colours), std::to_string(theirs));
        EXPECT_GE(ours, theirs) << "ours " << ours << " dB, ImageMagick " << theirs << " dB";
    }
}

// A zone plate: rings whose frequency rises from 0 at the centre to nearly the
// sampling limit at the corners. Shrunk by 4, every ring finer than the new
// limit must vanish into flat grey; what is left there is aliasing.
TEST(ResizeQuality, ZonePlateShowsNoMoreAliasingThanImageMagick) {
    const int n = 512, m = 128;
    const double k = 0.5 * 3.14159265358979 / (n / 2 * std::sqrt(2.0));
    Rgb8Picture plate{n, n, {}};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x - n / 2 + 0.5, dy = y - n / 2 + 0.5;
            const uint8_t v = uint8_t(std::lround(127.5 + 127.0 * std::cos(k * (dx * dx + dy * dy))));
            plate.rgb.insert(plate.rgb.end(), {v, v, v});
        }
    // Rings of more than 1.6 times the new limit's frequency, in output pixels.
    const double limitRadius = 1.6 * (0.125 * 3.14159265358979 / k) / (n / m);
    auto aliasing = [&](const Rgb8Picture& q) {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < m; ++y)
            for (int x = 0; x < m; ++x) {
                const double dx = x - m / 2 + 0.5, dy = y - m / 2 + 0.5;
                if (dx * dx + dy * dy < limitRadius * limitRadius) continue;
                const double d = q.rgb[(size_t(y) * m + x) * 3] - 127.5;
                sum += d * d, ++count;
            }
        return std::sqrt(sum / count);
    };
    const double theirs = aliasing(magick(plate, "-resize 128x128!"));
    Bitmap b = fromRgb8(plate);
    ASSERT_EQ(resize(b, m, m), kSuccess);
    const double ours = aliasing(toRgb8(b));
    RecordProperty("aliasing_rms_ours", std::to_string(ours));
    RecordProperty("aliasing_rms_imagemagick", std::to_string(theirs));
    EXPECT_LE(ours, std::max(theirs * 1.5, 3.0)) << "ours " << ours << ", ImageMagick " << theirs;
    // The rings below the limit survive: the filter is not just a heavy blur.
    const Rgb8Picture out = toRgb8(b);
    int lo = 255, hi = 0;
    for (int x = m / 2; x < m / 2 + 12; ++x) {
        const int v = out.rgb[(size_t(m / 2) * m + x) * 3];
        lo = std::min(lo, v), hi = std::max(hi, v);
    }
    EXPECT_GT(hi - lo, 200);
}

// Rows spread over cores never change a pixel.
TEST(Threads, ResultsDoNotDependOnTheNumberOfThreads) {
    const Rgb8Picture p = plasma(700, 420);  // big enough for the threaded paths
    auto each = [&](auto&& effect) {
        uint64_t first = 0;
        for (int threads : {1, 2, 3, 4}) {
            threadLimit() = threads;
            Bitmap b = fromRgb8(p);
            EXPECT_EQ(effect(b), kSuccess);
            const uint64_t h = pictureHash(b);
            if (threads == 1) first = h;
            EXPECT_EQ(h, first) << threads << " threads";
        }
        threadLimit() = 0;
    };
    each([](Bitmap& b) { return changeColorDepth(b, b, 8, depth::kOptimizedPalette | depth::kErrorDiffusion); });
    each([](Bitmap& b) { return changeColorDepth(b, b, 4, depth::kOptimizedPalette); });
    each([](Bitmap& b) { return resize(b, 333, 201); });
    each([](Bitmap& b) { return resize(b, 1400, 900); });
    each([](Bitmap& b) { return rotateFine(b, 723, 0, 0); });
    each([](Bitmap& b) { return rotateDegrees(b, 90, true); });
    each([](Bitmap& b) { return sharpen(b, -800); });
    each([](Bitmap& b) { return sharpen(b, 500); });
}

}  // namespace
}  // namespace imaging
