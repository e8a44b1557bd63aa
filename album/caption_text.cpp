#include "album/caption_text.h"

#include <QList>

namespace quillon {
namespace {

constexpr int kLongestShown = 32;
constexpr int kKeptBytes = 29;

// Bytes of one code point: single-byte for ASCII and the half-width katakana
// block, two for the rest (characters outside the code page included, so a
// name never measures shorter than it would on the screen).
int bytesOf(char32_t c) {
    if (c < 0x80) return 1;
    if (c >= 0xFF61 && c <= 0xFF9F) return 1;
    return 2;
}

}  // namespace

int shiftJisLength(const QString& text) {
    int bytes = 0;
    for (char32_t c : text.toUcs4()) bytes += bytesOf(c);
    return bytes;
}

QString shownCaption(const QString& caption) {
    if (shiftJisLength(caption) <= kLongestShown) return caption;
    QString kept;
    int bytes = 0;
    for (char32_t c : caption.toUcs4()) {
        if (bytes + bytesOf(c) > kKeptBytes) break;
        bytes += bytesOf(c);
        kept += QString::fromUcs4(&c, 1);
    }
    return kept + QStringLiteral("...");
}

}  // namespace quillon
