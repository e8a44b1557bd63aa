#include "frame/cups_job_device.h"

#include "frame/spooler_messages.h"

#include <QPrintEngine>
#include <QPrinter>

#include <cups/cups.h>

namespace quillon {
namespace {

// Where Qt's print dialog leaves the options of the printer's properties
// (name, value, name, value, ...).
constexpr auto kQtCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

}  // namespace

CupsJobDevice::CupsJobDevice(const QPrinter& printer, int dpi, bool blackOnly, bool colourMatched)
    : PdfPageDevice(printer.pageLayout(), dpi, blackOnly), m_printer(printer.printerName()) {
    const auto add = [this](const QByteArray& name, const QByteArray& value) { m_options.append({name, value}); };
    const QStringList fromProperties = printer.printEngine()->property(kQtCupsOptions).toStringList();
    for (qsizetype i = 0; i + 1 < fromProperties.size(); i += 2)
        add(fromProperties[i].toUtf8(), fromProperties[i + 1].toUtf8());
    add("copies", QByteArray::number(printer.copyCount()));
    add("multiple-document-handling", printer.collateCopies() ? "separate-documents-collated-copies"
                                                              : "separate-documents-uncollated-copies");
    const QString media = printer.pageLayout().pageSize().key();
    if (!media.isEmpty()) add("media", media.toUtf8());
    add("print-color-mode", printer.colorMode() == QPrinter::Color ? "color" : "monochrome");
    // The filters would convert the colours a second time.
    if (colourMatched) add("cm-calibration", "true");
}

int spoolResultOfCups(int ippStatus, int httpStatus) {
    if (ippStatus < 0x0100 && httpStatus < 400) return kSpoolDone;
    // The scheduler could not store the job: its spool area is full.
    if (ippStatus == IPP_STATUS_ERROR_REQUEST_ENTITY || httpStatus == HTTP_STATUS_REQUEST_TOO_LARGE)
        return kSpoolOutOfDisk;
    if (ippStatus == IPP_STATUS_ERROR_JOB_CANCELED) return kSpoolUserAbort;
    return kSpoolError;
}

int CupsJobDevice::deliver(const QByteArray& pdf, const QString& documentName) {
    // A connection of our own, so that the HTTP status of a refused body can be read.
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    if (!http) return kSpoolError;
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [name, value] : m_options)
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    const QByteArray printer = m_printer.toUtf8();
    const QByteArray title = documentName.toUtf8();
    m_job = cupsCreateJob(http, printer.constData(), title.constData(), count, options);
    cupsFreeOptions(count, options);
    if (m_job <= 0) {
        const int result = spoolResultOfCups(cupsLastError(), httpGetStatus(http));
        httpClose(http);
        return result;
    }
    http_status_t sent =
        cupsStartDocument(http, printer.constData(), m_job, title.constData(), CUPS_FORMAT_PDF, 1);
    if (sent == HTTP_STATUS_CONTINUE) sent = cupsWriteRequestData(http, pdf.constData(), size_t(pdf.size()));
    const ipp_status_t finished = cupsFinishDocument(http, printer.constData());
    const int result = spoolResultOfCups(finished, httpGetStatus(http));
    if (result != kSpoolDone) cupsCancelJob2(http, printer.constData(), m_job, 0);
    httpClose(http);
    return result;
}

}  // namespace quillon
