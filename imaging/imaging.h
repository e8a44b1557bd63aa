// The imaging library's core roles over the bitmap record.
//
// Rows and rectangles here are stored rows: the caller has already converted
// them for the record's row order. Every role returns a Result (1 success,
// negative error) unless it says otherwise; a failing role leaves the
// destination as it was.
#pragma once

#include "gmem/global_memory.h"
#include "imaging/bitmap.h"
#include "imaging/result.h"

#include <cstdint>

namespace imaging {

// Sets up the record for a picture of that size and depth, without pixel
// memory: row size, top-down rows, default palette, 96 dpi. Frees nothing.
void initialize(Bitmap& bitmap, int width, int height, int bits);

// Sets up a record of that size and depth that keeps the source's row and
// colour order, resolution, format code and flags (the palette is the
// default one for the depth). No pixel memory.
void initializeLike(Bitmap& result, const Bitmap& source, int width, int height, int bits);

// Memory kinds: the program always asks for conventional memory.
constexpr int kMemoryConventional = 1;

// Gives an initialised record zero-filled pixel memory.
int allocate(Bitmap& bitmap, int memoryKind = kMemoryConventional);
// Frees the pixel memory; the size and palette stay.
void release(Bitmap& bitmap);
void lock(Bitmap& bitmap);
void unlock(Bitmap& bitmap);

// Move up to byteCount bytes of a stored row; return the bytes moved (> 0) or
// a negative Result. A count beyond the row is cut to the row.
int getRow(const Bitmap& bitmap, uint8_t* buffer, int row, int byteCount);
int putRow(Bitmap& bitmap, const uint8_t* buffer, int row, int byteCount);
// Copies count bytes starting at the byte that holds pixel `column`.
int getBytes(const Bitmap& bitmap, uint8_t* buffer, int row, int column, int count);
// The colour of a pixel as 0x00BBGGRR; 0 outside the picture.
ColorRef pixelColor(const Bitmap& bitmap, int row, int column);

// Whole-picture and rectangle copies into a new record (the destination's old
// pixels are freed only on success).
int copy(Bitmap& destination, const Bitmap& source);
int copyRect(Bitmap& destination, const Bitmap& source, int left, int top, int width, int height);

// Raster operations of combine.
enum CombineOp : int {
    kOpAnd = 0,           // source AND destination
    kOpNotSourceAnd = 1,  // (NOT source) AND destination
    kOpOr = 256,          // source OR destination
    kOpCopy = 288,        // source
    kOpWhite = 291,       // every bit set
    kOpBlack = 34,        // every bit clear
};
// Paints source (from sourceX, sourceY) into the destination rectangle. Both
// pictures are taken as stored; the rectangle is clipped to both pictures.
// Pictures of different depths meet through their colours.
int combine(Bitmap& destination, int left, int top, int width, int height, const Bitmap& source,
            int sourceX, int sourceY, int op);

// Simple effects over the whole picture. Indexed pictures change their
// palette (invert, grey) or use the nearest palette entry (fill).
int fill(Bitmap& bitmap, ColorRef color);
int flipVertical(Bitmap& bitmap);
int mirror(Bitmap& bitmap);
int invert(Bitmap& bitmap);
int greyScale(Bitmap& bitmap);

// Packed device-independent bitmap: BITMAPINFOHEADER (40 bytes), colour
// table, rows. Bottom-up records give a positive height, top-down ones a
// negative height, so the row order survives a round trip.
GlobalHandle toPackedDib(const Bitmap& bitmap);
// Replaces the record with the block's picture; the block stays the caller's.
int fromPackedDib(Bitmap& bitmap, GlobalHandle block);
// The same over plain memory (a clipboard buffer, a file body).
int fromPackedDibBytes(Bitmap& bitmap, const uint8_t* data, size_t size);

}  // namespace imaging
