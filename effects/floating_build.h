// Building what floats: the pasted picture with its white mask, the rendered
// text with its glyph mask, and the pixels of a lifted selection.
#pragma once

#include "effects/floating_object.h"
#include "image/image_object.h"
#include "image/rect.h"

#include <QFont>
#include <QString>

#include <memory>
#include <optional>

namespace quillon {

// The text tool's settings: font, colour and the text itself.
struct TextSettings {
    QFont font;
    imaging::ColorRef colour = 0;
    QString text;
};

// The font the text dialog opens on every time: ＭＳ 明朝 (the IPA font
// stands in), 10 points at the screen's resolution, regular, black.
TextSettings initialTextSettings(int screenDpi = 96);
// Glyphs are drawn without smoothing, so that each pixel is text or not.
QFont textFont(const TextSettings& settings);

// Null objects (width 0) when building fails or there is nothing to show.
FloatingObject pasteFloating(std::shared_ptr<const CImageObject> source, bool transparent);
FloatingObject textFloating(const TextSettings& settings);
FloatingObject liftedFloating(const CImageObject& image, const Rect& rect);

// The text's glyph mask: black glyphs on white at the text's extent.
QImage textMask(const TextSettings& settings);

}  // namespace quillon
