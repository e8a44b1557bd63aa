// Colour matching of the printed picture with LittleCMS: the picture's sRGB
// becomes the printer's colours under the rendering intent chosen in the
// print dialog.
#pragma once

#include <QByteArray>
#include <QImage>

namespace quillon {

// The dialog's intents (radio buttons 1262 to 1264).
constexpr int kFavourSaturation = 1;
constexpr int kFavourContrast = 2;
constexpr int kFavourExactColours = 3;

// The LittleCMS intent for a dialog intent: saturation, perceptual, or
// relative colorimetric (exact colours with the paper's white kept as white).
int lcmsIntentOf(int intent);

// Whether the bytes hold a profile that colours can be converted into.
bool usablePrinterProfile(const QByteArray& profile);

// The picture converted to the printer profile's colours, as RGB888. An RGB
// profile gives the printer's own RGB values; a CMYK or grey profile gives
// the sRGB colours the printer can reproduce (the page stays RGB, so the
// print path carries it unchanged). A null image when no transform can be
// made.
QImage matchColours(const QImage& picture, const QByteArray& profile, int intent);

}  // namespace quillon
