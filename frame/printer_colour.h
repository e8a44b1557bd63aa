// What the print system knows about a printer: whether it prints in colour,
// its colour profile (from colord, else from its PPD), its resolution.
#pragma once

#include "frame/colour_matching_model.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QPrinter;

namespace quillon {

struct PrinterProfile {
    QString path;
    QByteArray bytes;
    int intent = 0;  // the PPD's default rendering intent as a dialog intent, 0 when none
};

std::optional<PrinterProfile> findPrinterProfile(const QString& printerName);
// The resolution the printer prints at by default (its PPD's
// DefaultResolution), or nothing when it does not say.
std::optional<int> printerDefaultDpi(const QString& printerName);
// A printer whose only colour mode is grey: it prints black dots.
bool printerBlackOnly(const QString& printerName);
bool printerPrintsColour(const QString& printerName);

}  // namespace quillon
