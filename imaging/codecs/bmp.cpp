#include "imaging/codecs/bmp.h"

#include "imaging/byte_reader.h"
#include "imaging/input_file.h"
#include "imaging/imaging.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace imaging::bmp {
namespace {

constexpr int kFileHeaderSize = 14;
enum Compression : uint32_t { kRgbPlain = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4,
                              kPng = 5, kAlphaBitFields = 6 };

struct Header {
    uint32_t size = 0;
    int width = 0;
    int height = 0;  // absolute
    bool topDown = false;
    int bits = 0;
    uint32_t compression = 0;
    int32_t xPpm = 0, yPpm = 0;
    uint32_t colorsUsed = 0;
    uint32_t masks[3] = {};
    bool hasMasks = false;
    size_t paletteOffset = 0;  // from the start of the DIB
    int paletteEntries = 0;    // entries stored in the file
    int entrySize = 4;
};

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
};

Channel channelOf(uint32_t mask) {
    Channel c{mask, 0, 0};
    if (mask) {
        c.shift = std::countr_zero(mask);
        c.width = std::popcount(mask);
    }
    return c;
}

bool contiguous(uint32_t mask) {
    if (!mask) return false;
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

uint8_t channelValue(uint32_t pixel, const Channel& c) {
    uint32_t v = (pixel & c.mask) >> c.shift;
    if (c.width >= 8) return uint8_t(v >> (c.width - 8));
    // Spread the few bits over 0..255.
    const uint32_t max = (1u << c.width) - 1;
    return uint8_t((v * 255 + max / 2) / max);
}

int parseHeader(const uint8_t* data, size_t size, Header& h) {
    ByteReader in(data, size);
    h.size = in.u32();
    if (in.ranOut()) return kErrFileRead;
    if (h.size == 12) {
        h.width = in.u16();
        h.height = in.u16();
        in.u16();
        h.bits = in.u16();
        h.entrySize = 3;
    } else if ((h.size >= 16 && h.size <= 64) || h.size == 108 || h.size == 124) {
        const int32_t width = in.i32();
        const int32_t height = in.i32();
        in.u16();
        h.bits = in.u16();
        if (h.size >= 20) h.compression = in.u32();
        if (h.size >= 24) in.u32();  // image size, unreliable
        if (h.size >= 32) {
            h.xPpm = in.i32();
            h.yPpm = in.i32();
        }
        if (h.size >= 36) h.colorsUsed = in.u32();
        if (h.size >= 40) in.u32();
        if (h.size >= 52 && h.size != 64) {
            h.masks[0] = in.u32(), h.masks[1] = in.u32(), h.masks[2] = in.u32();
        }
        if (height == INT32_MIN || width <= 0) return kErrFileFormat;
        h.width = width;
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        // OS/2 2.x reuses codes 3 and 4 for Huffman and RLE24.
        if (h.size == 64 && (h.compression == 3 || h.compression == 4)) return kErrFeature;
    } else {
        return kErrFileFormat;
    }
    if (in.ranOut()) return kErrFileRead;
    if (h.width <= 0 || h.height <= 0) return kErrFileFormat;

    switch (h.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return kErrBadBits;
    }
    switch (h.compression) {
    case kRgbPlain: break;
    case kRle8: if (h.bits != 8 || h.topDown) return kErrCorrupt; break;
    case kRle4: if (h.bits != 4 || h.topDown) return kErrCorrupt; break;
    case kBitFields:
    case kAlphaBitFields:
        if (h.bits != 16 && h.bits != 32) return kErrCorrupt;
        h.hasMasks = true;
        break;
    case kJpeg: case kPng: return kErrFeature;
    default: return kErrUnknownCompression;
    }

    size_t afterHeader = h.size;
    if (h.hasMasks && h.size == 40) {
        ByteReader masks(data, size);
        masks.seek(40);
        h.masks[0] = masks.u32(), h.masks[1] = masks.u32(), h.masks[2] = masks.u32();
        if (masks.ranOut()) return kErrFileRead;
        afterHeader += h.compression == kAlphaBitFields ? 16 : 12;
    }
    if (h.hasMasks) {
        for (int i = 0; i < 3; ++i)
            if (!contiguous(h.masks[i])) return kErrCorrupt;
        if ((h.masks[0] & h.masks[1]) || (h.masks[0] & h.masks[2]) || (h.masks[1] & h.masks[2]))
            return kErrCorrupt;
    }
    h.paletteOffset = afterHeader;
    if (h.bits <= 8) {
        const uint32_t full = 1u << h.bits;
        h.paletteEntries = int(h.colorsUsed == 0 || h.size == 12 ? full : h.colorsUsed);
        if (h.colorsUsed > 4096) return kErrCorrupt;
    } else {
        h.paletteEntries = int(std::min<uint32_t>(h.colorsUsed, 4096));
    }
    return kSuccess;
}

int recordDepth(const Header& h) {
    if (h.bits <= 8 || h.bits == 24) return h.bits;
    if (h.bits == 16) {
        if (!h.hasMasks) return 15;
        if (h.masks[0] == 0x7C00 && h.masks[1] == 0x03E0 && h.masks[2] == 0x001F) return 15;
        if (h.masks[0] == 0xF800 && h.masks[1] == 0x07E0 && h.masks[2] == 0x001F) return 16;
        return 24;
    }
    return 32;
}

void fillInfo(const Header& h, Info& info) {
    info.width = h.width;
    info.height = h.height;
    info.fileBits = h.bits;
    info.bits = recordDepth(h);
    info.compression = int(h.compression);
    info.os2 = h.size == 12 || h.size == 64 || (h.size > 16 && h.size < 40);
    info.xResolution = dpiFromPixelsPerMetre(h.xPpm);
    info.yResolution = dpiFromPixelsPerMetre(h.yPpm);
}

// RLE8 and RLE4 into bottom-up stored rows. Runs and deltas leaving the
// picture are clipped: the column never goes past the row's end and the row
// never past the last, however many runs a file strings together. Running
// out of data before the end mark is an error.
int decodeRle(ByteReader& in, const Header& h, Bitmap& bitmap) {
    const bool four = h.compression == kRle4;
    int x = 0, y = 0;
    auto put = [&](int index) {
        uint8_t* row = bitmap.storedRow(y);
        if (four) {
            if (x & 1) row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (index & 0x0F));
            else row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | (index << 4));
        } else {
            row[x] = uint8_t(index);
        }
    };
    while (y < h.height) {
        const int count = in.u8();
        const int value = in.u8();
        if (in.ranOut()) return kErrFileRead;
        if (count > 0) {  // a run; what falls beyond the row is dropped
            const int n = std::min(count, h.width - x);
            for (int i = 0; i < n; ++i, ++x)
                put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return kSuccess;
        } else if (value == 2) {  // delta
            const int right = in.u8();
            const int up = in.u8();
            if (in.ranOut()) return kErrFileRead;
            x = std::min(x + right, h.width);
            y = std::min(y + up, h.height);
        } else {  // literal run, padded to a 16-bit boundary
            const size_t bytes = size_t(four ? (value + 1) / 2 : value);
            if (in.remaining() < bytes) return kErrFileRead;
            const uint8_t* literal = in.here();
            const int n = std::min(value, h.width - x);
            for (int i = 0; i < n; ++i, ++x) {
                if (four) put((i & 1) ? literal[i / 2] & 0x0F : literal[i / 2] >> 4);
                else put(literal[i]);
            }
            in.skip(bytes + (bytes & 1));
        }
    }
    return kSuccess;
}

