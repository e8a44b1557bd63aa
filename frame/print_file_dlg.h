// CPrintFileDlg: the print dialog (template 1260, "印刷") with an options tab
// holding the colour-matching group: check box 1261 and the intent radios
// 1262 to 1264, enabled exactly when the chosen printer prints in colour and
// its colour profile is known. Print-to-file, selection and page ranges are
// not offered; copies and collation go to the printer.
#pragma once

#include "frame/colour_matching_model.h"
#include "frame/printer_colour.h"

#include <QPrintDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;

namespace quillon {

class CPrintFileDlg : public QPrintDialog {
    Q_OBJECT
public:
    CPrintFileDlg(QPrinter* printer, QWidget* parent);

    // After OK: the colour-matching flag and intent (1 saturation, 2
    // contrast, 3 exact colours), and the profile they apply to.
    bool colourMatching() const { return m_flag; }
    int intent() const { return m_intent; }
    const std::optional<PrinterProfile>& profile() const { return m_profile; }

    // The printer the dialog shows.
    QString currentPrinterName() const;
    QWidget* optionsTab() const { return m_tab; }
    const ColourMatchingModel& model() const { return m_model; }

    void accept() override;

private:
    void refresh();
    void showModel();

    ColourMatchingModel m_model;
    std::optional<PrinterProfile> m_profile;
    QWidget* m_tab;
    QGroupBox* m_group;
    QCheckBox* m_check;
    QRadioButton* m_radios[3];
    QComboBox* m_printers = nullptr;
    bool m_flag = false;
    int m_intent = 1;
};

}  // namespace quillon
