#include "image/gif_codec.h"

#include "imaging/imaging.h"
#include "imaging/input_file.h"
#include "imaging/result.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>

namespace quillon::gif {

using imaging::Bitmap;

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeBits = 12;

// ---------------------------------------------------------------- reading

// Bounded cursor over the file; running past the end is sticky.
struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool ranOut = false;

    int byte() {
        if (pos >= size) {
            ranOut = true;
            return -1;
        }
        return data[pos++];
    }
    bool take(size_t count, const uint8_t*& out) {
        if (count > size - pos) {
            pos = size;
            ranOut = true;
            return false;
        }
        out = data + pos;
        pos += count;
        return true;
    }
    // Skips data sub-blocks up to and including the zero-length terminator;
    // `size` is the first block's size byte, already read.
    bool skipSubBlocks(int blockSize) {
        while (blockSize > 0) {
            const uint8_t* ignored;
            if (!take(size_t(blockSize), ignored)) return false;
            blockSize = byte();
            if (blockSize < 0) return false;
        }
        return true;
    }
};

uint16_t word(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

void setPalette(Bitmap& bitmap, const uint8_t* rgb, int entries) {
    bitmap.palette.fill(imaging::RgbQuad{});
    for (int i = 0; i < entries; ++i)
        bitmap.palette[size_t(i)] = imaging::RgbQuad{rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
    bitmap.paletteCount = entries;
}

// Where decoded pixels go: the rows of the image's frame, in interlace order
// when asked, clipped to the picture. Rows that lie fully inside a picture
// as wide as the frame are written in place.
class RowSink {
public:
    RowSink(Bitmap& bitmap, int left, int top, int width, int height, bool interlaced)
        : bitmap_(bitmap), left_(left), top_(top), width_(width), height_(height),
          interlaced_(interlaced),
          direct_(left == 0 && width == bitmap.width) {
        if (!direct_) scratch_.resize(size_t(width));
        startRow();
    }

    bool done() const { return row_ >= height_ || width_ == 0; }

    // Appends n pixels; pixels past the last row are dropped.
    void put(const uint8_t* pixels, int n) {
        while (n > 0 && !done()) {
            const int part = std::min(n, width_ - column_);
            std::memcpy(out_ + column_, pixels, size_t(part));
            column_ += part;
            pixels += part;
            n -= part;
            if (column_ == width_) finishRow();
        }
    }
    // Room left in the current row, and a pointer to it, for strings written in place.
    int roomInRow() const { return done() ? 0 : width_ - column_; }
    uint8_t* cursor() { return out_ + column_; }
    void advance(int n) {
        column_ += n;
        if (column_ == width_) finishRow();
    }
    // A partly filled last row keeps what was decoded.
    void flushPartial() {
        if (!done() && column_ > 0 && !direct_) copyOut();
    }

private:
    int pictureRow() const { return top_ + frameRow_; }
    bool rowVisible() const { return pictureRow() >= 0 && pictureRow() < bitmap_.height; }

    void startRow() {
        if (done()) return;
        column_ = 0;
        if (direct_ && rowVisible()) {
            out_ = bitmap_.storedRow(pictureRow());
        } else {
            if (scratch_.empty()) scratch_.resize(size_t(width_));
            out_ = scratch_.data();
        }
    }
    void copyOut() {
        if (!rowVisible()) return;
        const int from = std::max(0, -left_);
        const int to = std::min(width_, bitmap_.width - left_);
        if (to > from)
            std::memcpy(bitmap_.storedRow(pictureRow()) + left_ + from, scratch_.data() + from,
                        size_t(to - from));
    }
    void finishRow() {
        if (!direct_) copyOut();
        ++row_;
        nextFrameRow();
        startRow();
    }
    // The four interlace passes: 0 step 8, 4 step 8, 2 step 4, 1 step 2.
    void nextFrameRow() {
        if (!interlaced_) {
            frameRow_ = row_;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        frameRow_ += kStep[pass_];
        while (frameRow_ >= height_ && pass_ < 3) {
            ++pass_;
            frameRow_ = kStart[pass_];
        }
    }

    Bitmap& bitmap_;
    int left_, top_, width_, height_;
    bool interlaced_;
    bool direct_;
    int row_ = 0;       // rows finished, in file order
    int frameRow_ = 0;  // the frame row being filled
    int pass_ = 0;
    int column_ = 0;
    uint8_t* out_ = nullptr;
    std::vector<uint8_t> scratch_;
};

// The LZW codes of an image, least significant bit first. The data
// sub-blocks are joined, a window at a time, into one run of bytes, so that a
// code is one unaligned load and a shift.
class CodeReader {
public:
    static constexpr int kEnd = -1;     // the sub-blocks ended
    static constexpr int kRanOut = -2;  // the file ended first

    explicit CodeReader(Input& in) : in_(in) { refill(); }

    int next(int width) {
        if (position_ + uint64_t(width) > bits_) {
            if (!finished_) refill();
            if (position_ + uint64_t(width) > bits_) return ranOut_ ? kRanOut : kEnd;
        }
        uint64_t word = 0;
        const uint8_t* p = window_.data() + (position_ >> 3);
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&word, p, sizeof word);
        } else {
            for (int i = 0; i < 8; ++i) word |= uint64_t(p[i]) << (8 * i);
        }
        const int code = int((word >> (position_ & 7)) & ((1u << width) - 1));
        position_ += uint64_t(width);
        return code;
    }

private:
    static constexpr size_t kWindow = 1 << 16;

    // Keeps the bytes not yet read and appends sub-blocks up to the window's size.
    void refill() {
        const size_t keep = size_t(position_ >> 3);
        const size_t have = size_t(bits_ >> 3);
        window_.erase(window_.begin(), window_.begin() + long(keep));
        window_.resize(have - keep);
        position_ &= 7;
        while (!finished_ && window_.size() < kWindow) {
            const int size = in_.byte();
            if (size <= 0) {
                ranOut_ = size < 0;
                finished_ = true;
                break;
            }
            const size_t available = in_.size - in_.pos;
            const size_t n = std::min(size_t(size), available);
            window_.insert(window_.end(), in_.data + in_.pos, in_.data + in_.pos + n);
            in_.pos += n;
            if (n < size_t(size)) {
                // Keep what there is: the codes before the cut still decode.
                ranOut_ = finished_ = true;
            }
        }
        bits_ = uint64_t(window_.size()) * 8;
        window_.resize(window_.size() + 8, 0);  // room for the last load
    }

    Input& in_;
    std::vector<uint8_t> window_;
    uint64_t bits_ = 0;
    uint64_t position_ = 0;
    bool ranOut_ = false;
    bool finished_ = false;
};

// Standard GIF LZW. The first code after a clear code is taken as 0 when it
// is not a literal; a code above the next free code is decoded as the next
// free one (the previous string and its own first byte).
int decode(Input& in, int minCodeSize, RowSink& sink) {
    struct Entry {
        uint16_t prefix;
        uint16_t length;
        uint8_t suffix;
        uint8_t first;
    };
    std::vector<Entry> table(kMaxCodes);
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < clear && i < kMaxCodes; ++i)
        table[size_t(i)] = Entry{0, 1, uint8_t(i), uint8_t(i)};
    uint8_t stack[kMaxCodes];

    CodeReader codes(in);
    int codeSize = minCodeSize + 1;
    int nextFree = clear + 2;
    int previous = -1;

    // Writes the string of a code into the rows: straight into the row when
    // it fits, else through the stack.
    auto emit = [&](int code) {
        const int length = table[size_t(code)].length;
        uint8_t* out;
        const bool inPlace = sink.roomInRow() >= length;
        out = (inPlace ? sink.cursor() : stack) + length;
        while (code >= clear) {
            *--out = table[size_t(code)].suffix;
            code = table[size_t(code)].prefix;
        }
        *--out = uint8_t(code);
        if (inPlace) sink.advance(length);
        else sink.put(stack, length);
    };

    while (!sink.done()) {
        int code = codes.next(codeSize);
        if (code == CodeReader::kRanOut) return imaging::kErrFileRead;
        if (code == CodeReader::kEnd || code == end) break;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            nextFree = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code > clear) code = 0;
            emit(code);
            previous = code;
            continue;
        }
        if (code >= nextFree) {
            // The previous string followed by its own first byte.
            if (nextFree < kMaxCodes) {
                const Entry& p = table[size_t(previous)];
                table[size_t(nextFree)] =
                    Entry{uint16_t(previous), uint16_t(p.length + 1), p.first, p.first};
                code = nextFree++;
            } else {
                code = previous;
            }
            emit(code);
        } else {
            emit(code);
            if (nextFree < kMaxCodes) {
                const Entry& p = table[size_t(previous)];
                table[size_t(nextFree)] = Entry{uint16_t(previous), uint16_t(p.length + 1),
                                                table[size_t(code)].first, p.first};
                ++nextFree;
            }
        }
        if (nextFree == (1 << codeSize) && codeSize < kMaxCodeBits) ++codeSize;
        previous = code;
    }
    sink.flushPartial();
    return imaging::kSuccess;
}

}  // namespace

