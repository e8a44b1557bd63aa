// Helpers shared by the raster codecs: making a checked picture, reading a
// picture's rows top row first whatever its row and colour order, and a
// growing byte writer for the encoders.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/file_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging::raster {

// Checks the size first, then gives a zero-filled top-down picture. Zero or
// negative sides are a bad header (kErrFileFormat); sizes past the library's
// limit are kErrNoMemory.
int newPicture(Bitmap& bitmap, int64_t width, int64_t height, int bits);

// Row y as the eye sees it: y = 0 is the top row.
const uint8_t* pictureRow(const Bitmap& bitmap, int y);
uint8_t* pictureRow(Bitmap& bitmap, int y);

// Row y as one palette index a byte (indexed pictures only).
void rowIndices(const Bitmap& bitmap, int y, uint8_t* out);
// Row y as R,G,B bytes (any depth).
void rowRgb(const Bitmap& bitmap, int y, uint8_t* out);
// Stores one index a byte into row y of an indexed picture.
void setRowIndices(Bitmap& bitmap, int y, const uint8_t* indices);
// Stores R,G,B bytes into row y of a 24- or 32-bit picture.
void setRowRgb(Bitmap& bitmap, int y, const uint8_t* rgb);

// For bilevel formats: which palette index of a 1-bit picture is the darker.
int inkIndex(const Bitmap& bitmap);
// Row y of a 1-bit picture packed MSB first with 1 = ink (black).
void rowInkBits(const Bitmap& bitmap, int y, uint8_t* out, size_t bytes);
// Makes a 1-bit picture read from a bilevel format black-and-white with
// index 1 white, so its rows store ink as 0 bits.
void setBlackWhitePalette(Bitmap& bitmap);
// Stores packed bits with 1 = ink into row y of such a picture.
void setRowInkBits(Bitmap& bitmap, int y, const uint8_t* bits, size_t bytes);

// True when every palette entry in use is grey (red = green = blue).
bool greyPalette(const Bitmap& bitmap);
bool isGreyRamp(const Bitmap& bitmap);  // 256 entries, entry i = (i,i,i)

// Copies the size fields of a checked picture into a file-information record.
void fillInfo(FileInfo& info, int width, int height, int bits, int xDpi = 0, int yDpi = 0);

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    size_t size() const { return out_.size(); }
    void u8(unsigned v) { out_.push_back(uint8_t(v)); }
    void u16(unsigned v) { u8(v), u8(v >> 8); }
    void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void u16be(unsigned v) { u8(v >> 8), u8(v); }
    void u32be(uint32_t v) { u16be(v >> 16), u16be(v & 0xFFFF); }
    void bytes(const uint8_t* p, size_t n) { out_.insert(out_.end(), p, p + n); }
    void text(const char* s);
    void fill(unsigned v, size_t n) { out_.insert(out_.end(), n, uint8_t(v)); }
    void patch16be(size_t at, unsigned v) { out_[at] = uint8_t(v >> 8), out_[at + 1] = uint8_t(v); }
    void patch32be(size_t at, uint32_t v) {
        patch16be(at, v >> 16), patch16be(at + 2, v & 0xFFFF);
    }
    void patch16(size_t at, unsigned v) { out_[at] = uint8_t(v), out_[at + 1] = uint8_t(v >> 8); }
    void patch32(size_t at, uint32_t v) { patch16(at, v & 0xFFFF), patch16(at + 2, v >> 16); }

private:
    std::vector<uint8_t>& out_;
};

}  // namespace imaging::raster
