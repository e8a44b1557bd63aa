// The Open dialog's preview rules without widgets: whether the preview is
// on, which file it should show as the selection changes, and when it is
// cleared.
#pragma once

#include <QString>

namespace quillon {

class OpenPreviewModel {
public:
    explicit OpenPreviewModel(bool enabled) : m_enabled(enabled) {}

    bool enabled() const { return m_enabled; }
    QString selection() const { return m_selection; }

    // What the preview should do after an event.
    struct Step {
        enum Kind { Nothing, Show, Clear } kind = Nothing;
        QString path;  // for Show
    };

    // The selected name changed (in folder): with the preview on, show it.
    // A bare name gets the folder in front.
    Step selectionChanged(const QString& name, const QString& folder);
    // The box was ticked (show the current selection, if any) or cleared.
    Step setEnabled(bool on);

private:
    bool m_enabled;
    QString m_selection;  // full path of the current selection, or empty
};

}  // namespace quillon