bool probe(const uint8_t* data, size_t size) {
    return size >= 6 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' &&
           data[3] >= '0' && data[3] <= '9' && data[4] >= '0' && data[4] <= '9' &&
           ((data[5] >= 'a' && data[5] <= 'z') || (data[5] >= 'A' && data[5] <= 'Z'));
}

int readInfo(const uint8_t* data, size_t size, imaging::FileInfo& info) {
    if (!probe(data, size)) return imaging::kErrFileFormat;
    if (size < 13) return imaging::kErrFileRead;
    info.width = word(data + 6);
    info.height = word(data + 8);
    info.bits = 8;
    info.formatCode = kFormatCode;
    return imaging::kSuccess;
}

int read(const uint8_t* data, size_t size, Bitmap& bitmap, GifOptions& options) {
    if (!probe(data, size)) return imaging::kErrFileFormat;
    Input in{data, size};
    const uint8_t* header;
    if (!in.take(13, header)) return imaging::kErrFileRead;
    options = GifOptions{};
    options.is89a = header[4] == '9';

    const int width = word(header + 6);
    const int height = word(header + 8);
    if (imaging::checkPictureSize(width, height, 8) != imaging::kSuccess)
        return imaging::kErrNoMemory;
    imaging::initialize(bitmap, width, height, 8);
    if (imaging::allocate(bitmap) != imaging::kSuccess) return imaging::kErrNoMemory;
    bitmap.formatCode = kFormatCode;
    const imaging::FileOptions resolution = imaging::fileOptions();
    bitmap.xResolution = resolution.xResolution;
    bitmap.yResolution = resolution.yResolution;

    const uint8_t packed = header[10];
    options.hasGlobalTable = (packed & 0x80) != 0;
    options.globalTableEntries = 1 << ((packed & 7) + 1);
    options.colorResolution = (packed >> 4) & 7;
    options.background = header[11];
    options.aspect = header[12];
    if (options.hasGlobalTable) {
        const uint8_t* table;
        if (!in.take(size_t(options.globalTableEntries) * 3, table)) return imaging::kErrFileRead;
        setPalette(bitmap, table, options.globalTableEntries);
    }

    // The transparent index is checked against the table the image uses,
    // which is known only once its descriptor has been read.
    int tableEntries = options.globalTableEntries;
    int left = 0, top = 0, frameWidth = width, frameHeight = height;
    bool haveDescriptor = false;
    for (;;) {
        const int introducer = in.byte();
        if (introducer < 0) return imaging::kErrFileRead;
        if (introducer == 0x21) {
            const int label = in.byte();
            const int blockSize = in.byte();
            if (blockSize < 0) return imaging::kErrFileRead;
            const uint8_t* block;
            if (!in.take(size_t(blockSize), block)) return imaging::kErrFileRead;
            if (label == 0xF9 && blockSize == 4) {
                options.transparent = block[0] & 1;
                options.transparentIndex = block[3];
            }
            const int following = in.byte();
            if (following < 0 || !in.skipSubBlocks(following)) return imaging::kErrFileRead;
        } else if (introducer == 0x2C) {
            const uint8_t* descriptor;
            if (!in.take(9, descriptor)) return imaging::kErrFileRead;
            left = word(descriptor);
            top = word(descriptor + 2);
            frameWidth = word(descriptor + 4);
            frameHeight = word(descriptor + 6);
            options.interlaced = (descriptor[8] & 0x40) != 0;
            if (options.interlaced) bitmap.flags |= imaging::flag::kInterlaced;
            else bitmap.flags &= ~imaging::flag::kInterlaced;
            if (descriptor[8] & 0x80) {
                // The frame's pixels index its own table, so it is the palette.
                const int entries = 1 << ((descriptor[8] & 7) + 1);
                const uint8_t* table;
                if (!in.take(size_t(entries) * 3, table)) return imaging::kErrFileRead;
                setPalette(bitmap, table, entries);
            }
            if (descriptor[8] & 0x80) tableEntries = 1 << ((descriptor[8] & 7) + 1);
            haveDescriptor = true;
        } else if (introducer >= 2 && introducer <= 9) {
            if (options.transparentIndex > tableEntries) return imaging::kErrFileFormat;
            if (!haveDescriptor) frameWidth = width, frameHeight = height;
            const bool covers = left == 0 && top == 0 && frameWidth >= width && frameHeight >= height;
            if (!covers) std::memset(bitmap.pixels.get(), options.background, bitmap.byteCount());
            RowSink sink(bitmap, left, top, frameWidth, frameHeight, options.interlaced != 0);
            const int status = decode(in, introducer, sink);
            return status;
        } else {
            return imaging::kErrFileFormat;
        }
    }
}

