#include "effects/geometry_commands.h"

#include "app/quillon_app.h"
#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "effects/geometry_dialogs.h"
#include "effects/geometry_effects.h"
#include "frame/main_frame.h"
#include "image/image_object.h"
#include "resources/strings.h"
#include "ui/ui_port.h"
#include "ui/wait_cursor.h"

#include <functional>
#include <optional>

namespace quillon {
namespace {

using Procedure = std::function<bool(CImageObject&, const Rect*, int& message)>;

// The undo snapshot, the procedure under the wait cursor, its message on
// failure, the refresh and the modified mark. Effects that keep the
// selection work on its rectangle and select it again afterwards.
void runOnView(CQuillonView& view, UiPort& ui, bool onSelection, const Procedure& procedure) {
    std::optional<Rect> area;
    if (onSelection) {
        view.finishPendingWork(true, true, false);
        area = view.selection();
    } else {
        view.finishPendingWork(false, false, true);
    }
    if (!view.prepareUndo()) return;
    int message = 0;
    bool ok;
    {
        WaitCursor wait;
        ok = procedure(view.image(), area ? &*area : nullptr, message);
    }
    if (!ok) {
        if (message) ui.message(loadString(message), MsgButtons::Ok, MsgIcon::Exclamation);
        else view.reportImagingError();
    }
    view.image().sizeChanged();
    view.image().refresh();
    if (ok) view.document().setModified(true);
    if (area) view.select(area);
}

void rotateView(CQuillonView& view, UiPort& ui, int degrees) {
    view.finishPendingWork(false, false, true);
    if (degrees == 0) return;
    runOnView(view, ui, false, [degrees](CImageObject& p, const Rect*, int& m) {
        return rotatePictureDegrees(p, degrees, m);
    });
}

}  // namespace

void installGeometryCommands(CMainFrame& f, CQuillonApp& app) {
    const auto onView = [&f](std::function<void(CQuillonView&)> run) {
        return [&f, run] {
            if (CQuillonView* view = f.activeView(); view && view->hasPicture()) run(*view);
            f.updateCommandUi();
        };
    };
    const auto effect = [&](bool onSelection, Procedure procedure) {
        return onView([&app, onSelection, procedure](CQuillonView& v) { runOnView(v, app.ui(), onSelection, procedure); });
    };
    const auto filter = [&](int amount) {
        return effect(true, [amount](CImageObject& p, const Rect* a, int& m) { return filterPicture(p, a, amount, m); });
    };
    for (const auto& [id, degrees] : {std::pair{120, 90}, {121, 270}, {122, 2}, {123, 358}})
        f.setHandler(id, onView([&app, degrees = degrees](CQuillonView& v) { rotateView(v, app.ui(), degrees); }));
    f.setHandler(124, onView([&app](CQuillonView& v) {
        v.finishPendingWork(false, false, true);
        if (const std::optional<int> angle = runRotationDialog(v, app.ui(), app.dialogParent()))
            rotateView(v, app.ui(), *angle);
    }));
    f.setHandler(125, onView([&app](CQuillonView& v) {
        if (v.toolWindow()) return;
        v.finishPendingWork(false, false, true);
        TiltDlg::open(v, app.ui(), app.dialogParent());
    }));
    f.setHandler(126, onView([&app](CQuillonView& v) {
        v.finishPendingWork(false, false, true);
        const std::optional<QSize> size = runResizeDialog(v.image().width(), v.image().height(), app.dialogParent());
        if (!size) return;
        runOnView(v, app.ui(), false, [size](CImageObject& p, const Rect*, int& m) {
            return resizePictureTo(p, size->width(), size->height(), m);
        });
        v.layoutView();
    }));
    f.setHandler(127, effect(true, [](CImageObject& p, const Rect* a, int& m) { return flipPicture(p, a, true, m); }));
    f.setHandler(128, effect(true, [](CImageObject& p, const Rect* a, int& m) { return flipPicture(p, a, false, m); }));
    f.setHandler(129, filter(kBlurAmount));
    f.setHandler(130, filter(kStrongBlurAmount));
    f.setHandler(131, filter(kSharpenAmount));
    f.setHandler(132, filter(kStrongSharpenAmount));
    f.setHandler(144, filter(kStrongSharpenAmount));
    f.setHandler(149, effect(true, [](CImageObject& p, const Rect* a, int& m) { return removeNoise(p, a, m); }));
    f.setHandler(133, effect(true, [](CImageObject& p, const Rect* a, int& m) { return invertPicture(p, a, m); }));
}

}  // namespace quillon
