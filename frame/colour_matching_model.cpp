#include "frame/colour_matching_model.h"

namespace quillon {

void ColourMatchingModel::initialise(const PrinterColour& printer) {
    m_intent = 1;
    refresh(printer);
}

void ColourMatchingModel::refresh(const PrinterColour& printer) {
    if (!printer.colour || !printer.profileKnown) {
        m_checkEnabled = false;
        m_checked = false;
        return;
    }
    m_checkEnabled = true;
    m_checked = printer.matchingOn;
    if (printer.intent >= 1 && printer.intent <= 3) m_intent = printer.intent;
}

void ColourMatchingModel::setChecked(bool checked) {
    if (m_checkEnabled) m_checked = checked;
}

void ColourMatchingModel::selectIntent(int intent) {
    if (intent >= 1 && intent <= 3) m_intent = intent;
}

}  // namespace quillon
