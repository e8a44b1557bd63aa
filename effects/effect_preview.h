// The preview protocol of the effect dialogs: a backup of the picture taken
// when the dialog opens, every preview made again from that backup (previews
// never accumulate), and the backup put back when the dialog ends, with
// redraw for Cancel and without for OK (the command then applies the effect
// once, with its undo snapshot).
#pragma once

#include "image/image_object.h"

#include <functional>
#include <memory>

namespace quillon {

class EffectPreview {
public:
    explicit EffectPreview(CImageObject& picture) : m_picture(picture) {}

    // Takes the backup; false when it cannot be had (message 5018, the
    // dialog does not stay open).
    bool open();
    // A fresh copy of the backup into the picture, then the effect on it, then
    // a refresh. False when the copy cannot be had (message 5019, the dialog
    // ends as cancelled); the effect's own result is the second value.
    bool show(const std::function<bool(CImageObject&)>& effect, bool* effectResult = nullptr);
    // The backup back into the picture; the backup stays for further use.
    bool restore(bool redraw);
    const CImageObject* backup() const { return m_backup.get(); }
    bool previewing() const { return m_previewing; }

private:
    CImageObject& m_picture;
    std::unique_ptr<CImageObject> m_backup;
    bool m_previewing = false;
};

}  // namespace quillon
