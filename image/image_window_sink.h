// What an image object asks of the window that shows it. The image window
// implements it; an object without a window has none and skips display work.
#pragma once

namespace quillon {

class ImageWindowSink {
public:
    virtual ~ImageWindowSink() = default;
    virtual bool isShown() const = 0;
    // The paint palette changed: the frame lets every picture window realise its own.
    virtual void announcePaletteChanged() = 0;
    virtual void invalidateAll() = 0;
    // Display size changed: lay the window out and update the scroll bars.
    virtual void layoutAndScroll() = 0;
};

}  // namespace quillon