int readFile(const std::string& path, Bitmap& bitmap, GifOptions& options) {
    imaging::InputFile file;
    imaging::PixelMemory bytes;
    int status = file.open(path);
    if (status == imaging::kSuccess) status = file.readAll(bytes);
    if (status == imaging::kErrFileRead) return status;
    if (status != imaging::kSuccess) return imaging::kErrFileOpen;
    return read(bytes.get(), file.size(), bitmap, options);
}

// ---------------------------------------------------------------- writing

namespace {

constexpr int kHashSize = 5003;

// Packs codes least significant bit first into sub-blocks of 254 bytes.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<uint8_t>& out) : out_(out) {}
    void put(int code, int bits) {
        buffer_ |= uint32_t(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            byte(uint8_t(buffer_));
            buffer_ >>= 8;
            count_ -= 8;
        }
    }
    void finish() {
        if (count_ > 0) byte(uint8_t(buffer_));
        buffer_ = 0;
        count_ = 0;
        flushBlock();
    }

private:
    void byte(uint8_t b) {
        block_[blockSize_++] = b;
        if (blockSize_ == 254) flushBlock();
    }
    void flushBlock() {
        if (blockSize_ == 0) return;
        out_.push_back(uint8_t(blockSize_));
        out_.insert(out_.end(), block_, block_ + blockSize_);
        blockSize_ = 0;
    }
    std::vector<uint8_t>& out_;
    uint32_t buffer_ = 0;
    int count_ = 0;
    uint8_t block_[254];
    int blockSize_ = 0;
};

