#include "effects/colour_commands.h"

#include "app/quillon_app.h"
#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "effects/area_procedure.h"
#include "effects/colour_dialogs.h"
#include "effects/colour_effects.h"
#include "effects/tone_dialogs.h"
#include "frame/main_frame.h"
#include "image/last_result.h"
#include "ui/ui_port.h"

namespace quillon {
namespace {

using AreaEffect = std::function<bool(CImageObject&, const Rect*, QString&)>;

// One undo step: commit keeping the selection, snapshot, the effect on the
// work area, refresh, modified; the selection is drawn again afterwards.
void applyToView(CQuillonView& view, UiPort& ui, const AreaEffect& effect) {
    const std::optional<Rect> area = view.selection();
    view.applyChange([&](CImageObject& picture) {
        QString error;
        const bool ok = effect(picture, area ? &*area : nullptr, error);
        // Library failures are the view's to report; the effects' own messages are shown here.
        if (!ok && !error.isEmpty() && lastImagingResult() >= 1) ui.message(error, MsgButtons::Ok, MsgIcon::Exclamation);
        return ok;
    });
    if (area) view.select(area);
}

}  // namespace

void installColourCommands(CMainFrame& f, CQuillonApp& app) {
    // Runs body on the active view, then lets the frame enable its commands anew.
    const auto onView = [&f](std::function<void(CQuillonView&)> body) {
        return [&f, body] {
            if (CQuillonView* view = f.activeView(); view && view->hasPicture()) body(*view);
            f.updateCommandUi();
        };
    };
    const auto plain = [&app, onView](AreaEffect effect, bool erase) {
        return onView([&app, effect, erase](CQuillonView& view) {
            view.finishPendingWork(erase, true, false);
            applyToView(view, app.ui(), effect);
        });
    };
    f.setHandler(138, plain(applySepia, false));
    f.setHandler(139, plain(applyGoldRed, false));
    f.setHandler(145, plain(applyBacklight, true));
    f.setHandler(146, plain(applyLowLight, true));
    f.setHandler(147, plain(applyRedCast, false));
    f.setHandler(148, plain(applyGreenCast, false));

    f.setHandler(134, onView([&app](CQuillonView& view) {
        view.finishPendingWork(false, true, false);
        BrightnessContrastDialog d(view.image(), view.selection(), app.ui(), app.dialogParent());
        if (d.run() != QDialog::Accepted) return;
        applyToView(view, app.ui(), [&d](CImageObject& p, const Rect* a, QString& e) {
            return applyBrightnessContrast(p, a, d.brightness, d.contrast, d.invert, e);
        });
    }));
    f.setHandler(135, onView([&app](CQuillonView& view) {
        view.finishPendingWork(false, true, false);
        SaturationDialog d(view.image(), view.selection(), app.ui(), app.dialogParent());
        if (d.run() != QDialog::Accepted) return;
        applyToView(view, app.ui(), [&d](CImageObject& p, const Rect* a, QString& e) {
            return applySaturation(p, a, d.percent, e);
        });
    }));
    f.setHandler(140, onView([&app](CQuillonView& view) {
        view.finishPendingWork(false, true, false);
        ColourFilterDialog d(view.image(), view.selection(), app.ui(), app.dialogParent());
        if (d.run() != QDialog::Accepted) return;
        const auto v = d.model.percent;
        applyToView(view, app.ui(), [v](CImageObject& p, const Rect* a, QString& e) {
            return applyColourFilter(p, a, v[0], v[1], v[2], e);
        });
    }));
    f.setHandler(141, onView([&app](CQuillonView& view) {
        view.finishPendingWork(false, true, false);
        HueDialog d(view.image(), view.selection(), app.ui(), app.dialogParent());
        if (d.run() != QDialog::Accepted) return;
        const auto v = d.model.values;
        applyToView(view, app.ui(), [v](CImageObject& p, const Rect* a, QString& e) {
            return applyHue(p, a, v[0], v[1], v[2], e);
        });
    }));

    // The histogram corrects the picture while it is open: the snapshot comes
    // first, and Cancel undoes to it and drops it.
    f.setHandler(136, onView([&app](CQuillonView& view) {
        view.finishPendingWork(false, true, false);
        if (!view.prepareUndo()) return;
        HistogramDialog d(view.image(), view.selection(), app.ui(), app.dialogParent());
        d.onChanged = [&view] { view.image().refresh(); };
        if (d.ready() && d.exec() == QDialog::Accepted) {
            view.document().setModified(true);
            return;
        }
        view.undo();
        view.dropUndo();
    }));

    f.setHandler(137, onView([&app](CQuillonView& view) {
        view.finishPendingWork(false, false, true);
        DepthDialog d(view.image().bitsPerPixel(), app.dialogParent());
        if (d.exec() != QDialog::Accepted) return;
        const DepthChoice choice = d.choice();
        if (!depthConversionChanges(view.image(), choice)) return;
        applyToView(view, app.ui(), [choice](CImageObject& p, const Rect*, QString& e) {
            return convertDepth(p, choice, e);
        });
    }));

    // The colour shift dialog changes the picture on every arrow and takes the
    // snapshot itself on OK, of the picture as it was before.
    f.setHandler(143, onView([&app](CQuillonView& view) {
        ColourShiftDialog d(view.image(), app.ui(), app.dialogParent());
        d.onChanged = [&view] { view.image().refresh(); };
        d.snapshot = [&view] { return view.prepareUndo(); };
        if (d.run() != QDialog::Accepted) return;
        view.image().refresh();
        view.document().setModified(true);
    }));
}

}  // namespace quillon
