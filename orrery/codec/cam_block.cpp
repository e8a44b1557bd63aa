#include "orrery/codec/cam_block.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>

#include "orrery/codec/jpeg_codec.h"
#include "orrery/qv10/protocol.h"

namespace orrery {

namespace {

struct Scan {
    std::vector<uint8_t> componentIds;
    std::span<const uint8_t> data;
};

struct ParsedJpeg {
    std::optional<std::array<uint8_t, 64>> tables[4];
    int width = 0, height = 0;
    std::vector<std::pair<uint8_t, uint8_t>> components;  // id, sampling byte
    std::vector<Scan> scans;
};

int be16(const uint8_t* p) { return (p[0] << 8) | p[1]; }

void putBe16(std::vector<uint8_t>& out, size_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v & 0xFF));
}

// Walks the marker segments of a JPEG stream; scans end at the first marker
// that is neither a stuffed 0xFF00 nor a restart marker.
bool parseJpeg(std::span<const uint8_t> s, ParsedJpeg& out) {
    if (s.size() < 4 || s[0] != 0xFF || s[1] != 0xD8) return false;
    size_t pos = 2;
    while (pos + 2 <= s.size()) {
        if (s[pos] != 0xFF) return false;
        uint8_t marker = s[pos + 1];
        if (marker == 0xFF) { ++pos; continue; }
        if (marker == 0xD9) return true;
        if (pos + 4 > s.size()) return false;
        size_t length = size_t(be16(&s[pos + 2]));
        if (length < 2 || pos + 2 + length > s.size()) return false;
        const uint8_t* seg = &s[pos + 4];
        size_t segLen = length - 2;
        if (marker == 0xDB) {
            for (size_t i = 0; i + 65 <= segLen; i += 65) {
                if ((seg[i] >> 4) != 0 || (seg[i] & 0x0F) > 3) return false;
                std::array<uint8_t, 64> table {};
                std::memcpy(table.data(), seg + i + 1, 64);
                out.tables[seg[i] & 0x0F] = table;
            }
        } else if (marker == 0xC0) {
            if (segLen < 6) return false;
            out.height = be16(seg + 1);
            out.width = be16(seg + 3);
            int n = seg[5];
            if (segLen < size_t(6 + 3 * n)) return false;
            for (int c = 0; c < n; ++c) out.components.emplace_back(seg[6 + 3 * c], seg[7 + 3 * c]);
        } else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            return false;  // not baseline
        } else if (marker == 0xDA) {
            if (segLen < 1) return false;
            Scan scan;
            int n = seg[0];
            if (segLen < size_t(1 + 2 * n)) return false;
            for (int c = 0; c < n; ++c) scan.componentIds.push_back(seg[1 + 2 * c]);
            size_t start = pos + 2 + length, end = start;
            while (end + 1 < s.size()) {
                if (s[end] == 0xFF && s[end + 1] != 0 && !(s[end + 1] >= 0xD0 && s[end + 1] <= 0xD7)) break;
                ++end;
            }
            if (end + 1 >= s.size()) return false;
            scan.data = s.subspan(start, end - start);
            out.scans.push_back(scan);
            pos = end;
            continue;
        }
        pos += 2 + length;
    }
    return false;
}

// The four standard Huffman tables, as one DHT payload. Taken from a stream
// that libjpeg writes with its standard tables, so they match the encoder.
const std::vector<uint8_t>& standardHuffmanPayload() {
    static const std::vector<uint8_t> payload = [] {
        std::vector<uint8_t> result;
        Picture tiny(16, 16);
        for (size_t i = 0; i < tiny.rgb.size(); ++i) tiny.rgb[i] = uint8_t(i * 37);
        std::vector<uint8_t> jpeg;
        if (!encodeJpeg(tiny, JpegEncoding{}, jpeg)) return result;
        size_t pos = 2;
        while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
            size_t length = size_t(be16(&jpeg[pos + 2]));
            if (jpeg[pos + 1] == 0xC4)
                result.insert(result.end(), jpeg.begin() + long(pos + 4), jpeg.begin() + long(pos + 2 + length));
            pos += 2 + length;
        }
        return result;
    }();
    return payload;
}

