// The capture commands that hand a whole job to others: 109 takes the whole
// screen, 110 and 111 ask the capture library for a scan or a video still
// (its own dialogs open over the view), 118 asks it to calibrate the scanner.
#pragma once

#include "frame/screen_reader.h"
#include "gmem/global_memory.h"

#include <functional>
#include <optional>

namespace quillon {

class CMainFrame;
class CQuillonApp;
class CQuillonView;
class UiPort;

struct CaptureHooks {
    // How the screen is read; tests may replace it.
    std::function<std::optional<ScreenPicture>()> readScreen;
};

void installCaptureCommands(CMainFrame& frame, CQuillonApp& app, CaptureHooks& hooks);

// The view's picture becomes the packed DIB (which is freed): undo prepared
// first, 5019 when the block cannot be locked. False when nothing changed.
bool placeCapturedDib(CQuillonView& view, GlobalHandle dib, UiPort& ui);

// 109 on that view: the main window hidden for a second, the screen read
// into the picture, the window back restored.
void captureWholeScreen(CMainFrame& frame, CQuillonView& view, const CaptureHooks& hooks);

}  // namespace quillon
