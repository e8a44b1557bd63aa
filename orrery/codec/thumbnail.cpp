#include "orrery/codec/thumbnail.h"

#include <algorithm>
#include <cmath>

#include "orrery/qv10/protocol.h"

namespace orrery {

namespace {

constexpr int kChromaWidth = kThumbWidth / 2, kChromaHeight = kThumbHeight / 2;
constexpr size_t kLumaBytes = size_t(kThumbWidth) * kThumbHeight;
constexpr size_t kChromaBytes = size_t(kChromaWidth) * kChromaHeight;

uint8_t clampByte(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

bool decodeThumbnail(std::span<const uint8_t> data, Picture& out) {
    if (data.size() != qv::kThumbnailBytes) return false;
    Picture picture(kThumbWidth, kThumbHeight);
    const uint8_t* luma = data.data();
    const uint8_t* cb = luma + kLumaBytes;
    const uint8_t* cr = cb + kChromaBytes;
    for (int y = 0; y < kThumbHeight; ++y) {
        uint8_t* row = picture.row(y);
        for (int x = 0; x < kThumbWidth; ++x) {
            size_t c = size_t(y / 2) * kChromaWidth + size_t(x / 2);
            double Y = luma[size_t(y) * kThumbWidth + size_t(x)];
            double U = int8_t(cb[c]), V = int8_t(cr[c]);
            row[x * 3] = clampByte(Y + 1.402 * V);
            row[x * 3 + 1] = clampByte(Y - 0.34414 * U - 0.71414 * V);
            row[x * 3 + 2] = clampByte(Y + 1.772 * U);
        }
    }
    out = std::move(picture);
    return true;
}

std::vector<uint8_t> encodeThumbnail(const Picture& picture) {
    std::vector<uint8_t> data(qv::kThumbnailBytes, 0);
    Picture small = resize(picture, kThumbWidth, kThumbHeight);
    if (small.empty()) return data;
    Picture chroma = resize(small, kChromaWidth, kChromaHeight);
    for (int y = 0; y < kThumbHeight; ++y)
        for (int x = 0; x < kThumbWidth; ++x) {
            const uint8_t* p = small.row(y) + x * 3;
            data[size_t(y) * kThumbWidth + size_t(x)] = clampByte(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]);
        }
    for (int y = 0; y < kChromaHeight; ++y)
        for (int x = 0; x < kChromaWidth; ++x) {
            const uint8_t* p = chroma.row(y) + x * 3;
            double cb = -0.168736 * p[0] - 0.331264 * p[1] + 0.5 * p[2];
            double cr = 0.5 * p[0] - 0.418688 * p[1] - 0.081312 * p[2];
            size_t i = size_t(y) * kChromaWidth + size_t(x);
            data[kLumaBytes + i] = uint8_t(int8_t(std::clamp(std::lround(cb), -128L, 127L)));
            data[kLumaBytes + kChromaBytes + i] = uint8_t(int8_t(std::clamp(std::lround(cr), -128L, 127L)));
        }
    return data;
}

}  // namespace orrery
