// Removes the capture items that the bound capture library cannot serve.
#pragma once

#include "resources/menu_layout.h"

namespace quillon {

struct CaptureCapabilities {
    bool camera = false;       // capability bit 4: QV-10 work
    bool calibration = false;  // capability bit 8: scanner calibration
};

// Without calibration: command 118, then the capture popup's item at 10 (the
// separator above it). Without the camera: the File popup's item at 6 and the
// capture popup's item at 8 (the separators around the QV-10 items), then
// commands 101 and 112 to 117.
void pruneMenu(std::vector<PopupLayout>& menu, CaptureCapabilities caps);
// Without the camera, button 112 leaves the toolbar.
void pruneToolbar(std::vector<int>& buttons, CaptureCapabilities caps);

}  // namespace quillon
