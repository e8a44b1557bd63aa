// A bounded little-endian reader over a byte span. Reading past the end
// yields zeros and sets a sticky flag, so a parser checks once per block
// instead of before every field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace imaging {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ranOut() const { return ranOut_; }
    size_t position() const { return position_; }
    size_t remaining() const { return size_ - position_; }
    const uint8_t* here() const { return data_ + position_; }

    void seek(size_t position) {
        if (position > size_) {
            ranOut_ = true;
            position_ = size_;
        } else {
            position_ = position;
        }
    }
    void skip(size_t count) { seek(count > remaining() ? size_ + 1 : position_ + count); }

    uint8_t u8() {
        if (position_ >= size_) {
            ranOut_ = true;
            return 0;
        }
        return data_[position_++];
    }
    uint16_t u16() {
        const uint16_t lo = u8();
        return uint16_t(lo | (u8() << 8));
    }
    uint32_t u32() {
        const uint32_t lo = u16();
        return lo | (uint32_t(u16()) << 16);
    }
    int32_t i32() { return int32_t(u32()); }
    uint16_t u16be() {
        const uint16_t hi = u8();
        return uint16_t((hi << 8) | u8());
    }
    uint32_t u32be() {
        const uint32_t hi = u16be();
        return (hi << 16) | u16be();
    }
    // Copies count bytes; a short source fills the rest with zeros.
    bool bytes(uint8_t* out, size_t count) {
        const size_t n = count < remaining() ? count : remaining();
        std::memcpy(out, here(), n);
        if (n < count) {
            std::memset(out + n, 0, count - n);
            ranOut_ = true;
        }
        position_ += n;
        return n == count;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool ranOut_ = false;
};

}  // namespace imaging
