// Pictures made ready for other devices: a black-and-white print copy and the
// block the camera sender encodes.
#pragma once

#include "gmem/global_memory.h"
#include "imaging/bitmap.h"

namespace imaging {

// Turns the picture (already scaled to the printer's pixels) into 1 bit, black
// and white, by Floyd-Steinberg error diffusion of its luminance, which keeps
// the grey levels of a photograph on a printer that has only black dots. The
// two arguments are reserved and must be 0.
int printPreparation(Bitmap& bitmap, int option1, int option2);

// A packed DIB (40-byte header, 24 bits) whose rows run bottom-up as the
// record's row order code describes them: a record marked bottom-up gives its
// stored rows as they are. 0 when there is no picture or no memory.
GlobalHandle cameraExportBlock(const Bitmap& bitmap);

}  // namespace imaging