// 16- and 32-bit pictures whose masks are not one of the direct layouts.
void expandMasked(const uint8_t* from, uint8_t* to, const Header& h, int toBits) {
    const Channel r = channelOf(h.masks[0]), g = channelOf(h.masks[1]), b = channelOf(h.masks[2]);
    const int toBytes = toBits / 8;
    for (int x = 0; x < h.width; ++x) {
        uint32_t pixel;
        if (h.bits == 16) pixel = uint32_t(from[2 * x] | (from[2 * x + 1] << 8));
        else pixel = uint32_t(from[4 * x] | (from[4 * x + 1] << 8) | (from[4 * x + 2] << 16) |
                              (uint32_t(from[4 * x + 3]) << 24));
        uint8_t* p = to + x * toBytes;
        p[0] = channelValue(pixel, b), p[1] = channelValue(pixel, g), p[2] = channelValue(pixel, r);
    }
}

bool directMasks(const Header& h) {
    if (!h.hasMasks) return true;
    const int depth = recordDepth(h);
    if (depth == 15 || depth == 16) return true;
    return h.bits == 32 && h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF;
}

}  // namespace

int dpiFromPixelsPerMetre(int32_t ppm) {
    if (ppm <= 0 || ppm > 4000000) return 0;
    return int((int64_t(ppm) * 100 + 1968) / 3937);
}