void appendSegment(std::vector<uint8_t>& out, uint8_t marker, std::span<const uint8_t> payload) {
    out.push_back(0xFF);
    out.push_back(marker);
    putBe16(out, payload.size() + 2);
    out.insert(out.end(), payload.begin(), payload.end());
}

void appendHead(std::vector<uint8_t>& out) {
    static const uint8_t jfif[] = {'J', 'F', 'I', 'F', 0, 1, 1, 1, 0x01, 0x2C, 0x01, 0x2C, 0, 0};
    out = {0xFF, 0xD8};
    appendSegment(out, 0xE0, jfif);
}

void appendFrame(std::vector<uint8_t>& out, int width, int height, uint8_t lumaSampling) {
    std::vector<uint8_t> sof = {8};
    putBe16(sof, size_t(height));
    putBe16(sof, size_t(width));
    sof.insert(sof.end(), {3, 1, lumaSampling, 0, 2, 0x11, 1, 3, 0x11, 1});
    appendSegment(out, 0xC0, sof);
    appendSegment(out, 0xC4, standardHuffmanPayload());
}

bool sameTables(const ParsedJpeg& parsed) { return parsed.tables[0] && parsed.tables[1]; }

}  // namespace

size_t standardBlockLength(std::span<const uint8_t> block) {
    if (block.size() < kBlockHeaderBytes) return 0;
    size_t length = kBlockHeaderBytes + size_t(be16(&block[2])) + size_t(be16(&block[4])) + size_t(be16(&block[6]));
    return length <= block.size() ? length : 0;
}

size_t fineBlockLength(std::span<const uint8_t> block) {
    if (block.size() < kBlockHeaderBytes) return 0;
    size_t scan = (size_t(block[4]) << 24) | (size_t(block[5]) << 16) | (size_t(block[6]) << 8) | block[7];
    if (scan > block.size()) return 0;
    size_t length = kBlockHeaderBytes + scan;
    return length <= block.size() ? length : 0;
}