// The classic GIF compressor: prefix/pixel pairs kept in an open-addressed
// hash of 5003 entries, a clear code when the 4096 codes are used up.
class Compressor {
public:
    Compressor(std::vector<uint8_t>& out, int minCodeSize)
        : writer_(out), initBits_(minCodeSize + 1), clear_(1 << minCodeSize),
          end_(clear_ + 1) {
        hash_.fill(-1);
        resetWidth();
        freeCode_ = clear_ + 2;
        output(clear_);
    }

    void pixel(int c) {
        if (ent_ < 0) {
            ent_ = c;
            return;
        }
        const int32_t key = (int32_t(c) << kMaxCodeBits) + ent_;
        int i = (c << 4) ^ ent_;
        if (hash_[size_t(i)] == key) {
            ent_ = codes_[size_t(i)];
            return;
        }
        if (hash_[size_t(i)] >= 0) {
            const int step = i == 0 ? 1 : kHashSize - i;
            for (;;) {
                i -= step;
                if (i < 0) i += kHashSize;
                if (hash_[size_t(i)] == key) {
                    ent_ = codes_[size_t(i)];
                    return;
                }
                if (hash_[size_t(i)] < 0) break;
            }
        }
        output(ent_);
        ent_ = c;
        if (freeCode_ < kMaxCodes) {
            codes_[size_t(i)] = uint16_t(freeCode_++);
            hash_[size_t(i)] = key;
        } else {
            hash_.fill(-1);
            freeCode_ = clear_ + 2;
            clearPending_ = true;
            output(clear_);
        }
    }

