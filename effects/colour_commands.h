// The colour and tone commands of the document: brightness and contrast 134,
// saturation 135, histogram 136, depth conversion 137, sepia 138, gold-red
// 139, colour filter 140, hue 141, colour shift 143, backlight 145, low light
// 146, red cast 147, green cast 148. Their enabling is the command table's.
#pragma once

namespace quillon {

class CMainFrame;
class CQuillonApp;

void installColourCommands(CMainFrame& frame, CQuillonApp& app);

}  // namespace quillon
