// The HTML menu: the picture in the browser (150), the picture's page in the
// HTML editor (151), the FTP program (152), the pictures of a page on disk
// (153) and the settings of the three programs (154).
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace quillon {

class CMainFrame;
class CQuillonApp;
class CQuillonDoc;

// The platform's file-open dialogs of the menu, replaceable by tests.
struct HtmlDialogs {
    std::function<std::optional<QString>(QWidget* parent)> chooseHtmlFile;  // command 153
    std::function<std::optional<QString>(QWidget* parent)> chooseProgram;   // the browse buttons
};

// Before the picture is handed to another program: a never-saved picture
// goes through Save As with GIF chosen (and the choice not remembered), a
// modified one through Save As as usual. False when the picture still has
// no file (the user cancelled).
bool makeSurePictureOnDisk(CQuillonDoc& doc);

class HtmlCommands {
public:
    explicit HtmlCommands(CQuillonApp& app);
    // The handlers of 150 to 154.
    void install(CMainFrame& frame);

    void openInBrowser(CQuillonDoc& doc);
    void openInHtmlEditor(CQuillonDoc& doc);
    void startFtp();
    void openFromHtmlFile();
    void editSettings();

    HtmlDialogs dialogs;

private:
    CQuillonApp& m_app;
};

// The file-open dialog of command 153.
std::optional<QString> chooseHtmlFile(QWidget* parent);

}  // namespace quillon
