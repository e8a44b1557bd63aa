#include "effects/edit_commands.h"

#include "app/quillon_app.h"
#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "effects/clipboard.h"
#include "effects/text_dialog.h"
#include "effects/view_editor.h"
#include "frame/main_frame.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QApplication>

namespace quillon {

void installEditCommands(CMainFrame& f, CQuillonApp& app, EditDialogs& dialogs) {
    if (!dialogs.chooseText) {
        dialogs.chooseText = [&app](const TextSettings& initial) {
            return runTextDialog(initial, app.dialogParent());
        };
    }
    const auto onEditor = [&f](std::function<void(ViewEditor&)> run) {
        return [&f, run] {
            if (CQuillonView* view = f.activeView(); view && view->editor()) run(*view->editor());
            f.updateCommandUi();
        };
    };
    f.setHandler(57634, onEditor([](ViewEditor& e) { e.copy(); }));
    f.setHandler(57635, onEditor([](ViewEditor& e) { e.cut(); }));
    f.setHandler(57637, onEditor([](ViewEditor& e) { e.paste(false); }));
    f.setHandler(104, onEditor([](ViewEditor& e) { e.paste(true); }));
    f.setHandler(57632, onEditor([](ViewEditor& e) { e.deleteContents(); }));
    f.setHandler(105, onEditor([](ViewEditor& e) { e.selectAll(); }));
    f.setHandler(106, onEditor([](ViewEditor& e) { e.deselect(); }));
    f.setHandler(107, onEditor([](ViewEditor& e) { e.startPickTransparent(); }));
    f.setHandler(142, onEditor([&dialogs](ViewEditor& e) { e.writeText(dialogs.chooseText); }));
    f.setHandler(103, [&app] { pasteIntoNewFile(app); });
}

void pasteIntoNewFile(CQuillonApp& app) {
    std::shared_ptr<CImageObject> picture;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        picture = clipboardPicture();
        QApplication::restoreOverrideCursor();
    }
    if (!picture) {
        // Nothing on the clipboard ends silently; a picture that cannot be read is told.
        if (clipboardOffersPicture())
            app.ui().message(loadString(5015), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    app.newDocumentFromPicture(*picture);
}

}  // namespace quillon