std::vector<uint8_t> standardBlockToJpeg(std::span<const uint8_t> block) {
    if (standardBlockLength(block) == 0) return {};
    std::vector<uint8_t> out;
    appendHead(out);
    for (uint8_t id = 0; id < 2; ++id) {
        std::vector<uint8_t> dqt = {id};
        dqt.insert(dqt.end(), block.begin() + 8 + 64 * id, block.begin() + 72 + 64 * id);
        appendSegment(out, 0xDB, dqt);
    }
    appendFrame(out, kStandardWidth, kStandardHeight, 0x32);
    size_t offset = kBlockHeaderBytes;
    for (uint8_t c = 0; c < 3; ++c) {
        size_t length = size_t(be16(&block[2 + 2 * c]));
        uint8_t tables = c == 0 ? 0x00 : 0x11;
        const uint8_t sos[] = {1, uint8_t(c + 1), tables, 0, 63, 0};
        appendSegment(out, 0xDA, sos);
        out.insert(out.end(), block.begin() + long(offset), block.begin() + long(offset + length));
        offset += length;
    }
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

std::vector<uint8_t> fineBlockToJpeg(std::span<const uint8_t> block) {
    size_t length = fineBlockLength(block);
    if (length == 0) return {};
    std::vector<uint8_t> out;
    appendHead(out);
    std::vector<uint8_t> dqt = {0};
    dqt.insert(dqt.end(), block.begin() + 8, block.begin() + 72);
    dqt.push_back(1);
    dqt.insert(dqt.end(), block.begin() + 72, block.begin() + 136);
    appendSegment(out, 0xDB, dqt);
    appendFrame(out, kFineWidth, kFineHeight, 0x22);
    const uint8_t sos[] = {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0};
    appendSegment(out, 0xDA, sos);
    out.insert(out.end(), block.begin() + long(kBlockHeaderBytes), block.begin() + long(length));
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

bool jpegToStandardBlock(std::span<const uint8_t> jpeg, std::vector<uint8_t>& block) {
    ParsedJpeg parsed;
    if (!parseJpeg(jpeg, parsed) || !sameTables(parsed)) return false;
    if (parsed.width != kStandardWidth || parsed.height != kStandardHeight) return false;
    if (parsed.components.size() != 3 || parsed.components[0].second != 0x32) return false;
    if (parsed.scans.size() != 3) return false;
    block.assign(kBlockHeaderBytes, 0);
    for (size_t c = 0; c < 3; ++c) {
        const Scan& scan = parsed.scans[c];
        if (scan.componentIds.size() != 1 || scan.componentIds[0] != parsed.components[c].first) return false;
        if (scan.data.size() > 0xFFFF) return false;
        block[2 + 2 * c] = uint8_t(scan.data.size() >> 8);
        block[3 + 2 * c] = uint8_t(scan.data.size() & 0xFF);
    }
    std::memcpy(&block[8], parsed.tables[0]->data(), 64);
    std::memcpy(&block[72], parsed.tables[1]->data(), 64);
    for (const Scan& scan : parsed.scans) block.insert(block.end(), scan.data.begin(), scan.data.end());
    return true;
}

bool jpegToFineBlock(std::span<const uint8_t> jpeg, std::vector<uint8_t>& block) {
    ParsedJpeg parsed;
    if (!parseJpeg(jpeg, parsed) || !sameTables(parsed)) return false;
    if (parsed.width != kFineWidth || parsed.height != kFineHeight) return false;
    if (parsed.components.size() != 3 || parsed.components[0].second != 0x22) return false;
    if (parsed.scans.size() != 1 || parsed.scans[0].componentIds.size() != 3) return false;
    size_t length = parsed.scans[0].data.size();
    block.assign(kBlockHeaderBytes, 0);
    block[4] = uint8_t(length >> 24);
    block[5] = uint8_t(length >> 16);
    block[6] = uint8_t(length >> 8);
    block[7] = uint8_t(length);
    std::memcpy(&block[8], parsed.tables[0]->data(), 64);
    std::memcpy(&block[72], parsed.tables[1]->data(), 64);
    block.insert(block.end(), parsed.scans[0].data.begin(), parsed.scans[0].data.end());
    return true;
}

bool decodeStandardBlock(std::span<const uint8_t> block, Picture& out) {
    std::vector<uint8_t> jpeg = standardBlockToJpeg(block);
    return !jpeg.empty() && decodeJpeg(jpeg, out) && out.width == kStandardWidth && out.height == kStandardHeight;
}

bool decodeFineBlock(std::span<const uint8_t> block, Picture& out) {
    std::vector<uint8_t> jpeg = fineBlockToJpeg(block);
    return !jpeg.empty() && decodeJpeg(jpeg, out) && out.width == kFineWidth && out.height == kFineHeight;
}

bool encodeStandardBlock(const Picture& picture, std::vector<uint8_t>& block) {
    Picture field = resize(picture, kStandardWidth, kStandardHeight);
    if (field.empty()) return false;
    JpegEncoding encoding;
    encoding.lumaH = 3;
    encoding.lumaV = 2;
    encoding.scanPerComponent = true;
    // The slot is fixed: step the quality down until the picture fits.
    for (int quality = 92; quality >= 5; quality -= quality > 50 ? 4 : 8) {
        encoding.quality = quality;
        std::vector<uint8_t> jpeg;
        if (!encodeJpeg(field, encoding, jpeg) || !jpegToStandardBlock(jpeg, block)) return false;
        if (block.size() <= qv::kStandardBlockBytes) {
            block.resize(qv::kStandardBlockBytes, 0);
            return true;
        }
    }
    return false;
}

bool encodeFineBlock(const Picture& picture, std::vector<uint8_t>& block) {
    Picture full = resize(picture, kFineWidth, kFineHeight);
    if (full.empty()) return false;
    // Sizes travel in 16 bits: step the quality down until the block fits.
    JpegEncoding encoding;
    for (int quality = 90; quality >= 5; quality -= quality > 50 ? 5 : 10) {
        encoding.quality = quality;
        std::vector<uint8_t> jpeg;
        if (!encodeJpeg(full, encoding, jpeg) || !jpegToFineBlock(jpeg, block)) return false;
        if (block.size() <= 0xFFFF) return true;
    }
    return false;
}

}  // namespace orrery
