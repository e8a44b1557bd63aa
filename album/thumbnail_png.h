// Thumbnails as PNG files, written fast: 8-bit RGB (RGBA when the picture has
// alpha), no row filters and zlib level 1, with text chunks before the pixels.
// Small pictures written by the hundred spend most of their time in the
// filter search and deflate of a general writer.
#pragma once

#include <QByteArray>
#include <QImage>

#include <utility>
#include <vector>

namespace quillon {

using PngTexts = std::vector<std::pair<QByteArray, QByteArray>>;

// The whole file in memory; empty on failure.
QByteArray encodeThumbnailPng(const QImage& image, const PngTexts& texts = {});
// Reads a PNG file of any kind with its text chunks (before and after the
// pixels); a null image on failure.
QImage decodePng(const QByteArray& file, PngTexts* texts);

}  // namespace quillon
