// The save-format table as the codec tests need it: format code, extension
// and the depth the table hands each writer for a picture's depth.
#pragma once

#include "imaging/codec_table.h"

#include <string>
#include <vector>

namespace imaging::testing {

struct SaveFormat {
    int code;
    const char* extension;
};

inline const std::vector<SaveFormat>& codecSaveFormats() {
    static const std::vector<SaveFormat> formats = {
        {4, "tga"},  {1, "pcx"},  {50, "cal"}, {51, "mac"}, {52, "img"}, {53, "msp"},
        {54, "wpg"}, {55, "ras"}, {56, "pct"}, {16, "eps"}, {15, "wmf"}, {71, "ica"},
        {69, "fxs"}, {76, "psd"},
    };
    return formats;
}

// Bits handed to the writer, starting from the picture's own depth.
inline int handedBits(int code, int bits) {
    switch (code) {
    case 4: return bits < 8 ? 8 : bits;
    case 1: case 55: case 56: return bits == 16 ? 24 : bits;
    case 50: case 51: case 52: case 53: case 71: case 69: return 1;
    case 54: return bits >= 9 ? 8 : bits;
    case 16: return 8;
    case 15: return bits == 1 || bits == 4 ? 8 : bits == 16 ? 24 : bits;
    case 76: return bits == 4 ? 8 : bits == 16 ? 24 : bits;
    default: return bits;
    }
}

// The depth the library really writes: the handed one, or the nearest the
// writer takes (the save role's own fallback).
inline int writtenBits(int code, int handed) {
    const Codec* codec = codecForCode(code);
    if (!codec || !codec->writesDepth) return 0;
    if (codec->writesDepth(handed)) return handed;
    return handed > 8 ? 24 : 8;
}

inline std::string extensionOf(int code) {
    for (const SaveFormat& f : codecSaveFormats())
        if (f.code == code) return f.extension;
    return "bin";
}

}  // namespace imaging::testing
