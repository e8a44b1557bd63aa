#include "effects/channel_tables.h"

#include <algorithm>
#include <cmath>

namespace quillon {
namespace {

ChannelTable powerTable(double exponent) {
    ChannelTable t{};
    for (int i = 0; i < 256; ++i) {
        const double x = i * 0.00392156862745098;
        t[size_t(i)] = uint8_t(std::trunc(std::pow(x, exponent) * 255.0));
    }
    return t;
}

ChannelTable filterTable(int percent) {
    ChannelTable t{};
    for (int i = 0; i < 256; ++i) t[size_t(i)] = uint8_t(std::min(i * percent / 100, 255));
    return t;
}

}  // namespace

ChannelTables powerTables(double redExponent, double greenExponent, double blueExponent) {
    return {powerTable(redExponent), powerTable(greenExponent), powerTable(blueExponent)};
}

double hueExponent(int value) { return std::pow(1.075222508, -value); }

ChannelTables filterTables(int redPercent, int greenPercent, int bluePercent) {
    return {filterTable(redPercent), filterTable(greenPercent), filterTable(bluePercent)};
}

const ChannelTable& backlightTable() {
    static const ChannelTable table = {
        0,   1,   4,   5,   7,   9,   11,  12,  13,  16,  17,  19,  21,  23,  24,  27,  28,  29,  31,  33,  34,  36,
        38,  40,  41,  42,  45,  46,  47,  49,  51,  52,  54,  55,  57,  59,  60,  61,  62,  65,  66,  67,  68,  70,
        71,  73,  74,  76,  77,  78,  79,  80,  81,  84,  85,  86,  87,  88,  89,  90,  91,  92,  93,  95,  96,  97,
        98,  99,  100, 101, 102, 103, 104, 105, 106, 106, 107, 108, 109, 110, 111, 112, 113, 113, 114, 115, 116, 117,
        118, 118, 119, 120, 121, 122, 122, 123, 124, 125, 125, 125, 126, 127, 127, 128, 129, 130, 130, 131, 132, 133,
        133, 134, 135, 135, 136, 136, 137, 137, 138, 139, 139, 140, 141, 142, 142, 143, 144, 144, 144, 145, 145, 146,
        147, 147, 148, 149, 150, 150, 150, 151, 151, 152, 153, 153, 154, 155, 155, 155, 156, 157, 158, 158, 159, 160,
        160, 160, 161, 162, 162, 163, 164, 165, 165, 165, 166, 167, 168, 169, 169, 169, 170, 171, 172, 172, 173, 173,
        174, 175, 176, 177, 177, 177, 178, 179, 180, 180, 181, 182, 183, 184, 184, 185, 186, 187, 187, 188, 189, 190,
        190, 191, 192, 193, 194, 195, 196, 196, 197, 198, 199, 199, 201, 202, 202, 203, 204, 205, 206, 207, 207, 208,
        209, 210, 211, 212, 213, 213, 215, 215, 216, 217, 218, 219, 220, 221, 222, 223, 223, 225, 225, 226, 227, 228,
        229, 230, 231, 232, 233, 234, 235, 235, 236, 237, 238, 239, 240, 241};
    return table;
}

const ChannelTable& lowLightTable() {
    static const ChannelTable table = [] {
        ChannelTable t{};
        for (int i = 0; i < 256; ++i) t[size_t(i)] = uint8_t(std::min(i + 17, 255));
        return t;
    }();
    return table;
}

ChannelTable levelsTable(int low, int high) {
    ChannelTable t{};
    for (int j = 0; j < 256; ++j) {
        if (j <= low) t[size_t(j)] = 0;
        else if (j >= high) t[size_t(j)] = 255;
        else t[size_t(j)] = uint8_t(std::trunc(double(j - low) * 255.0 / double(high - low)));
    }
    return t;
}

}  // namespace quillon
