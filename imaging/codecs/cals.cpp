#include "imaging/codecs/cals.h"

#include "imaging/codecs/fax.h"
#include "imaging/codecs/raster.h"
#include "imaging/result.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace imaging::cals {
namespace {

constexpr size_t kHeaderSize = 2048, kRecordSize = 128;

struct Header {
    int type = 0;
    int width = 0, height = 0;
    int dpi = 0;
    bool orientationOk = true;
};

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The value of a keyword's record, trimmed; empty when the header lacks it.
bool value(const uint8_t* data, const char* keyword, std::string& out) {
    for (size_t r = 0; r < kHeaderSize / kRecordSize; ++r) {
        std::string record(reinterpret_cast<const char*>(data + r * kRecordSize), kRecordSize);
        const size_t colon = record.find(':');
        if (colon == std::string::npos) continue;
        std::string key = lower(record.substr(0, colon));
        while (!key.empty() && key.back() == ' ') key.pop_back();
        while (!key.empty() && key.front() == ' ') key.erase(0, 1);
        if (key != keyword) continue;
        std::string v = record.substr(colon + 1);
        while (!v.empty() && (v.back() == ' ' || v.back() == 0 || v.back() == '\r' || v.back() == '\n'))
            v.pop_back();
        while (!v.empty() && v.front() == ' ') v.erase(0, 1);
        out = v;
        return true;
    }
    return false;
}

bool twoNumbers(const std::string& s, long& a, long& b) {
    char tail = 0;
    return std::sscanf(s.c_str(), "%ld , %ld%c", &a, &b, &tail) == 2;
}

int parse(const uint8_t* data, size_t size, Header& h) {
    if (size < kHeaderSize) return kErrFileRead;
    std::string v;
    if (!value(data, "rtype", v)) return kErrFileFormat;
    h.type = std::atoi(v.c_str());
    if (h.type != 1) return kErrFeature;
    long w = 0, hh = 0;
    if (!value(data, "rpelcnt", v) || !twoNumbers(v, w, hh)) return kErrFileFormat;
    if (w <= 0 || hh <= 0 || w > 1000000 || hh > 1000000) return kErrFileFormat;
    h.width = int(w), h.height = int(hh);
    if (value(data, "rdensty", v)) h.dpi = std::atoi(v.c_str());
    long pel = 0, line = 270;
    if (value(data, "rorient", v) && twoNumbers(v, pel, line)) h.orientationOk = pel == 0 && line == 270;
    if (!h.orientationOk) return kErrFeature;
    return kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    if (size < kHeaderSize) return false;
    std::string v;
    return value(data, "rtype", v) && value(data, "rpelcnt", v);
}

int readInfo(const uint8_t* data, size_t size, FileInfo& info) {
    Header h;
    const int status = parse(data, size, h);
    if (status != kSuccess) return status;
    raster::fillInfo(info, h.width, h.height, 1, h.dpi, h.dpi);
    return kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) {
    Header h;
    int status = parse(data, size, h);
    if (status != kSuccess) return status;
    Bitmap b;
    status = raster::newPicture(b, h.width, h.height, 1);
    if (status != kSuccess) return status;
    raster::setBlackWhitePalette(b);
    if (h.dpi > 0 && h.dpi < 100000) b.xResolution = b.yResolution = h.dpi;
    if (size == kHeaderSize) return kErrFileRead;
    std::vector<uint8_t> rows;
    int decoded = 0;
    fax::decode(fax::Scheme::kG4, data + kHeaderSize, size - kHeaderSize, h.width, h.height, false,
                rows, decoded);
    if (decoded < h.height) return decoded == 0 ? kErrCorrupt : kErrFileRead;
    const size_t stride = size_t(h.width + 7) / 8;
    for (int y = 0; y < h.height; ++y) raster::setRowInkBits(b, y, rows.data() + stride * y, stride);
    bitmap = std::move(b);
    return kSuccess;
}

bool writesDepth(int bits) { return bits == 1; }

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    if (bitmap.bitsPerPixel != 1) return kErrBadBits;
    if (bitmap.width > 999999 || bitmap.height > 999999) return kErrImageType;
    out.assign(kHeaderSize, ' ');
    char record[kRecordSize + 1];
    const int dpi = bitmap.xResolution > 0 && bitmap.xResolution < 10000 ? bitmap.xResolution : 200;
    const std::string records[] = {
        "srcdocid: NONE", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE", "srcgph: NONE",
        "docls: NONE", "rtype: 1", "rorient: 000,270",
        "rpelcnt: " + [&] { std::snprintf(record, sizeof record, "%06d,%06d", bitmap.width, bitmap.height); return std::string(record); }(),
        "rdensty: " + [&] { std::snprintf(record, sizeof record, "%04d", dpi); return std::string(record); }(),
        "notes: NONE",
    };
    for (size_t i = 0; i < std::size(records); ++i)
        std::memcpy(out.data() + i * kRecordSize, records[i].data(), records[i].size());
    const size_t stride = size_t(bitmap.width + 7) / 8;
    std::vector<uint8_t> rows(stride * size_t(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) raster::rowInkBits(bitmap, y, rows.data() + stride * y, stride);
    return fax::encode(fax::Scheme::kG4, bitmap.width, bitmap.height, rows.data(), out);
}

}  // namespace imaging::cals
