#include "image/image_object.h"

#include "image/last_result.h"
#include "imaging/codecs/bmp.h"
#include "imaging/imaging.h"

#include <algorithm>
#include <cstring>

namespace quillon {

using imaging::Bitmap;

bool CImageObject::finishImaging(int result, bool redraw) {
    setLastImagingResult(result);
    if (result != imaging::kSuccess) return false;
    if (redraw) refresh();
    return true;
}

int CImageObject::storedRow(int row) const {
    return m_bitmap.isBottomUp() ? m_bitmap.height - 1 - row : row;
}

int CImageObject::storedTop(int top, int height) const {
    return m_bitmap.isBottomUp() ? m_bitmap.height - top - height : top;
}

void CImageObject::setDisplaySizeToPicture() {
    displayWidth = m_bitmap.width;
    displayHeight = m_bitmap.height;
    zoom = 100;
}

bool CImageObject::create(int width, int height, int bits) {
    imaging::initialize(m_bitmap, width, height, bits);
    m_hasBitmap = false;
    setDisplaySizeToPicture();
    if (m_sink) m_sink->layoutAndScroll();
    return true;
}

bool CImageObject::allocate(int memoryKind) {
    const int result = imaging::allocate(m_bitmap, memoryKind);
    setLastImagingResult(result);
    m_hasBitmap = result == imaging::kSuccess;
    return m_hasBitmap;
}

void CImageObject::release() {
    if (m_hasBitmap) imaging::release(m_bitmap);
    m_hasBitmap = false;
}

bool CImageObject::takeOver(CImageObject& source, bool redraw) {
    if (&source == this) return m_hasBitmap;
    release();
    m_bitmap = std::move(source.m_bitmap);  // the pixels move, nothing is copied
    gifOptions = source.gifOptions;
    progressive = source.progressive;
    source.m_hasBitmap = false;
    source.m_bitmap.flags &= ~imaging::flag::kAllocated;
    m_hasBitmap = m_bitmap.hasPixels();
    sizeChanged();
    if (redraw) refresh();
    return m_hasBitmap;
}

std::unique_ptr<CImageObject> CImageObject::duplicate() const {
    auto copy = std::make_unique<CImageObject>();
    const int result = imaging::copy(copy->m_bitmap, m_bitmap);
    setLastImagingResult(result);
    if (result != imaging::kSuccess) return nullptr;
    copy->m_hasBitmap = true;
    copy->gifOptions = gifOptions;
    copy->progressive = progressive;
    copy->setDisplaySizeToPicture();
    return copy;
}

std::unique_ptr<CImageObject> CImageObject::copyRect(int left, int top, int width,
                                                     int height) const {
    auto part = std::make_unique<CImageObject>();
    const int result =
        imaging::copyRect(part->m_bitmap, m_bitmap, left, storedTop(top, height), width, height);
    setLastImagingResult(result);
    if (result != imaging::kSuccess) return nullptr;
    part->m_hasBitmap = true;
    part->setDisplaySizeToPicture();
    part->sourceRect = part->destinationRect = Rect{0, 0, width, height};
    return part;
}

bool CImageObject::getRow(uint8_t* buffer, int row, int byteCount) const {
    const int result = imaging::getRow(m_bitmap, buffer, storedRow(row), byteCount);
    setLastImagingResult(result);
    return result > 0;
}

bool CImageObject::putRow(const uint8_t* buffer, int row, int byteCount) {
    const int result = imaging::putRow(m_bitmap, buffer, storedRow(row), byteCount);
    setLastImagingResult(result);
    return result > 0;
}

void CImageObject::lock() { imaging::lock(m_bitmap); }
void CImageObject::unlock() { imaging::unlock(m_bitmap); }

uint32_t CImageObject::pixelValue(int x, int y) {
    if (x < 0 || y < 0 || x >= m_bitmap.width || y >= m_bitmap.height) return 0;
    const int order = m_bitmap.rowOrder;
    const int row = (order == imaging::kBottomUp || order == imaging::kBottomUpMirrored)
                        ? m_bitmap.height - 1 - y : y;
    const int column = (order == imaging::kTopDownMirrored || order == imaging::kBottomUpMirrored)
                           ? m_bitmap.width - 1 - x : x;
    const int bits = m_bitmap.bitsPerPixel;
    if (bits == 1 || bits == 4 || bits == 8) {
        uint8_t byte = 0;
        lock();
        const int result = imaging::getBytes(m_bitmap, &byte, row, column, 1);
        unlock();
        setLastImagingResult(result > 0 ? imaging::kSuccess : result);
        if (bits == 1) return (byte >> (7 - column % 8)) & 1;
        if (bits == 4) return column % 2 == 0 ? byte >> 4 : byte & 0x0F;
        return byte;
    }
    return imaging::pixelColor(m_bitmap, row, column);
}

int CImageObject::paletteGet(int start, int count, imaging::RgbQuad* entries) const {
    const int size = m_bitmap.isIndexed() ? m_bitmap.paletteCount : 0;
    if (size == 0) return 0;
    if (!entries) return size;
    if (start < 0 || start >= size || count <= 0) return 0;
    const int n = std::min(count, size - start);
    std::copy_n(m_bitmap.palette.begin() + start, n, entries);
    return n;
}

bool CImageObject::paletteSet(const imaging::RgbQuad* entries, int count, bool redraw) {
    if (!entries || count <= 0 || count > 256) return false;
    if (!(m_bitmap.flags & imaging::flag::kFixedPalette)) {
        m_bitmap.palette.fill(imaging::RgbQuad{});
        std::copy_n(entries, count, m_bitmap.palette.begin());
        m_bitmap.paletteCount = count;
        m_bitmap.flags |= imaging::flag::kPaletteInstalled;
    }
    if (redraw) refresh();
    return true;
}

std::optional<PaintPalette> CImageObject::makePaintPalette() const {
    // Screens here show true colour: only indexed pictures need a palette.
    if (!m_hasBitmap || !m_bitmap.isIndexed()) return std::nullopt;
    return copyPalette();
}

std::optional<PaintPalette> CImageObject::copyPalette() const {
    if (!m_bitmap.isIndexed() || m_bitmap.paletteCount == 0) return std::nullopt;
    PaintPalette palette;
    palette.reserve(m_bitmap.paletteCount);
    for (int i = 0; i < m_bitmap.paletteCount; ++i) {
        const imaging::RgbQuad& q = m_bitmap.palette[i];
        palette.push_back(qRgb(q.red, q.green, q.blue));
    }
    return palette;
}

void CImageObject::refresh() {
    m_paintPalette.reset();
    if (!m_sink) return;
    if (m_sink->isShown() && m_hasBitmap) m_paintPalette = makePaintPalette();
    if (m_paintPalette) m_sink->announcePaletteChanged();
    m_sink->invalidateAll();
}

void CImageObject::sizeChanged() {
    displayWidth = zoom * m_bitmap.width / 100;
    displayHeight = zoom * m_bitmap.height / 100;
    if (m_sink) m_sink->layoutAndScroll();
}

GlobalHandle CImageObject::toPackedDib() const {
    if (!m_hasBitmap) {
        setLastImagingResult(imaging::kErrNoBitmap);
        return 0;
    }
    const GlobalHandle block = imaging::toPackedDib(m_bitmap);
    setLastImagingResult(block ? imaging::kSuccess : imaging::kErrNoMemory);
    if (!block || !m_bitmap.isIndexed()) return block;
    // The colour table must be the picture's: copy it in when the block's
    // count differs or its table came out all black.
    auto* dib = static_cast<uint8_t*>(gmemLock(block));
    uint32_t used = 0;
    std::memcpy(&used, dib + 32, 4);
    const int entries = int(used ? used : 1u << m_bitmap.bitsPerPixel);
    const size_t tableSize = gmemSize(block) >= 40 ? (gmemSize(block) - 40) / 4 : 0;
    const int n = std::min({entries, m_bitmap.paletteCount, int(tableSize)});
    bool allBlack = true;
    for (int i = 0; i < n * 4; ++i) allBlack = allBlack && dib[40 + i] == 0;
    if (entries != m_bitmap.paletteCount || allBlack) {
        for (int i = 0; i < n; ++i) {
            const imaging::RgbQuad& q = m_bitmap.palette[i];
            uint8_t* e = dib + 40 + 4 * i;
            e[0] = q.blue, e[1] = q.green, e[2] = q.red, e[3] = 0;
        }
    }
    gmemUnlock(block);
    return block;
}

bool CImageObject::adoptBitmap(Bitmap&& replacement, bool resize, bool redraw) {
    const uint8_t origin = m_bitmap.formatCode;
    const uint32_t keptFlags = m_bitmap.flags & imaging::flag::kDisplay16;
    release();
    m_bitmap = std::move(replacement);
    m_bitmap.formatCode = origin;
    m_bitmap.flags |= keptFlags;
    m_hasBitmap = true;
    if (resize) sizeChanged();
    if (redraw) refresh();
    return true;
}

bool CImageObject::fromPackedDib(GlobalHandle block, bool resize, bool redraw) {
    Bitmap replacement;
    const int result = imaging::fromPackedDib(replacement, block);
    setLastImagingResult(result);
    if (result != imaging::kSuccess) return false;
    return adoptBitmap(std::move(replacement), resize, redraw);
}

bool CImageObject::combine(int left, int top, int width, int height, const CImageObject& source,
                           int sourceX, int sourceY, int op, bool redraw) {
    // The library meets stored rows: when exactly one picture is bottom-up, a
    // flipped copy of the source makes both run the same way.
    std::unique_ptr<CImageObject> flipped;
    const CImageObject* from = &source;
    if (source.m_bitmap.isBottomUp() != m_bitmap.isBottomUp()) {
        flipped = source.duplicate();
        if (!flipped) return false;
        imaging::flipVertical(flipped->m_bitmap);
        from = flipped.get();
    }
    // With this picture bottom-up, the source's rows (flipped or not) are too.
    const int fromY = m_bitmap.isBottomUp() ? source.m_bitmap.height - sourceY - height : sourceY;
    const int result = imaging::combine(m_bitmap, left, storedTop(top, height), width, height,
                                        from->m_bitmap, sourceX, fromY, op);
    return finishImaging(result, redraw);
}

bool CImageObject::fill(imaging::ColorRef color, bool redraw) {
    return runImaging([&](Bitmap& b) { return imaging::fill(b, color); }, redraw);
}
bool CImageObject::flipVertical(bool redraw) {
    return runImaging([](Bitmap& b) { return imaging::flipVertical(b); }, redraw);
}
bool CImageObject::mirror(bool redraw) {
    return runImaging([](Bitmap& b) { return imaging::mirror(b); }, redraw);
}
bool CImageObject::invert(bool redraw) {
    return runImaging([](Bitmap& b) { return imaging::invert(b); }, redraw);
}
bool CImageObject::greyScale(bool redraw) {
    return runImaging([](Bitmap& b) { return imaging::greyScale(b); }, redraw);
}

}  // namespace quillon
