// How a picture becomes a thumbnail of the album's box: scaled to keep its
// shape, each side at least 1, and centred on a black box of exactly the
// box's size.
#pragma once

#include <QImage>
#include <QSize>

namespace quillon {

// a * b / c rounded to the nearest, halves away from zero; -1 when c is 0.
int mulDiv(int a, int b, int c);

// The size the picture takes in a box of boxWidth x boxHeight: a picture
// taller than the box (by the percentages of width over height) gets the
// box's height, else the box's width; the other side follows its shape.
QSize fittedSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);

// A boxWidth x boxHeight 24-bit thumbnail: black, with the scaled picture
// in its centre at ((W - w) / 2, (H - h) / 2).
QImage placeOnBlack(const QImage& scaled, int boxWidth, int boxHeight);

// The whole step for a picture whose full size is known (the image given may
// already be reduced, e.g. a cached thumbnail): scale to fittedSize(full)
// and centre on black.
QImage fitThumbnail(const QImage& picture, QSize fullSize, QSize box);

}  // namespace quillon
