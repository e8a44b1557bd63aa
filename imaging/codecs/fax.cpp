#include "imaging/codecs/fax.h"

#include "imaging/codecs/tiff_memory.h"
#include "imaging/result.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>

namespace imaging::fax {
namespace {

using tiffmem::MemoryFile;

TIFF* openMemory(MemoryFile& file, const char* mode) { return tiffmem::open(file, mode); }

uint16_t compressionOf(Scheme scheme) {
    return scheme == Scheme::kG4 ? COMPRESSION_CCITTFAX4 : COMPRESSION_CCITTFAX3;
}

void putEntry(std::vector<uint8_t>& out, uint16_t tag, uint16_t type, uint32_t value) {
    auto u16 = [&](unsigned v) { out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8)); };
    u16(tag), u16(type), u16(1), u16(0);
    if (type == 3) u16(value), u16(0);
    else u16(value & 0xFFFF), u16(value >> 16);
}

}  // namespace

int encode(Scheme scheme, int width, int height, const uint8_t* rows, std::vector<uint8_t>& out) {
    if (width <= 0 || height <= 0) return kErrBadParameter;
    MemoryFile file;
    TIFF* tif = openMemory(file, "w");
    if (!tif) return kErrNoMemory;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compressionOf(scheme));
    if (scheme != Scheme::kG4) {
        TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, scheme == Scheme::kG3TwoD ? GROUP3OPT_2DENCODING : 0);
        TIFFSetField(tif, TIFFTAG_FAXMODE, FAXMODE_NORTC);
    }
    const size_t stride = size_t(width + 7) / 8;
    std::vector<uint8_t> row(stride);
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        std::memcpy(row.data(), rows + stride * size_t(y), stride);
        ok = TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) == 1;
    }
    ok = ok && TIFFWriteDirectory(tif) == 1;
    if (ok) {
        ok = TIFFSetDirectory(tif, 0) == 1;
        uint64_t* offsets = nullptr;
        uint64_t* counts = nullptr;
        if (ok && TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets) &&
            TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts) && offsets && counts &&
            offsets[0] + counts[0] <= file.bytes.size()) {
            out.insert(out.end(), file.bytes.begin() + ptrdiff_t(offsets[0]),
                       file.bytes.begin() + ptrdiff_t(offsets[0] + counts[0]));
        } else {
            ok = false;
        }
    }
    TIFFClose(tif);
    return ok ? kSuccess : kErrFileWrite;
}

int decode(Scheme scheme, const uint8_t* data, size_t size, int width, int height, bool lsbFirst,
           std::vector<uint8_t>& rows, int& rowsDecoded) {
    rowsDecoded = 0;
    if (width <= 0 || height <= 0) return kErrBadParameter;
    const size_t stride = size_t(width + 7) / 8;
    rows.assign(stride * size_t(height), 0);
    if (size == 0 || size > 0xFFFFFFF0u - 256) return kErrCorrupt;

    // A one-strip TIFF around the payload, so libtiff's decoder can run on it.
    MemoryFile file;
    std::vector<uint8_t>& t = file.bytes;
    t = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const uint16_t entries = scheme == Scheme::kG4 ? 10 : 11;
    const uint32_t dataAt = 8 + 2 + entries * 12u + 4;
    t.push_back(uint8_t(entries)), t.push_back(0);
    putEntry(t, TIFFTAG_IMAGEWIDTH, 4, uint32_t(width));
    putEntry(t, TIFFTAG_IMAGELENGTH, 4, uint32_t(height));
    putEntry(t, TIFFTAG_BITSPERSAMPLE, 3, 1);
    putEntry(t, TIFFTAG_COMPRESSION, 3, compressionOf(scheme));
    putEntry(t, TIFFTAG_PHOTOMETRIC, 3, PHOTOMETRIC_MINISWHITE);
    putEntry(t, TIFFTAG_FILLORDER, 3, lsbFirst ? FILLORDER_LSB2MSB : FILLORDER_MSB2LSB);
    putEntry(t, TIFFTAG_STRIPOFFSETS, 4, dataAt);
    putEntry(t, TIFFTAG_SAMPLESPERPIXEL, 3, 1);
    putEntry(t, TIFFTAG_ROWSPERSTRIP, 4, uint32_t(height));
    putEntry(t, TIFFTAG_STRIPBYTECOUNTS, 4, uint32_t(size));
    if (scheme != Scheme::kG4)
        putEntry(t, TIFFTAG_GROUP3OPTIONS, 4, scheme == Scheme::kG3TwoD ? GROUP3OPT_2DENCODING : 0);
    t.insert(t.end(), 4, 0);
    t.insert(t.end(), data, data + size);

    TIFF* tif = openMemory(file, "r");
    if (!tif) return kErrCorrupt;
    std::vector<uint8_t> row(size_t(TIFFScanlineSize(tif)) + stride);
    for (int y = 0; y < height; ++y) {
        if (TIFFReadScanline(tif, row.data(), uint32_t(y), 0) != 1) break;
        std::memcpy(rows.data() + stride * size_t(y), row.data(), stride);
        rowsDecoded = y + 1;
    }
    TIFFClose(tif);
    return rowsDecoded > 0 ? kSuccess : kErrCorrupt;
}

}  // namespace imaging::fax
