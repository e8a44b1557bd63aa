// The Save As dialog's pick mode as a picture view sees it. While the
// dialog waits for a pixel, active() returns it; the active view then takes
// a left click in its picture as the pick:
//
//     if (quillon::TransparentPick* pick = quillon::TransparentPick::active()) {
//         const int index = quillon::pickTransparentAt(image, pictureX, pictureY);
//         ui.beep();
//         pick->pickedInView(index);
//         return;
//     }
//
// where (pictureX, pictureY) = (scroll origin + click point) * 100 / zoom.
// Clicks anywhere else never reach the program's windows while picking.
#pragma once

namespace quillon {

class CImageObject;

class TransparentPick {
public:
    // The dialog that is picking now, or nullptr.
    static TransparentPick* active();
    // The view picked the pixel with this palette index (after setting the
    // picture's GIF options and beeping); pick mode ends.
    virtual void pickedInView(int pixelIndex) = 0;

protected:
    virtual ~TransparentPick();
    static void setActive(TransparentPick* pick);
};

// Sets the picture's transparent flag and index from the pixel at picture
// point (x, y) (index 0 outside the picture) and returns the index.
int pickTransparentAt(CImageObject& picture, int x, int y);

}  // namespace quillon
