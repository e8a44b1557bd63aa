#include "frame/print_command.h"

#include "frame/cups_job_device.h"
#include "frame/print_file_dlg.h"
#include "frame/print_job.h"
#include "frame/print_progress_window.h"
#include "frame/printer_colour.h"
#include "image/file_dispatch.h"

#include <QPrinter>

namespace quillon {

int printPicture(const CImageObject& picture, const QString& title, const QString& path, UiPort& ui,
                 QWidget* parent, const PrintDialogRunner& runDialog) {
    QPrinter printer(QPrinter::HighResolution);
    CPrintFileDlg dialog(&printer, parent);
    if (runDialog) runDialog(dialog);
    else dialog.exec();
    if (dialog.result() != QDialog::Accepted) return 1;

    PrintRequest request;
    request.title = title;
    request.path = path;
    const ScreenInfo screen = screenInfo();
    request.screenDpiX = screen.xDpi;
    request.screenDpiY = screen.yDpi;
    request.colourMatching = dialog.colourMatching() && dialog.profile();
    if (request.colourMatching) {
        request.intent = dialog.intent();
        request.profile = dialog.profile()->bytes;
    }
    const int dpi = printerDefaultDpi(printer.printerName()).value_or(printer.resolution());
    CupsJobDevice device(printer, dpi, printerBlackOnly(printer.printerName()), request.colourMatching);
    PrintProgressWindow progress(parent ? parent->window() : nullptr);
    return runPrintJob(picture, request, device, ui, &progress).result;
}

}  // namespace quillon
