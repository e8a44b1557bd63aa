#include "frame/html_commands.h"

#include "app/quillon_app.h"
#include "dialogs/save_format_list.h"
#include "doc/quillon_doc.h"
#include "frame/external_programs.h"
#include "frame/html_page.h"
#include "frame/html_picture_list_dialog.h"
#include "frame/html_settings_dialog.h"
#include "frame/main_frame.h"
#include "image/save_formats.h"

#include <QFileDialog>

namespace quillon {

bool makeSurePictureOnDisk(CQuillonDoc& doc) {
    if (doc.path().isEmpty()) {
        doc.fixedFormatIndex = kSaveFormatGif;
        doc.saveAs();
        doc.fixedFormatIndex = -1;
        return !doc.path().isEmpty();
    }
    // Saved or not, the file as last saved is what the program gets.
    if (doc.isModified()) doc.saveAs();
    return true;
}

HtmlCommands::HtmlCommands(CQuillonApp& app) : m_app(app) {
    dialogs.chooseHtmlFile = chooseHtmlFile;
    dialogs.chooseProgram = chooseProgramFile;
}

void HtmlCommands::install(CMainFrame& frame) {
    auto onDocument = [&frame](void (HtmlCommands::*run)(CQuillonDoc&), HtmlCommands* self) {
        return [&frame, run, self] {
            if (CQuillonDoc* doc = frame.activeDocument()) (self->*run)(*doc);
        };
    };
    frame.setHandler(150, onDocument(&HtmlCommands::openInBrowser, this));
    frame.setHandler(151, onDocument(&HtmlCommands::openInHtmlEditor, this));
    frame.setHandler(152, [this] { startFtp(); });
    frame.setHandler(153, [this] { openFromHtmlFile(); });
    frame.setHandler(154, [this] { editSettings(); });
}

void HtmlCommands::openInBrowser(CQuillonDoc& doc) {
    if (!makeSurePictureOnDisk(doc)) return;
    startExternalProgram(m_app.settings().browserPath, {doc.path()});
}

void HtmlCommands::openInHtmlEditor(CQuillonDoc& doc) {
    if (!makeSurePictureOnDisk(doc)) return;
    const QString page = writeHtmlPage(doc.path(), m_app.ui());
    if (page.isEmpty()) return;
    startExternalProgram(m_app.settings().htmlEditorPath, {page});
}

void HtmlCommands::startFtp() { startExternalProgram(m_app.settings().ftpPath); }

void HtmlCommands::openFromHtmlFile() {
    QWidget* parent = m_app.dialogParent();
    const std::optional<QString> page = dialogs.chooseHtmlFile(parent);
    if (!page) return;
    runHtmlPictureList(*page, m_app.ui(), parent, [this](const QString& path) { m_app.openDocument(path); });
}

void HtmlCommands::editSettings() {
    Settings& settings = m_app.settings();
    HtmlSettingsDialog dialog({settings.browserPath, settings.htmlEditorPath, settings.ftpPath},
                              dialogs.chooseProgram, m_app.dialogParent());
    if (dialog.exec() != QDialog::Accepted) return;
    settings.browserPath = dialog.paths().browser;
    settings.ftpPath = dialog.paths().ftp;
    settings.htmlEditorPath = dialog.paths().htmlEditor;
    if (CMainFrame* frame = m_app.mainFrame()) frame->updateCommandUi();
}

std::optional<QString> chooseHtmlFile(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(
        toNameFilters(QString::fromUtf8("HTMLﾌｧｲﾙ(*.htm, *.html)|*.htm;*.html|All Files (*.*)|*.*||")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

}  // namespace quillon
