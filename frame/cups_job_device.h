// The page handed to CUPS as one PDF job on the printer chosen in the print
// dialog, with its copies, collation, paper and colour mode. The job is
// created only when the page is complete, and cancelled when sending fails,
// so no half page reaches the printer.
#pragma once

#include "frame/print_device.h"

class QPrinter;

namespace quillon {

class CupsJobDevice : public PdfPageDevice {
public:
    // dpi: the printer's resolution; colourMatched: the page already holds
    // the printer's colours.
    CupsJobDevice(const QPrinter& printer, int dpi, bool blackOnly, bool colourMatched);
    int jobId() const { return m_job; }

protected:
    int deliver(const QByteArray& pdf, const QString& documentName) override;

private:
    QString m_printer;
    QList<QPair<QByteArray, QByteArray>> m_options;
    int m_job = 0;
};

// The spooler result for what CUPS reported (an IPP status, or an HTTP
// status where the request did not get that far).
int spoolResultOfCups(int ippStatus, int httpStatus);

}  // namespace quillon
