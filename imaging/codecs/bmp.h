// Windows and OS/2 bitmaps (BMP files, and DIBs: the same without the file header).
//
// Reads headers of 12 (OS/2 core), 16 to 64 (OS/2 2.x), 40, 52, 56, 108 and
// 124 bytes at 1, 4, 8, 16, 24 and 32 bits, uncompressed, RLE8, RLE4 and
// bit fields. 16-bit 5-5-5 and 5-6-5 pictures stay 15 and 16 bits; other
// masks are expanded to 24 or 32 bits. Refuses embedded JPEG and PNG.
// Writes 1, 4, 8, 24 and 32 bits uncompressed, 40-byte header, bottom-up.
#pragma once

#include "imaging/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imaging {
class InputFile;
}

namespace imaging::bmp {

struct Info {
    int width = 0;
    int height = 0;
    int bits = 0;         // depth of the record the reader makes
    int fileBits = 0;     // depth in the file
    int compression = 0;
    bool os2 = false;
    int xResolution = 0;  // dots per inch, 0 when the file has none
    int yResolution = 0;
};

bool probe(const uint8_t* data, size_t size);
int readInfo(const uint8_t* data, size_t size, Info& info);
int read(const uint8_t* data, size_t size, Bitmap& bitmap);
// As read, from an open file: plain rows go from the file straight into the
// picture's rows, without a copy of the file in memory.
int readFile(const InputFile& file, Bitmap& bitmap);
int write(const Bitmap& bitmap, std::vector<uint8_t>& out);
// Whether the picture's rows, as stored, are the rows of its BMP file (1, 4,
// 8 or BGR 24 bits); the file is then the headers writeHeaders makes
// followed by the rows from the picture's memory, the last row first (all
// of them in one piece when the picture is stored bottom-up).
bool rowsAsStored(const Bitmap& bitmap);
int writeHeaders(const Bitmap& bitmap, std::vector<uint8_t>& out);

// The DIB part alone: header, colour table, pixels.
int readDibInfo(const uint8_t* data, size_t size, Info& info);
// pixelOffset is where the rows start, counted from the header; 0 means right
// after the colour table.
int readDib(const uint8_t* data, size_t size, size_t pixelOffset, Bitmap& bitmap);
// Writes header, colour table and rows; a negative height keeps top-down rows.
int writeDib(const Bitmap& bitmap, std::vector<uint8_t>& out, bool keepRowOrder);

// Resolution conversion: pixels per metre to dots per inch and back.
int dpiFromPixelsPerMetre(int32_t ppm);
int32_t pixelsPerMetreFromDpi(int dpi);

}  // namespace imaging::bmp
