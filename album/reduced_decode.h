// Reading a picture file only as large as a thumbnail needs. JPEG files are
// decoded by libjpeg-turbo's DCT scaling at the smallest scale whose result
// is at least the size asked for; every other file goes through the
// program's own readers at full size.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace quillon {

struct ReducedPicture {
    QImage image;    // possibly smaller than the picture
    QSize fullSize;  // the picture's own size
};

// `atLeast` is given the picture's full size and answers the smallest size
// that will do; JPEG decoding stops at the first DCT scale that reaches it.
using SizeNeeded = std::function<QSize(QSize fullSize)>;

// Nothing when the file does not decode. Safe to call from several threads.
std::optional<ReducedPicture> decodeReduced(const QString& path, const SizeNeeded& atLeast);

}  // namespace quillon
