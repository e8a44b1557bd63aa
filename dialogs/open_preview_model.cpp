#include "dialogs/open_preview_model.h"

#include "dialogs/file_names.h"

namespace quillon {

OpenPreviewModel::Step OpenPreviewModel::selectionChanged(const QString& name,
                                                          const QString& folder) {
    m_selection = name.isEmpty() ? QString() : joinFolder(folder, name);
    if (!m_enabled) return {};
    if (m_selection.isEmpty()) return {Step::Clear, {}};
    return {Step::Show, m_selection};
}

OpenPreviewModel::Step OpenPreviewModel::setEnabled(bool on) {
    m_enabled = on;
    if (!on) return {Step::Clear, {}};
    if (m_selection.isEmpty()) return {};
    return {Step::Show, m_selection};
}

}  // namespace quillon
