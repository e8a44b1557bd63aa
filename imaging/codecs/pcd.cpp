#include "imaging/codecs/pcd.h"

#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imaging::pcd {
namespace {

struct Level {
    size_t offset;
    int width, height;
};
constexpr Level kLevels[] = {{0x30000, 768, 512}, {0xB800, 384, 256}, {0x2000, 192, 128}};
constexpr size_t kOrientation = 0x0E02;

size_t levelBytes(const Level& l) { return size_t(l.width) * size_t(l.height) * 3 / 2; }

const Level* largestLevel(size_t size) {
    for (const Level& l : kLevels)
        if (l.offset + levelBytes(l) <= size) return &l;
    return nullptr;
}

int orientationOf(const uint8_t* data, size_t size) { return size > kOrientation ? data[kOrientation] & 3 : 0; }

uint8_t clip(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    return size >= 0x800 + 7 && std::memcmp(data + 0x800, "PCD_IPI", 7) == 0;
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    if (!probe(data, size)) return kErrFileFormat;
    const Level* l = largestLevel(size);
    if (!l) return kErrFileRead;
    const bool turned = orientationOf(data, size) & 1;
    raster::fillInfo(info, turned ? l->height : l->width, turned ? l->width : l->height, 24);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    if (!probe(data, size)) return kErrFileFormat;
    const Level* l = largestLevel(size);
    if (!l) return kErrFileRead;
    const int w = l->width, h = l->height;
    // The picture as stored, then turned upright if need be.
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    const uint8_t* pair = data + l->offset;
    for (int y = 0; y < h; y += 2, pair += size_t(w) * 3) {
        const uint8_t* c1 = pair + 2 * size_t(w);
        const uint8_t* c2 = c1 + size_t(w) / 2;
        for (int dy = 0; dy < 2; ++dy) {
            const uint8_t* luma = pair + size_t(dy) * w;
            uint8_t* out = rgb.data() + (size_t(y + dy) * w) * 3;
            for (int x = 0; x < w; ++x) {
                const double L = 1.3584 * luma[x];
                const double C1 = 2.2179 * (c1[x / 2] - 156);
                const double C2 = 1.8215 * (c2[x / 2] - 137);
                out[3 * x] = clip(L + C2);
                out[3 * x + 1] = clip(L - 0.194 * C1 - 0.509 * C2);
                out[3 * x + 2] = clip(L + C1);
            }
        }
    }
    const int orientation = orientationOf(data, size);
    const bool turned = orientation & 1;
    Bitmap b;
    const int status = raster::newPicture(b, turned ? h : w, turned ? w : h, 24);
    if (status != kSuccess) return status;
    std::vector<uint8_t> row(size_t(b.width) * 3);
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            int sx = x, sy = y;
            if (orientation == 1) sx = w - 1 - y, sy = x;       // turned a quarter left
            else if (orientation == 3) sx = y, sy = h - 1 - x;  // turned a quarter right
            else if (orientation == 2) sx = w - 1 - x, sy = h - 1 - y;
            std::memcpy(&row[3 * size_t(x)], &rgb[(size_t(sy) * w + sx) * 3], 3);
        }
        raster::setRowRgb(b, y, row.data());
    }
    bitmap = std::move(b);
    return kSuccess;
}

}  // namespace imaging::pcd
