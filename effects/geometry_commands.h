// The geometry and filter commands of the Effects menu: rotations 120-124,
// tilt correction 125, resize 126, flips 127 and 128, the filters 129-132,
// 144 and 149, and colour inversion 133. Each is one undo step.
#pragma once

namespace quillon {

class CMainFrame;
class CQuillonApp;

void installGeometryCommands(CMainFrame& frame, CQuillonApp& app);

}  // namespace quillon
