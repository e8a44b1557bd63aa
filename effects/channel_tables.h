// The 256-entry channel tables of the colour and tone effects: every
// per-pixel formula is reduced to one table per channel, built once per call,
// so the pixel loop does three lookups a pixel.
#pragma once

#include <array>
#include <cstdint>

namespace quillon {

using ChannelTable = std::array<uint8_t, 256>;

struct ChannelTables {
    ChannelTable red{}, green{}, blue{};
};

// trunc(pow(i / 255, e) x 255) for each channel's exponent.
ChannelTables powerTables(double redExponent, double greenExponent, double blueExponent);
// The hue adjustment's exponent for v in -100..100: 1.075222508^-v.
double hueExponent(int value);
// min(i x percent / 100, 255), integer division.
ChannelTables filterTables(int redPercent, int greenPercent, int bluePercent);
// The fixed tables of the photo corrections.
const ChannelTable& backlightTable();
const ChannelTable& lowLightTable();
// Levels: 0 up to low, 255 from high, a straight ramp between.
ChannelTable levelsTable(int low, int high);

}  // namespace quillon
