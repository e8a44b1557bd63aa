// The geometry and filter effects on a picture, apart from the view: the
// rotations, flips, resize, the filter procedure (sharpen and blur), noise
// removal and colour inversion, each on the whole picture or on an area.
// None takes the undo snapshot; the menu commands take it first and the
// command line has none. A failure returns false with the message to show
// in message: a string-table id, or 0 for the library's message (the last
// imaging result).
#pragma once

#include "image/rect.h"

namespace quillon {

class CImageObject;

// Library amounts of the filter commands.
constexpr int kBlurAmount = -500;
constexpr int kStrongBlurAmount = -800;
constexpr int kSharpenAmount = 500;
constexpr int kStrongSharpenAmount = 800;

// 5021 on failure; 0 does nothing. Odd multiples of 90 swap width and height.
bool rotatePictureDegrees(CImageObject& picture, int degrees, int& message);
// Hundredths, as tilt correction turns; 0 does nothing. Odd multiples of 9000
// swap the sides, any other angle keeps the size with black corners.
bool rotatePictureHundredths(CImageObject& picture, int hundredths, int& message);
// Mirror (horizontal) or upside down (vertical); with an area only that
// rectangle, through 24 bits for palette pictures.
bool flipPicture(CImageObject& picture, const Rect* area, bool horizontal, int& message);
bool resizePictureTo(CImageObject& picture, int width, int height, int& message);
// The library's sharpen with amount on the picture or a copy of the area
// (through 24 bits and back with an optimised palette).
bool filterPicture(CImageObject& picture, const Rect* area, int amount, int& message);
// Strong blur then medium sharpen, at the picture's own depth.
bool removeNoise(CImageObject& picture, const Rect* area, int& message);
// 1-bit pictures without an area flip every bit (the palette stays).
bool invertPicture(CImageObject& picture, const Rect* area, int& message);

// The rotation, in hundredths, that makes a line drawn at angle t (hundredths)
// horizontal or vertical.
int tiltCorrection(int lineAngle, bool vertical);

}  // namespace quillon
