#include "frame/print_job.h"

#include "frame/colour_matching.h"
#include "frame/print_device.h"
#include "frame/spooler_messages.h"
#include "image/image_effects.h"
#include "image/image_object.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QPainter>

#include <memory>

namespace quillon {
namespace {

// Closes the progress window once, on whichever path comes first.
class ProgressGuard {
public:
    explicit ProgressGuard(PrintProgress* progress) : m_progress(progress) {}
    ~ProgressGuard() { close(); }
    void open(const QString& text) {
        if (m_progress) m_progress->open(text);
    }
    void close() {
        if (m_progress) m_progress->close();
        m_progress = nullptr;
    }

private:
    PrintProgress* m_progress;
};

}  // namespace

QString printDocumentName(const QString& path) { return path.isEmpty() ? QStringLiteral("New") : path; }

QString printingText(const QString& title) {
    return QString::fromUtf8("%sを印刷中です。").replace(QStringLiteral("%s"), title);
}

PrintReport runPrintJob(const CImageObject& picture, const PrintRequest& request, PrintDevice& device,
                        UiPort& ui, PrintProgress* progress) {
    PrintReport report;
    const int width = picture.width(), height = picture.height();
    const QString name = printDocumentName(request.path);
    ProgressGuard window(progress);
    window.open(printingText(request.title));

    PageGeometry page;
    page.printerDpiX = device.dpiX();
    page.printerDpiY = device.dpiY();
    page.screenDpiX = request.screenDpiX;
    page.screenDpiY = request.screenDpiY;
    page.pageWidth = device.pageWidth();
    page.pageHeight = device.pageHeight();
    const PrintRect rect = layoutPicture(width, height, page);
    report.placed = rect;

    // Black dots only: a copy at the page size, made black and white here.
    std::unique_ptr<CImageObject> mono;
    if (device.blackOnly()) {
        mono = picture.duplicate();
        if (!mono || !resizePicture(*mono, rect.width, rect.height, false)) {
            window.close();
            ui.message(loadString(5012), MsgButtons::Ok, MsgIcon::Exclamation);
            report.result = 0;
            return report;
        }
        printPreparation(*mono, 0, 0, false);
    }

    QPaintDevice* target = device.startDocument(name);
    QPainter painter;
    if (!target || !painter.begin(target)) {
        window.close();
        device.abortDocument();
        showSpoolerMessage(ui, kSpoolError);
        return report;
    }

    bool aborted = false;
    QImage image = (mono ? *mono : picture).toDeviceImage();
    if (!image.isNull() && request.colourMatching && !mono)
        image = matchColours(image, request.profile, request.intent);
    if (image.isNull()) {
        window.close();
        ui.message(loadString(5055), MsgButtons::Ok, MsgIcon::Stop);
        aborted = true;
    } else {
        if (!mono) painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(rect.left, rect.top, rect.width, rect.height), image);
    }
    painter.end();
    mono.reset();

    if (aborted) {
        device.abortDocument();
        return report;
    }
    const int ended = device.endDocument();
    if (ended < 0) {
        window.close();
        showSpoolerMessage(ui, ended);
        return report;
    }
    report.delivered = true;
    return report;
}

}  // namespace quillon
