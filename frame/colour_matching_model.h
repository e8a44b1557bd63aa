// The colour-matching controls of the print dialog without widgets: check
// box 1261 and the intent radios 1262 to 1264, refreshed from the chosen
// printer.
#pragma once

namespace quillon {

// What the dialog knows about the chosen printer.
struct PrinterColour {
    bool colour = false;        // prints in colour with the current settings
    bool profileKnown = false;  // a colour profile for it was found
    bool matchingOn = true;     // the printer's own choice for colour matching
    int intent = 0;             // the printer's default intent (1 to 3), 0 when none
};

class ColourMatchingModel {
public:
    // Initialisation: the first radio, then a refresh.
    void initialise(const PrinterColour& printer);
    void refresh(const PrinterColour& printer);
    // The check box clicked.
    void setChecked(bool checked);
    void selectIntent(int intent);

    bool checkEnabled() const { return m_checkEnabled; }
    bool checked() const { return m_checked; }
    bool radiosEnabled() const { return m_checkEnabled && m_checked; }
    int selectedIntent() const { return m_intent; }

private:
    bool m_checkEnabled = false;
    bool m_checked = false;
    int m_intent = 1;
};

}  // namespace quillon
