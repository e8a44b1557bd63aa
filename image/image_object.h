// One picture in memory: the imaging library's bitmap record plus what the
// program needs to show and save it (zoom, scroll, paint palette, GIF and
// JPEG options). An image window attaches itself as the sink; without one the
// object is a plain picture (undo copies, selection copies, loads in progress)
// and every display step is skipped.
//
// Row and rectangle arguments are top-down; the object converts them for
// pictures whose rows are stored bottom-up.
#pragma once

#include "gmem/global_memory.h"
#include "image/gif_options.h"
#include "image/image_window_sink.h"
#include "image/rect.h"
#include "imaging/bitmap.h"

#include <QImage>
#include <QList>
#include <QRgb>

#include <memory>
#include <optional>

namespace quillon {

using PaintPalette = QList<QRgb>;

class CImageObject {
public:
    CImageObject() = default;
    ~CImageObject() = default;
    CImageObject(const CImageObject&) = delete;
    CImageObject& operator=(const CImageObject&) = delete;

    // 1. Initialises the record for that size and depth, without pixels.
    bool create(int width, int height, int bits);
    // 2. Gives the record pixel memory (kind 1: conventional).
    bool allocate(int memoryKind = 1);
    // 3. Frees the pixels.
    void release();
    // 4. Moves the source's picture, GIF options and progressive flag here.
    bool takeOver(CImageObject& source, bool redraw);
    // 5. A windowless copy of the whole picture, or none.
    std::unique_ptr<CImageObject> duplicate() const;
    // 6. A windowless copy of a rectangle, or none.
    std::unique_ptr<CImageObject> copyRect(int left, int top, int width, int height) const;
    // 7 and 8. Move byteCount bytes of a row.
    bool getRow(uint8_t* buffer, int row, int byteCount) const;
    bool putRow(const uint8_t* buffer, int row, int byteCount);
    // 9.
    void lock();
    void unlock();
    // 10. Palette index for pictures of 8 bits or fewer, else COLORREF; 0 outside.
    uint32_t pixelValue(int x, int y);
    // 11. Copies up to count entries from start; without a buffer, the palette size.
    int paletteGet(int start, int count, imaging::RgbQuad* entries) const;
    // 12. Replaces the palette unless it is fixed.
    bool paletteSet(const imaging::RgbQuad* entries, int count, bool redraw);
    // 13. Objects the caller owns: a palette for painting, a copy of the
    // picture's palette, and the picture in the screen's form.
    std::optional<PaintPalette> makePaintPalette() const;
    std::optional<PaintPalette> copyPalette() const;
    QImage toDeviceImage() const;
    // Only the pixels of area (clipped to the picture), for painting the
    // part of a picture that shows without a copy of the whole.
    QImage toDeviceImage(const Rect& area) const;
    // 16. A packed DIB the caller owns, or 0.
    GlobalHandle toPackedDib() const;
    // 17 and 18. Replace the picture; the format code of origin stays.
    bool fromPackedDib(GlobalHandle block, bool resize, bool redraw);
    bool fromDeviceImage(const QImage& image, bool resize, bool redraw);
    // 19. Releases the picture, then takes the grabbed screen area at the
    // screen's depth (15, 16 or 24 bits; 8 and fewer become 8-bit palette
    // pictures). On failure the object is left without a picture.
    bool fromScreenArea(const QImage& area, int screenDepth, bool redraw);
    // 21. Paints the source into a rectangle of this picture.
    bool combine(int left, int top, int width, int height, const CImageObject& source,
                 int sourceX, int sourceY, int op, bool redraw);

    // Effects over the whole picture.
    bool fill(imaging::ColorRef color, bool redraw);
    bool flipVertical(bool redraw);
    bool mirror(bool redraw);
    bool invert(bool redraw);
    bool greyScale(bool redraw);

    // Runs one imaging call on the record: stores its result as the last
    // imaging result, succeeds when it is 1, and ends with the refresh tail
    // when redraw is set. Other parts of the program (depth change, geometry,
    // loaders) reach the library through this.
    template <typename Call>
    bool runImaging(Call&& call, bool redraw) {
        const int result = call(m_bitmap);
        return finishImaging(result, redraw);
    }

    // The window side.
    void setSink(ImageWindowSink* sink) { m_sink = sink; }
    ImageWindowSink* sink() const { return m_sink; }
    void refresh();     // rebuild the paint palette, announce it, invalidate
    void sizeChanged(); // recompute the display size, lay out

    // Converts a top-down row or rectangle top for the stored row order.
    int storedRow(int row) const;
    int storedTop(int top, int height) const;

    imaging::Bitmap& bitmap() { return m_bitmap; }
    const imaging::Bitmap& bitmap() const { return m_bitmap; }
    bool hasBitmap() const { return m_hasBitmap; }
    void setHasBitmap(bool value) { m_hasBitmap = value; }
    int width() const { return m_bitmap.width; }
    int height() const { return m_bitmap.height; }
    int bitsPerPixel() const { return m_bitmap.bitsPerPixel; }

    const std::optional<PaintPalette>& paintPalette() const { return m_paintPalette; }
    bool fitWindow = false;
    bool stretch = false;
    int scrollX = 0, scrollY = 0;
    int scrollRangeX = 0, scrollRangeY = 0;
    int displayWidth = 0, displayHeight = 0;
    int zoom = 100;
    GifOptions gifOptions;
    bool progressive = false;
    bool paintWithoutCapture = false;
    Rect sourceRect;       // part of the picture being painted
    Rect destinationRect;  // where it goes in the window

private:
    bool finishImaging(int result, bool redraw);
    bool adoptBitmap(imaging::Bitmap&& replacement, bool resize, bool redraw);
    void setDisplaySizeToPicture();

    imaging::Bitmap m_bitmap;
    std::optional<PaintPalette> m_paintPalette;
    bool m_hasBitmap = false;
    ImageWindowSink* m_sink = nullptr;
};

}  // namespace quillon
