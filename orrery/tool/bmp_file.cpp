#include "orrery/tool/bmp_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace orrery_tool {

namespace {

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

bool writeBmp(const std::string& path, GlobalHandle dib, std::string& error) {
    size_t size = gmemSize(dib);
    auto* p = static_cast<const uint8_t*>(gmemLock(dib));
    if (!p || size < 40) {
        error = "no picture";
        return false;
    }
    uint32_t headerSize = le32(p);
    int bits = le16(p + 14);
    uint32_t colours = le32(p + 32);
    if (bits <= 8 && colours == 0) colours = 1u << bits;
    uint8_t fileHeader[14] = {'B', 'M'};
    put32(fileHeader + 2, uint32_t(14 + size));
    put32(fileHeader + 10, uint32_t(14 + headerSize + colours * 4));
    std::string temp = path + ".part";
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(fileHeader), 14);
        out.write(reinterpret_cast<const char*>(p), std::streamsize(size));
        ok = bool(out.flush());
    }
    gmemUnlock(dib);
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

GlobalHandle readBmpForSending(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') {
        error = path + ": not a BMP file";
        return 0;
    }
    const uint8_t* h = file.data() + 14;
    int32_t width = int32_t(le32(h + 4));
    int32_t height = int32_t(le32(h + 8));
    int bits = le16(h + 14);
    uint32_t offset = le32(file.data() + 10);
    bool bottomUp = height > 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || le32(h + 16) != 0 ||
        (bits != 8 && bits != 24 && bits != 32)) {
        error = path + ": only uncompressed 8, 24 and 32-bit BMP files";
        return 0;
    }
    size_t inStride = ((size_t(width) * size_t(bits) + 31) / 32) * 4;
    if (offset > file.size() || inStride * size_t(height) > file.size() - offset) {
        error = path + ": truncated";
        return 0;
    }
    uint32_t colours = le32(h + 32);
    if (bits == 8 && colours == 0) colours = 256;
    size_t outStride = (size_t(width) * 3 + 3) & ~size_t(3);
    GlobalHandle dib = gmemAlloc(40 + outStride * size_t(height));
    if (!dib) {
        error = "out of memory";
        return 0;
    }
    auto* out = static_cast<uint8_t*>(gmemLock(dib));
    put32(out, 40);
    put32(out + 4, uint32_t(width));
    put32(out + 8, uint32_t(height));
    out[12] = 1;
    out[14] = 24;
    for (int y = 0; y < height; ++y) {
        // Stored row 0 of the result is the picture's top row.
        const uint8_t* src = file.data() + offset + inStride * size_t(bottomUp ? height - 1 - y : y);
        uint8_t* dst = out + 40 + outStride * size_t(y);
        for (int x = 0; x < width; ++x) {
            if (bits == 8) {
                uint32_t index = src[x] < colours ? src[x] : 0;
                static const uint8_t kBlack[3] = {};
                size_t at = 14 + size_t(le32(h)) + size_t(index) * 4;
                std::memcpy(dst + x * 3, at + 3 <= file.size() ? file.data() + at : kBlack, 3);
            } else {
                std::memcpy(dst + x * 3, src + size_t(x) * size_t(bits / 8), 3);
            }
        }
    }
    gmemUnlock(dib);
    return dib;
}

}  // namespace orrery_tool
