#include "effects/colour_effects.h"

#include "effects/area_procedure.h"
#include "effects/work_area.h"
#include "resources/strings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace quillon {
namespace {

constexpr double kHueBase = 1.075222508;

// Reads the palette; 5001 when there is none.
bool readPalette(const CImageObject& image, std::vector<imaging::RgbQuad>& entries, QString& error) {
    const int count = image.paletteGet(0, 0, nullptr);
    if (count <= 0) {
        error = loadString(5001);
        return false;
    }
    entries.resize(size_t(count));
    image.paletteGet(0, count, entries.data());
    return true;
}

bool writePalette(CImageObject& image, const std::vector<imaging::RgbQuad>& entries) {
    return image.paletteSet(entries.data(), int(entries.size()), false);
}

bool memoryShort(QString& error) {
    error = loadString(5019);
    return false;
}

// Three lookups a pixel; red and blue tables swapped for BGR pictures.
void mapRow(uint8_t* p, int count, const ChannelTable& t0, const ChannelTable& t1, const ChannelTable& t2) {
    for (int i = 0; i < count; ++i, p += 3) {
        p[0] = t0[p[0]];
        p[1] = t1[p[1]];
        p[2] = t2[p[2]];
    }
}

}  // namespace

bool applyChannelTables(CImageObject& image, const Rect* selection, const ChannelTables& t, QString& error) {
    if (image.bitsPerPixel() <= 8) {
        std::vector<imaging::RgbQuad> entries;
        if (!readPalette(image, entries, error)) return false;
        for (imaging::RgbQuad& e : entries) {
            e.red = t.red[e.red];
            e.green = t.green[e.green];
            e.blue = t.blue[e.blue];
        }
        return writePalette(image, entries);
    }
    const bool rgb = image.bitmap().colorOrder == imaging::kRgb;
    const ChannelTable& first = rgb ? t.red : t.blue;
    const ChannelTable& last = rgb ? t.blue : t.red;
    if (!forEachRgbRow(image, workArea(image, selection),
                       [&](uint8_t* p, int count) { mapRow(p, count, first, t.green, last); }))
        return memoryShort(error);
    return true;
}

bool applyPowerCurves(CImageObject& image, const Rect* selection, double red, double green, double blue,
                      QString& error) {
    return applyChannelTables(image, selection, powerTables(red, green, blue), error);
}

bool applySepia(CImageObject& image, const Rect* selection, QString& error) {
    if (image.bitsPerPixel() == 1) {
        std::vector<imaging::RgbQuad> paper(2);
        paper[0] = {0, 0, 0, 0};
        paper[1].red = 255;
        paper[1].green = 240;
        paper[1].blue = 180;
        return writePalette(image, paper);
    }
    return applyPowerCurves(image, selection, std::pow(kHueBase, -12), std::pow(kHueBase, -8), 1.0, error);
}

bool applyGoldRed(CImageObject& image, const Rect* selection, QString& error) {
    if (image.bitsPerPixel() <= 8) {
        std::vector<imaging::RgbQuad> entries;
        if (!readPalette(image, entries, error)) return false;
        for (imaging::RgbQuad& e : entries) e.green = e.blue = 0;
        writePalette(image, entries);
    } else {
        const int red = redByte(image);
        if (!forEachRgbRow(image, workArea(image, selection), [red](uint8_t* p, int count) {
                for (int i = 0; i < count; ++i, p += 3) {
                    const uint8_t keep = p[red];
                    p[0] = p[1] = p[2] = 0;
                    p[red] = keep;
                }
            }))
            return memoryShort(error);
    }
    return runAreaProcedure(image, selection, false, 6, 7, error);
}

bool applyColourFilter(CImageObject& image, const Rect* selection, int red, int green, int blue, QString& error) {
    if (image.bitsPerPixel() == 1) {
        std::vector<imaging::RgbQuad> two(2);
        two[0].red = uint8_t(std::min(red * 255 / 100, 255));
        two[0].green = uint8_t(std::min(green * 255 / 100, 255));
        two[0].blue = uint8_t(std::min(blue * 255 / 100, 255));
        two[1] = {255, 255, 255, 0};
        return writePalette(image, two);
    }
    return applyChannelTables(image, selection, filterTables(red, green, blue), error);
}

bool applyHue(CImageObject& image, const Rect* selection, int red, int green, int blue, QString& error) {
    return applyPowerCurves(image, selection, hueExponent(red), hueExponent(green), hueExponent(blue), error);
}

void saturateColour(uint8_t& r, uint8_t& g, uint8_t& b, int percent) {
    const int t = (int(r) + int(g) + int(b)) / 3;
    const auto one = [t, percent](uint8_t& x) {
        int d = percent * (int(x) - t) / 100;
        if (t + d > 255) d = 255 - t;
        x = uint8_t(std::max(t + d, 0));
    };
    one(r);
    one(g);
    one(b);
}

bool applySaturation(CImageObject& image, const Rect* selection, int percent, QString& error) {
    if (image.bitsPerPixel() <= 8) {
        std::vector<imaging::RgbQuad> entries;
        if (!readPalette(image, entries, error)) return false;
        for (imaging::RgbQuad& e : entries) saturateColour(e.red, e.green, e.blue, percent);
        return writePalette(image, entries);
    }
    // The rule is symmetric in the three channels, so the colour order does not
    // matter. Its divisions go into tables: the grey level t of every sum of
    // three bytes, and the new value of every channel value for every t.
    std::array<uint8_t, 766> grey{};
    for (int sum = 0; sum < 766; ++sum) grey[size_t(sum)] = uint8_t(sum / 3);
    std::vector<uint8_t> result(256 * 256);
    for (int t = 0; t < 256; ++t)
        for (int x = 0; x < 256; ++x) {
            const int d = percent * (x - t) / 100;
            result[size_t(t * 256 + x)] = uint8_t(t + d > 255 ? 255 : std::max(t + d, 0));
        }
    if (!forEachRgbRow(image, workArea(image, selection), [&](uint8_t* p, int count) {
            const uint8_t* table = result.data();
            for (int i = 0; i < count; ++i, p += 3) {
                const uint8_t* row = table + size_t(grey[size_t(p[0] + p[1] + p[2])]) * 256;
                p[0] = row[p[0]];
                p[1] = row[p[1]];
                p[2] = row[p[2]];
            }
        }))
        return memoryShort(error);
    return true;
}

bool applyRedCast(CImageObject& image, const Rect* selection, QString& error) {
    return applyPowerCurves(image, selection, 1.15, 1.0, 1.0, error);
}

bool applyGreenCast(CImageObject& image, const Rect* selection, QString& error) {
    return applyPowerCurves(image, selection, 1.0, 1.15, 1.0, error);
}

bool applyBacklight(CImageObject& image, const Rect* selection, QString& error) {
    const ChannelTable& t = backlightTable();
    return applyChannelTables(image, selection, {t, t, t}, error);
}

bool applyLowLight(CImageObject& image, const Rect* selection, QString& error) {
    const ChannelTable& t = lowLightTable();
    return applyChannelTables(image, selection, {t, t, t}, error);
}

}  // namespace quillon
