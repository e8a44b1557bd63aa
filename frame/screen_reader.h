// Reading the whole screen as it looks now. On X11 the server gives its
// pixels to any client; on Wayland no program may read the screen, so the
// desktop is asked through its screenshot portal, which asks the user.
#pragma once

#include <QImage>

#include <optional>

namespace quillon {

struct ScreenPicture {
    QImage image;
    int depth = 24;  // bits per pixel of the screen
};

// The whole primary screen, or nothing when it cannot be read (or the user
// refused the portal's request).
std::optional<ScreenPicture> readWholeScreen();

// The portal's answer alone: a picture the desktop wrote to a file, or
// nothing on a refusal, an error, or no portal on the session bus.
std::optional<ScreenPicture> readScreenThroughPortal();

}  // namespace quillon
