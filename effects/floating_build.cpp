#include "effects/floating_build.h"

#include "effects/tracker_geometry.h"

#include <QFontMetrics>
#include <QPainter>

namespace quillon {
namespace {

QImage screenForm(const CImageObject& picture) {
    return picture.toDeviceImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

TextSettings initialTextSettings(int screenDpi) {
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    TextSettings s;
    s.font = QFont(QString::fromUtf8("ＭＳ 明朝"));
    s.font.setPixelSize(mulDiv(10, screenDpi, 72));
    s.font.setWeight(QFont::Normal);
    s.colour = 0;
    return s;
}

QFont textFont(const TextSettings& settings) {
    QFont font = settings.font;
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage textMask(const TextSettings& settings) {
    const QFont font = textFont(settings);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(settings.text);
    const int height = metrics.height();
    if (width <= 0 || height <= 0) return {};
    QImage mask(width, height, QImage::Format_RGB32);
    if (mask.isNull()) return {};
    mask.fill(Qt::white);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(0, metrics.ascent(), settings.text);
    painter.end();
    return mask;
}

FloatingObject pasteFloating(std::shared_ptr<const CImageObject> source, bool transparent) {
    FloatingObject f;
    if (!source || !source->hasBitmap()) return f;
    f.shown = screenForm(*source);
    if (f.shown.isNull()) return {};
    if (transparent) {
        for (int y = 0; y < f.shown.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(f.shown.scanLine(y));
            for (int x = 0; x < f.shown.width(); ++x)
                if ((row[x] & 0xFFFFFF) == 0xFFFFFF) row[x] = 0;
        }
    }
    f.width = f.shown.width();
    f.height = f.shown.height();
    f.pasteSource = std::move(source);
    f.transparent = transparent;
    return f;
}

FloatingObject textFloating(const TextSettings& settings) {
    FloatingObject f;
    f.textMask = textMask(settings);
    if (f.textMask.isNull()) return {};
    f.textColour = settings.colour;
    const QRgb colour = qRgb(imaging::redOf(settings.colour), imaging::greenOf(settings.colour),
                             imaging::blueOf(settings.colour));
    f.shown = QImage(f.textMask.size(), QImage::Format_ARGB32);
    for (int y = 0; y < f.shown.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(f.textMask.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(f.shown.scanLine(y));
        for (int x = 0; x < f.shown.width(); ++x) to[x] = (from[x] & 0xFFFFFF) == 0xFFFFFF ? 0 : colour;
    }
    f.width = f.shown.width();
    f.height = f.shown.height();
    return f;
}

FloatingObject liftedFloating(const CImageObject& image, const Rect& rect) {
    FloatingObject f;
    const std::unique_ptr<CImageObject> part = image.copyRect(rect.left, rect.top, rect.width(), rect.height());
    if (!part) return f;
    f.shown = screenForm(*part);
    if (f.shown.isNull()) return {};
    f.width = f.shown.width();
    f.height = f.shown.height();
    return f;
}

}  // namespace quillon
