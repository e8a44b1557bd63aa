// Header and extension values of a GIF file, kept with the picture so that
// saving it again writes them back.
#pragma once

#include <cstdint>

namespace quillon {

struct GifOptions {
    int32_t is89a = 0;
    int32_t hasGlobalTable = 0;
    int32_t globalTableEntries = 0;
    int32_t colorResolution = 0;
    int32_t aspect = 0;
    int32_t background = 0;
    int32_t interlaced = 0;
    int32_t transparent = 0;
    int32_t transparentIndex = 0;
};

}  // namespace quillon
