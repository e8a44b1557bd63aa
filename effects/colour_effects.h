// The colour effects computed here, pixel by pixel over the work area or
// entry by entry over the palette (pictures of 8 bits or fewer always change
// as a whole, through their palette). Each returns false with the message to
// show in error; the caller takes the undo snapshot and refreshes.
#pragma once

#include "effects/channel_tables.h"
#include "image/image_object.h"
#include "image/rect.h"

#include <QString>

namespace quillon {

// Byte 0 through the red table for RGB pictures, the blue one for BGR.
bool applyChannelTables(CImageObject& image, const Rect* selection, const ChannelTables& tables, QString& error);
bool applyPowerCurves(CImageObject& image, const Rect* selection, double red, double green, double blue,
                      QString& error);

bool applySepia(CImageObject& image, const Rect* selection, QString& error);
bool applyGoldRed(CImageObject& image, const Rect* selection, QString& error);
// Percent 0..200 a channel.
bool applyColourFilter(CImageObject& image, const Rect* selection, int red, int green, int blue, QString& error);
// Adjustments -100..100 a channel.
bool applyHue(CImageObject& image, const Rect* selection, int red, int green, int blue, QString& error);
// Percent -100..200.
bool applySaturation(CImageObject& image, const Rect* selection, int percent, QString& error);
bool applyRedCast(CImageObject& image, const Rect* selection, QString& error);
bool applyGreenCast(CImageObject& image, const Rect* selection, QString& error);
bool applyBacklight(CImageObject& image, const Rect* selection, QString& error);
bool applyLowLight(CImageObject& image, const Rect* selection, QString& error);

// One colour's saturation rule: t = (r + g + b) / 3, each channel t + a(x - t) / 100
// capped at 255 and floored at 0.
void saturateColour(uint8_t& r, uint8_t& g, uint8_t& b, int percent);

}  // namespace quillon
