#include "effects/burn_in.h"

#include "image/image_effects.h"
#include "image/last_result.h"
#include "imaging/depth.h"
#include "imaging/imaging.h"

namespace quillon {
namespace {

using imaging::depth::kErrorDiffusion;
using imaging::depth::kFixedPalette;
using imaging::depth::kOptimizedPalette;

// Runs work on the picture at 24 bits (or its own depth above that) and
// brings it back. backFlags is used after success, 0 after a failure.
template <typename Work>
bool at24Bits(CImageObject& image, uint32_t backFlags, Work&& work) {
    const int bits = image.bitsPerPixel();
    const bool up = bits < 24;
    if (up && !changeColorDepth(image, nullptr, 24, kFixedPalette, nullptr, 0, false)) return false;
    const bool ok = work();
    const int result = lastImagingResult();
    if (up) {
        const bool back = changeColorDepth(image, nullptr, bits, ok ? backFlags : 0, nullptr, 0, false);
        if (!ok) setLastImagingResult(result);
        return ok && back;
    }
    return ok;
}

bool toDepth(CImageObject& picture, int bits, uint32_t flags) {
    if (picture.bitsPerPixel() == bits) return true;
    return changeColorDepth(picture, nullptr, bits, flags, nullptr, 0, false);
}

// A 24-bit picture from a Qt image.
std::unique_ptr<CImageObject> pictureOf(const QImage& image) {
    auto picture = std::make_unique<CImageObject>();
    if (!picture->fromDeviceImage(image.convertToFormat(QImage::Format_RGB32), false, false)) return nullptr;
    return picture;
}

bool isWhite(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }

}  // namespace

bool pasteAt(CImageObject& image, const CImageObject& picture, int left, int top, bool transparent) {
    std::unique_ptr<CImageObject> p = picture.duplicate();
    if (!p) return false;
    // Into a 1-bit picture the pasted one goes in black and white.
    if (image.bitsPerPixel() == 1 && !toDepth(*p, 1, kErrorDiffusion)) return false;
    if (!toDepth(*p, 24, kFixedPalette)) return false;
    const int w = p->width(), h = p->height();
    return at24Bits(image, kOptimizedPalette, [&] {
        if (!transparent) return image.combine(left, top, w, h, *p, 0, 0, imaging::kOpCopy, false);
        // M: white where P is white, black elsewhere.
        QImage mask = p->toDeviceImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < mask.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(mask.scanLine(y));
            for (int x = 0; x < mask.width(); ++x) row[x] = isWhite(row[x]) ? 0xFFFFFFFF : 0xFF000000;
        }
        const std::unique_ptr<CImageObject> m = pictureOf(mask);
        if (!m) return false;
        return p->combine(0, 0, w, h, *m, 0, 0, imaging::kOpNotSourceAnd, false) &&
               image.combine(left, top, w, h, *m, 0, 0, imaging::kOpAnd, false) &&
               image.combine(left, top, w, h, *p, 0, 0, imaging::kOpOr, false);
    });
}

bool burnInText(CImageObject& image, int left, int top, const QImage& mask, imaging::ColorRef colour) {
    const QImage glyphs = mask.convertToFormat(QImage::Format_RGB32);
    // A: white with black text (the mask itself); B: black with coloured text.
    QImage b(glyphs.size(), QImage::Format_RGB32);
    const QRgb textColour =
        qRgb(imaging::redOf(colour), imaging::greenOf(colour), imaging::blueOf(colour));
    for (int y = 0; y < glyphs.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(glyphs.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(b.scanLine(y));
        for (int x = 0; x < glyphs.width(); ++x) to[x] = isWhite(from[x]) ? 0xFF000000 : textColour;
    }
    const std::unique_ptr<CImageObject> pictureA = pictureOf(glyphs);
    const std::unique_ptr<CImageObject> pictureB = pictureOf(b);
    if (!pictureA || !pictureB) return false;
    const bool oneBit = image.bitsPerPixel() == 1;
    if (oneBit && !(toDepth(*pictureB, 1, kErrorDiffusion) && toDepth(*pictureB, 24, kFixedPalette)))
        return false;
    const int w = glyphs.width(), h = glyphs.height();
    return at24Bits(image, oneBit ? 0 : kOptimizedPalette, [&] {
        return image.combine(left, top, w, h, *pictureA, 0, 0, imaging::kOpAnd, false) &&
               image.combine(left, top, w, h, *pictureB, 0, 0, imaging::kOpOr, false);
    });
}

bool moveSelection(CImageObject& image, const Rect& from, const Rect& to) {
    return at24Bits(image, kOptimizedPalette, [&] {
        std::unique_ptr<CImageObject> copy = image.copyRect(from.left, from.top, from.width(), from.height());
        if (!copy) return false;
        if (!image.combine(from.left, from.top, from.width(), from.height(), *copy, 0, 0, imaging::kOpWhite, false))
            return false;
        if (!resizePicture(*copy, to.width(), to.height(), false)) return false;
        return image.combine(to.left, to.top, to.width(), to.height(), *copy, 0, 0, imaging::kOpBlack, false) &&
               image.combine(to.left, to.top, to.width(), to.height(), *copy, 0, 0, imaging::kOpOr, false);
    });
}

bool clearToWhite(CImageObject& image, std::optional<Rect> area) {
    const Rect r = area.value_or(Rect{0, 0, image.width(), image.height()});
    return at24Bits(image, kOptimizedPalette, [&] {
        return image.combine(r.left, r.top, r.width(), r.height(), image, 0, 0, imaging::kOpWhite, false);
    });
}

}  // namespace quillon
