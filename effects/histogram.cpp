#include "effects/histogram.h"

#include "effects/channel_tables.h"
#include "effects/colour_effects.h"
#include "effects/work_area.h"
#include "resources/strings.h"

#include <algorithm>
#include <vector>

namespace quillon {
namespace {

// A counter that would wrap to 0 stays at its largest value.
inline void count(uint32_t& counter) {
    if (counter != 0xFFFFFFFFu) ++counter;
}

uint32_t maximum(const std::array<uint32_t, 256>& counters) {
    return std::max<uint32_t>(1, *std::max_element(counters.begin() + 1, counters.begin() + 255));
}

int paletteIndex(const uint8_t* row, int x, int bits) {
    switch (bits) {
    case 8: return row[x];
    case 4: return (row[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
    default: return (row[x / 8] >> (7 - x % 8)) & 1;
    }
}

}  // namespace

bool computeHistogram(CImageObject& image, const Rect* selection, Histogram& h, QString& error) {
    h = Histogram{};
    const int bits = image.bitsPerPixel();
    if (bits <= 8) {
        const int entries = image.paletteGet(0, 0, nullptr);
        if (entries <= 0) {
            error = loadString(5001);
            return false;
        }
        std::vector<imaging::RgbQuad> palette(256);
        image.paletteGet(0, std::min(entries, 256), palette.data());
        const imaging::Bitmap& b = image.bitmap();
        h.pixelCount = int64_t(b.width) * b.height;
        for (int y = 0; y < b.height; ++y) {
            const uint8_t* row = b.storedRow(y);
            for (int x = 0; x < b.width; ++x) {
                const imaging::RgbQuad& e = palette[size_t(paletteIndex(row, x, bits))];
                count(h.red[e.red]);
                count(h.green[e.green]);
                count(h.blue[e.blue]);
            }
        }
    } else {
        const Rect area = workArea(image, selection);
        h.pixelCount = int64_t(area.width()) * area.height();
        const int red = redByte(image), blue = blueByte(image);
        if (!forEachRgbRow(image, area, [&](uint8_t* p, int n) {
                for (int i = 0; i < n; ++i, p += 3) {
                    count(h.red[p[red]]);
                    count(h.green[p[1]]);
                    count(h.blue[p[blue]]);
                }
            })) {
            error = loadString(5019);
            return false;
        }
    }
    h.maxRed = maximum(h.red);
    h.maxGreen = maximum(h.green);
    h.maxBlue = maximum(h.blue);
    return true;
}

LevelsPoints levelsPoints(const Histogram& h) {
    const uint32_t f = uint32_t(h.pixelCount / 1000);
    const auto sum = [&h](int i) { return h.red[size_t(i)] + h.green[size_t(i)] + h.blue[size_t(i)]; };
    int low = 0;
    while (sum(low) <= 3 * f && low < 255) ++low;
    int high = 255;
    while (sum(high) <= 3 * f && high > 0) --high;
    if (low == 255) low = 0;
    if (high == 0) high = 255;
    if (low > 0) --low;
    if (high < 255) ++high;
    return {low, high};
}

LevelsOutcome applyLevels(CImageObject& image, const Rect* selection, const Histogram& h, QString& error) {
    if (image.bitsPerPixel() < 8) {
        error = QStringLiteral("256色より色数の少ないビットマップは自動補正できません");
        return LevelsOutcome::Refused;
    }
    if (h.pixelCount / 1000 < 11) return LevelsOutcome::TooFewPixels;
    const LevelsPoints p = levelsPoints(h);
    const ChannelTable t = levelsTable(p.low, p.high);
    return applyChannelTables(image, selection, {t, t, t}, error) ? LevelsOutcome::Applied : LevelsOutcome::Failed;
}

}  // namespace quillon
