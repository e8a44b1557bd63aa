#include "effects/effect_preview.h"

namespace quillon {

bool EffectPreview::open() {
    m_backup = m_picture.duplicate();
    return m_backup != nullptr;
}

bool EffectPreview::show(const std::function<bool(CImageObject&)>& effect, bool* effectResult) {
    if (!m_backup) return false;
    std::unique_ptr<CImageObject> fresh = m_backup->duplicate();
    if (!fresh) return false;
    m_picture.takeOver(*fresh, false);
    const bool ok = effect(m_picture);
    if (effectResult) *effectResult = ok;
    m_previewing = true;
    m_picture.refresh();
    return true;
}

bool EffectPreview::restore(bool redraw) {
    if (!m_backup) return false;
    std::unique_ptr<CImageObject> fresh = m_backup->duplicate();
    if (!fresh) {
        // Without memory for a copy the backup itself goes back.
        const bool ok = m_picture.takeOver(*m_backup, redraw);
        m_backup.reset();
        m_previewing = false;
        return ok;
    }
    m_previewing = false;
    return m_picture.takeOver(*fresh, redraw);
}

}  // namespace quillon
