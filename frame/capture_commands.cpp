#include "frame/capture_commands.h"

#include "app/quillon_app.h"
#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "frame/main_frame.h"
#include "frame/screen_reader.h"
#include "orrery/orrery.h"
#include "resources/strings.h"
#include "ui/progress_window.h"
#include "ui/ui_port.h"
#include "ui/wait_cursor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

namespace quillon {

bool placeCapturedDib(CQuillonView& view, GlobalHandle dib, UiPort& ui) {
    if (view.hasPicture() && !view.prepareUndo()) {
        gmemFree(dib);
        return false;
    }
    if (!gmemLock(dib)) {
        ui.message(loadString(5019), MsgButtons::Ok, MsgIcon::Stop);
        gmemFree(dib);
        return false;
    }
    gmemUnlock(dib);
    const bool hadPicture = view.hasPicture();
    const bool placed = view.image().fromPackedDib(dib, true, true);
    gmemFree(dib);
    if (!placed) {
        view.reportImagingError();
        return false;
    }
    if (!hadPicture) view.prepareUndo();
    view.resetZoom();
    view.document().setModified(true);
    return true;
}

void captureWholeScreen(CMainFrame& frame, CQuillonView& view, const CaptureHooks& hooks) {
    view.finishPendingWork(false, false, true);
    if (view.hasPicture() && !view.prepareUndo()) return;
    // Hidden, the program's windows take no clicks meanwhile.
    frame.hide();
    {
        WaitCursor wait;
        // The windows the frame covered repaint while the pump runs.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000 && pumpMessages())
            QCoreApplication::processEvents(QEventLoop::AllEvents, int(std::max<qint64>(1, 1000 - clock.elapsed())));
        const std::optional<ScreenPicture> screen = hooks.readScreen ? hooks.readScreen() : readWholeScreen();
        // A screen that cannot be read leaves the view without a picture and
        // says nothing: undo brings the old one back.
        const bool taken = screen ? view.image().fromScreenArea(screen->image, screen->depth, true)
                                  : (view.image().release(), false);
        if (taken) {
            view.document().setModified(true);
            view.resetZoom();
        }
        view.image().refresh();
    }
    frame.showNormal();
    view.selectionChanged();
}

void installCaptureCommands(CMainFrame& frame, CQuillonApp& app, CaptureHooks& hooks) {
    auto onView = [&frame, &app](std::function<void(CQuillonView&)> run) {
        return [&frame, &app, run] {
            CQuillonDoc* doc = frame.activeDocument();
            if (doc && doc->view()) run(*doc->view());
        };
    };
    frame.setHandler(109, onView([&frame, &hooks](CQuillonView& view) { captureWholeScreen(frame, view, hooks); }));
    // The library's dialogs open over the view: its window travels as a QWidget*.
    auto capture = [&app](CQuillonView& view, intptr_t request, bool scanner) {
        view.finishPendingWork(false, false, true);
        const intptr_t dib = app.captureLibrary().call(request, intptr_t(static_cast<QWidget*>(&view)));
        if (dib == 0) return;  // cancelled or failed: the library has said what it had to
        if (placeCapturedDib(view, GlobalHandle(dib), app.ui())) view.setScanned(scanner);
    };
    frame.setHandler(110, onView([capture](CQuillonView& v) { capture(v, ORRERY_SCAN, true); }));
    frame.setHandler(111, onView([capture](CQuillonView& v) { capture(v, ORRERY_VIDEO_CAPTURE, false); }));
    frame.setHandler(118, [&frame, &app] {
        app.captureLibrary().call(ORRERY_CALIBRATE, intptr_t(static_cast<QWidget*>(&frame)));
    });
}

}  // namespace quillon
