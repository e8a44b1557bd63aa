// print: a picture on one PDF page, laid out and drawn as the program prints it.
#include "cli/commands.h"
#include "cli/console_port.h"
#include "frame/print_device.h"
#include "frame/print_job.h"
#include "image/error_messages.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"

#include <QPageSize>
#include <QRegularExpression>

namespace quillon::cli {
namespace {

int printUsage(ConsolePort& console) {
    const Command* command = findCommand(QStringLiteral("print"));
    console.error(QStringLiteral("usage: quillon-cli print %1").arg(command ? command->usage : ""));
    return kUsage;
}

bool positive(const QString& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value > 0;
}

}  // namespace

int runPrint(const QStringList& arguments, ConsolePort& console) {
    QStringList paths;
    int printerDpi = 300, screenDpi = kFallbackScreenDpi;
    int pageWidth = 0, pageHeight = 0;
    bool mono = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--printer-dpi" && hasValue) {
            if (!positive(arguments[++i], printerDpi)) return printUsage(console);
        } else if (a == "--screen-dpi" && hasValue) {
            if (!positive(arguments[++i], screenDpi)) return printUsage(console);
        } else if (a == "--page" && hasValue) {
            const auto match = QRegularExpression(QStringLiteral("^(\\d+)[xX](\\d+)$")).match(arguments[++i]);
            if (!match.hasMatch() || !positive(match.captured(1), pageWidth) || !positive(match.captured(2), pageHeight))
                return printUsage(console);
        } else if (a == "--mono") {
            mono = true;
        } else if (a.startsWith("--")) {
            return printUsage(console);
        } else {
            paths << a;
        }
    }
    if (paths.size() != 2) return printUsage(console);

    CImageObject picture;
    if (!openPicture(picture, paths[0])) {
        reportImagingError(console);
        return kFailed;
    }
    // PDF pages measure whole points: the printable area is what the page
    // comes to at the printer's resolution, as the report line says.
    const QPageLayout layout =
        pageWidth > 0 ? pixelPageLayout(pageWidth, pageHeight, printerDpi)
                      : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    PdfFileDevice device(paths[1], layout, printerDpi, mono);
    PrintRequest request;
    request.title = paths[0];
    request.path = paths[0];
    request.screenDpiX = request.screenDpiY = screenDpi;
    const PrintReport report = runPrintJob(picture, request, device, console, nullptr);
    if (!report.delivered) {
        if (!device.errorText().isEmpty()) console.error(paths[1] + ": " + device.errorText());
        return kFailed;
    }
    console.print(QStringLiteral("page: %1x%2 at %3 dpi")
                      .arg(device.pageWidth()).arg(device.pageHeight()).arg(printerDpi));
    console.print(QStringLiteral("picture: %1x%2 at %3,%4")
                      .arg(report.placed.width).arg(report.placed.height)
                      .arg(report.placed.left).arg(report.placed.top));
    return kDone;
}

}  // namespace quillon::cli