int32_t pixelsPerMetreFromDpi(int dpi) {
    return dpi > 0 ? int32_t(int64_t(dpi) * 3937 / 100) : 0;
}

bool probe(const uint8_t* data, size_t size) {
    return size >= kFileHeaderSize + 12 && data[0] == 'B' && data[1] == 'M';
}

int readDibInfo(const uint8_t* data, size_t size, Info& info) {
    Header h;
    const int status = parseHeader(data, size, h);
    if (status != kSuccess) return status;
    fillInfo(h, info);
    return kSuccess;
}

int readInfo(const uint8_t* data, size_t size, Info& info) {
    if (!probe(data, size)) return kErrFileFormat;
    return readDibInfo(data + kFileHeaderSize, size - kFileHeaderSize, info);
}

namespace {

// Rows that lie in the file beyond the piece in memory: read from the file,
// at dibAt + the pixel offset, straight into the picture.
struct RowsInFile {
    const InputFile& file;
    size_t dibAt;
};

int readDibRows(const uint8_t* data, size_t size, size_t pixelOffset, Bitmap& bitmap,
                const RowsInFile* rowsInFile = nullptr) {
    Header h;
    int status = parseHeader(data, size, h);
    if (status != kSuccess) return status;
    const int depth = recordDepth(h);
    status = checkPictureSize(h.width, h.height, depth);
    if (status != kSuccess) return status;

    Bitmap result;
    initialize(result, h.width, h.height, depth);
    result.rowOrder = h.topDown ? kTopDown : kBottomUp;
    if (h.xPpm > 0) result.xResolution = dpiFromPixelsPerMetre(h.xPpm);
    if (h.yPpm > 0) result.yResolution = dpiFromPixelsPerMetre(h.yPpm);
    if (!result.xResolution) result.xResolution = kDefaultResolution;
    if (!result.yResolution) result.yResolution = kDefaultResolution;

    ByteReader in(data, size);
    if (h.bits <= 8) {
        in.seek(h.paletteOffset);
        result.palette.fill(RgbQuad{});
        const int keep = std::min(h.paletteEntries, 1 << h.bits);
        for (int i = 0; i < keep; ++i) {
            RgbQuad& q = result.palette[i];
            q.blue = in.u8(), q.green = in.u8(), q.red = in.u8();
            if (h.entrySize == 4) in.u8();
        }
        if (in.ranOut()) return kErrFileRead;
        result.paletteCount = keep;
    }
    if (pixelOffset == 0) pixelOffset = h.paletteOffset + size_t(h.paletteEntries) * h.entrySize;
    const size_t dibSize = rowsInFile ? rowsInFile->file.size() - rowsInFile->dibAt : size;
    if (pixelOffset < h.paletteOffset || pixelOffset >= dibSize) return kErrFileRead;

    status = allocate(result);
    if (status != kSuccess) return status;
    in.seek(pixelOffset);

    if (h.compression == kRle8 || h.compression == kRle4) {
        status = decodeRle(in, h, result);
        if (status != kSuccess) return status;
    } else {
        const size_t stride = size_t(((int64_t(h.width) * h.bits + 31) / 32) * 4);
        const size_t used = size_t((int64_t(h.width) * h.bits + 7) / 8);
        // The padding of the last row may be missing; its pixels may not.
        if (dibSize - pixelOffset < stride * size_t(h.height - 1) + used) return kErrFileRead;
        const bool direct = directMasks(h);
        if (rowsInFile) {
            // Only plain rows stored as the picture stores them come here.
            if (!direct || stride != size_t(result.bytesPerLine)) return kErrFeature;
            status = rowsInFile->file.readAt(rowsInFile->dibAt + pixelOffset, result.storedRow(0),
                                             stride * size_t(h.height - 1) + used);
            if (status != kSuccess) return status;
        } else {
            for (int y = 0; y < h.height; ++y) {
                const uint8_t* from = in.here() + stride * size_t(y);
                uint8_t* to = result.storedRow(y);
                if (direct) std::memcpy(to, from, std::min(used, size_t(result.bytesPerLine)));
                else expandMasked(from, to, h, depth);
            }
        }
        if (h.bits == 32 && direct)  // the fourth byte is unused in the record
            for (int y = 0; y < h.height; ++y)
                for (int x = 0; x < h.width; ++x) result.storedRow(y)[4 * x + 3] = 0;
    }
    bitmap = std::move(result);
    return kSuccess;
}

int readBmp(const uint8_t* data, size_t size, Bitmap& bitmap) {
    if (!probe(data, size)) return kErrFileFormat;
    ByteReader in(data, size);
    in.seek(10);
    const uint32_t offset = in.u32();
    if (offset < kFileHeaderSize + 12 || offset >= size) return kErrFileRead;
    const int status = readDibRows(data + kFileHeaderSize, size - kFileHeaderSize,
                                   offset - kFileHeaderSize, bitmap);
    if (status == kSuccess) bitmap.formatCode = 6;
    return status;
}

}  // namespace