    void finish() {
        if (ent_ >= 0) output(ent_);
        output(end_);
        writer_.finish();
    }

private:
    void resetWidth() {
        bits_ = initBits_;
        maxCode_ = (1 << bits_) - 1;
    }
    // Writes a code, then widens the codes once the next free code no longer
    // fits (the decoder widens at the same point).
    void output(int code) {
        writer_.put(code, bits_);
        if (clearPending_) {
            resetWidth();
            clearPending_ = false;
        } else if (freeCode_ > maxCode_ && bits_ < kMaxCodeBits) {
            ++bits_;
            maxCode_ = bits_ == kMaxCodeBits ? kMaxCodes : (1 << bits_) - 1;
        }
    }

    CodeWriter writer_;
    const int initBits_;
    const int clear_;
    const int end_;
    int bits_ = 0;
    int maxCode_ = 0;
    int freeCode_ = 0;
    int ent_ = -1;
    bool clearPending_ = false;
    std::array<int32_t, kHashSize> hash_;
    std::array<uint16_t, kHashSize> codes_{};
};

void putWord(std::vector<uint8_t>& out, int value) {
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t((value >> 8) & 0xFF));
}

// The picture's row y (top-down) as stored.
const uint8_t* pictureRow(const Bitmap& bitmap, int y) {
    return bitmap.storedRow(bitmap.isBottomUp() ? bitmap.height - 1 - y : y);
}

void compressRow(Compressor& lzw, const uint8_t* row, int width, int bits) {
    switch (bits) {
    case 1:
        for (int x = 0; x < width; ++x) lzw.pixel((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    case 4:
        for (int x = 0; x < width; ++x) lzw.pixel((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
        break;
    default:
        for (int x = 0; x < width; ++x) lzw.pixel(row[x]);
    }
}

}  // namespace

bool write(const Bitmap& bitmap, const GifOptions& options, std::vector<uint8_t>& out) {
    const int bits = bitmap.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8) return false;
    if (!bitmap.hasPixels() || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.width > 0xFFFF || bitmap.height > 0xFFFF)
        return false;

    const char signature[] = "GIF89a";
    out.insert(out.end(), signature, signature + 6);
    putWord(out, bitmap.width);
    putWord(out, bitmap.height);
    // A transparent index past the picture's 2^bits colours (kept from a
    // deeper picture) gets a table that holds it: readers refuse an index
    // outside the table. No pixel uses the added entries.
    int tableBits = bits;
    while (tableBits < 8 && options.transparentIndex >= (1 << tableBits)) ++tableBits;
    out.push_back(uint8_t(((bits - 1) | 4) * 32 + (tableBits - 1)));
    out.push_back(uint8_t(options.background));
    out.push_back(uint8_t(options.aspect));
    for (int i = 0; i < (1 << tableBits); ++i) {
        const imaging::RgbQuad& c = bitmap.palette[size_t(i)];
        out.push_back(c.red);
        out.push_back(c.green);
        out.push_back(c.blue);
    }

    const uint8_t control[] = {0x21, 0xF9, 0x04, uint8_t(options.transparent ? 1 : 0), 0, 0,
                               uint8_t(options.transparentIndex), 0};
    out.insert(out.end(), control, control + sizeof control);

    out.push_back(0x2C);
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, bitmap.width);
    putWord(out, bitmap.height);
    out.push_back(options.interlaced ? 0x40 : 0);

    const int minCodeSize = std::max(bits, 2);
    out.push_back(uint8_t(minCodeSize));
    Compressor lzw(out, minCodeSize);
    if (options.interlaced) {
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < bitmap.height; y += kStep[pass])
                compressRow(lzw, pictureRow(bitmap, y), bitmap.width, bits);
    } else {
        for (int y = 0; y < bitmap.height; ++y)
            compressRow(lzw, pictureRow(bitmap, y), bitmap.width, bits);
    }
    lzw.finish();
    out.push_back(0);
    out.push_back(0x3B);
    return true;
}

bool writeFile(const std::string& path, const Bitmap& bitmap, const GifOptions& options) {
    std::vector<uint8_t> bytes;
    bytes.reserve(bitmap.byteCount() / 2 + 1024);
    if (!write(bitmap, options, bytes)) return false;
    return imaging::writeWholeFile(path, bytes) == imaging::kSuccess;
}

}  // namespace quillon::gif
