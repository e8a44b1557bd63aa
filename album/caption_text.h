// Captions under the thumbnails are measured in bytes of the Japanese
// code page (CP932): ASCII and half-width katakana take one byte, every
// other character two. A caption longer than 32 bytes is shown cut.
#pragma once

#include <QString>

namespace quillon {

// Bytes the text takes in CP932.
int shiftJisLength(const QString& text);
// The caption as drawn: longer than 32 bytes, its first 29 bytes (28 when a
// double-byte character would be split there) and "...".
QString shownCaption(const QString& caption);

}  // namespace quillon