int readDib(const uint8_t* data, size_t size, size_t pixelOffset, Bitmap& bitmap) {
    return readDibRows(data, size, pixelOffset, bitmap);
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap) { return readBmp(data, size, bitmap); }

int readFile(const InputFile& file, Bitmap& bitmap) {
    // The headers and the colour table come from a first piece; plain rows
    // go from the file into the picture with one read. Anything else (run
    // lengths, masks, headers beyond the piece) is decoded from the whole file.
    constexpr size_t kFirstPiece = 64 * 1024;
    std::vector<uint8_t> piece(std::min(file.size(), kFirstPiece));
    int status = file.readAt(0, piece.data(), piece.size());
    if (status != kSuccess) return status;
    const auto whole = [&] {
        PixelMemory bytes;
        const int read = file.readAll(bytes);
        return read == kSuccess ? readBmp(bytes.get(), file.size(), bitmap) : read;
    };
    if (!probe(piece.data(), piece.size()) || piece.size() == file.size()) return whole();
    ByteReader in(piece.data(), piece.size());
    in.seek(10);
    const uint32_t offset = in.u32();
    Header h;
    if (offset < kFileHeaderSize + 12 || offset > piece.size() ||
        parseHeader(piece.data() + kFileHeaderSize, piece.size() - kFileHeaderSize, h) != kSuccess ||
        h.compression == kRle8 || h.compression == kRle4 || !directMasks(h) ||
        size_t(((int64_t(h.width) * h.bits + 31) / 32) * 4) != size_t(bytesPerLineFor(h.width, recordDepth(h))))
        return whole();
    const RowsInFile rows{file, kFileHeaderSize};
    status = readDibRows(piece.data() + kFileHeaderSize, piece.size() - kFileHeaderSize,
                         offset - kFileHeaderSize, bitmap, &rows);
    if (status == kSuccess) bitmap.formatCode = 6;
    return status;
}

namespace {

void putU16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8));
}
void putU32(std::vector<uint8_t>& out, uint32_t v) {
    putU16(out, v & 0xFFFF), putU16(out, v >> 16);
}

}  // namespace

namespace {

// Header, colour table and, when withRows, the rows.
int writeDibParts(const Bitmap& bitmap, std::vector<uint8_t>& out, bool keepRowOrder, bool withRows) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const int bits = bitmap.bitsPerPixel;
    if (!isValidDepth(bits)) return kErrBadBits;
    const int fileBits = bits == 15 ? 16 : bits;
    const bool masks = bits == 16;
    const int entries = bitmap.isIndexed() ? (bitmap.paletteCount > 0 ? bitmap.paletteCount
                                                                       : 1 << bits)
                                           : 0;
    const size_t stride = size_t(bytesPerLineFor(bitmap.width, bits));
    const bool topDown = !bitmap.isBottomUp();
    const bool negativeHeight = keepRowOrder && topDown;

