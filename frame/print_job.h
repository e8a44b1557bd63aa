// One print job: the picture on one page, centred at its on-screen size or
// fitted to the printable area, in the printer's colours when colour matching
// is on, as a resized black-and-white copy on a device with black dots only.
// The program and quillon-cli both print through this.
#pragma once

#include "frame/print_layout.h"

#include <QByteArray>
#include <QString>

namespace quillon {

class CImageObject;
class PrintDevice;
class UiPort;

// The small window that says which picture is printing.
class PrintProgress {
public:
    virtual ~PrintProgress() = default;
    virtual void open(const QString& text) = 0;
    virtual void close() = 0;
};

struct PrintRequest {
    QString title;   // the document's title, shown while printing
    QString path;    // the document's file; empty for a picture never saved
    int screenDpiX = kFallbackScreenDpi;
    int screenDpiY = kFallbackScreenDpi;
    bool colourMatching = false;
    int intent = 0;          // 1 saturation, 2 contrast, 3 exact colours
    QByteArray profile;      // the printer's ICC profile
};

struct PrintReport {
    int result = 1;          // 0: no memory for the black-and-white copy
    bool delivered = false;  // the page went out
    PrintRect placed;        // where the picture was drawn, in printer pixels
};

// The name the print system shows for the job.
QString printDocumentName(const QString& path);
// "%sを印刷中です。" for that title.
QString printingText(const QString& title);

PrintReport runPrintJob(const CImageObject& picture, const PrintRequest& request, PrintDevice& device,
                        UiPort& ui, PrintProgress* progress);

}  // namespace quillon
