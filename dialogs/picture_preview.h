// A small bordered window that shows a picture stretched to its size: the
// Open dialog's preview (100 x 80).
#pragma once

#include "image/image_object.h"
#include "image/image_window_sink.h"

#include <QFrame>

namespace quillon {

class CPicturePreview : public QFrame, public ImageWindowSink {
public:
    explicit CPicturePreview(QWidget* parent = nullptr);
    ~CPicturePreview() override;

    CImageObject& picture() { return m_picture; }
    // Releases the picture and paints the empty window.
    void clear();

    bool isShown() const override { return isVisible(); }
    void announcePaletteChanged() override {}
    void invalidateAll() override { update(); }
    void layoutAndScroll() override { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CImageObject m_picture;
};

}  // namespace quillon