    const size_t start = out.size();
    putU32(out, 40);
    putU32(out, uint32_t(bitmap.width));
    putU32(out, uint32_t(negativeHeight ? -bitmap.height : bitmap.height));
    putU16(out, 1);
    putU16(out, unsigned(fileBits));
    putU32(out, masks ? kBitFields : kRgbPlain);
    putU32(out, uint32_t(stride * size_t(bitmap.height)));
    putU32(out, uint32_t(pixelsPerMetreFromDpi(bitmap.xResolution)));
    putU32(out, uint32_t(pixelsPerMetreFromDpi(bitmap.yResolution)));
    putU32(out, uint32_t(bitmap.isIndexed() ? entries : 0));
    putU32(out, 0);
    if (masks) putU32(out, 0xF800), putU32(out, 0x07E0), putU32(out, 0x001F);
    for (int i = 0; i < entries; ++i) {
        const RgbQuad& q = bitmap.palette[i];
        out.push_back(q.blue), out.push_back(q.green), out.push_back(q.red), out.push_back(0);
    }

    if (!withRows) return kSuccess;
    const size_t rowsAt = out.size();
    out.resize(rowsAt + stride * size_t(bitmap.height));
    const bool swap = bits >= 24 && bitmap.colorOrder == kRgb;
    const int bpp = bits / 8;
    for (int y = 0; y < bitmap.height; ++y) {
        // A bottom-up file or block takes the picture's last row first.
        const bool reverse = !negativeHeight && topDown;
        const uint8_t* from = bitmap.storedRow(reverse ? bitmap.height - 1 - y : y);
        uint8_t* to = out.data() + rowsAt + stride * size_t(y);
        std::memcpy(to, from, stride);
        if (swap)
            for (int x = 0; x < bitmap.width; ++x) std::swap(to[x * bpp], to[x * bpp + 2]);
        if (bits == 32)
            for (int x = 0; x < bitmap.width; ++x) to[4 * x + 3] = 0;
    }
    (void)start;
    return kSuccess;
}

// The file header, the DIB and, when withRows, the rows.
int writeBmp(const Bitmap& bitmap, std::vector<uint8_t>& out, bool withRows) {
    out.clear();
    out.resize(kFileHeaderSize);
    const int status = writeDibParts(bitmap, out, false, withRows);
    if (status != kSuccess) return status;
    const uint32_t headerSize = 40 + (bitmap.bitsPerPixel == 16 ? 12 : 0);
    const int entries = bitmap.isIndexed() ? (bitmap.paletteCount > 0 ? bitmap.paletteCount
                                                                      : 1 << bitmap.bitsPerPixel)
                                           : 0;
    const uint32_t offset = kFileHeaderSize + headerSize + uint32_t(entries) * 4;
    const size_t rows = withRows ? 0 : size_t(bytesPerLineFor(bitmap.width, bitmap.bitsPerPixel)) *
                                           size_t(bitmap.height);
    const uint32_t fileSize = uint32_t(out.size() + rows);
    uint8_t* p = out.data();
    p[0] = 'B', p[1] = 'M';
    for (int i = 0; i < 4; ++i) p[2 + i] = uint8_t(fileSize >> (8 * i));
    std::memset(p + 6, 0, 4);
    for (int i = 0; i < 4; ++i) p[10 + i] = uint8_t(offset >> (8 * i));
    return kSuccess;
}

}  // namespace

int writeDib(const Bitmap& bitmap, std::vector<uint8_t>& out, bool keepRowOrder) {
    return writeDibParts(bitmap, out, keepRowOrder, true);
}

int write(const Bitmap& bitmap, std::vector<uint8_t>& out) { return writeBmp(bitmap, out, true); }

bool rowsAsStored(const Bitmap& bitmap) {
    const int bits = bitmap.bitsPerPixel;
    return bitmap.hasPixels() && (bitmap.rowOrder == kBottomUp || bitmap.rowOrder == kTopDown) &&
           (bits == 1 || bits == 4 || bits == 8 || (bits == 24 && bitmap.colorOrder == kBgr));
}

int writeHeaders(const Bitmap& bitmap, std::vector<uint8_t>& out) {
    if (!rowsAsStored(bitmap)) return kErrBadParameter;
    return writeBmp(bitmap, out, false);
}

}  // namespace imaging::bmp
