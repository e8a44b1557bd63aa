// The save flows' dialogs as Qt widgets.
#pragma once

#include "dialogs/save_as_dialog.h"
#include "dialogs/save_flows.h"

namespace quillon {

class QtSaveDialogPort : public SaveDialogPort {
public:
    QtSaveDialogPort(UiPort& ui, PickSetup pick, QWidget* parent)
        : m_ui(ui), m_pick(std::move(pick)), m_parent(parent) {}
    std::optional<QString> runSaveAs(SaveAsModel& model, const QString& folder) override;
    bool runQuality(QualityModel& model) override;

private:
    UiPort& m_ui;
    PickSetup m_pick;
    QWidget* m_parent;
};

}  // namespace quillon
