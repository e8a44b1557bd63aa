// CQuillonApp: the application object. Start-up in its fixed order (single
// copy, capture-driver check, capture library, settings, main frame, the
// first document, pruning), the application commands (New, Open, Exit), the
// idle check of the paint-failed flag, and the objects that outlive documents.
#pragma once

#include "app/capture_library.h"
#include "app/settings.h"
#include "doc/doc_dialogs.h"
#include "doc/document_host.h"
#include "effects/edit_commands.h"
#include "frame/capture_commands.h"
#include "ui/qt_ui_port.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QSettings;

namespace quillon {

class CMainFrame;
class CImageObject;
class CQuillonDoc;
class FileListWindows;
class HtmlCommands;
class SingleInstance;

struct StartOptions {
    QStringList files;             // the command line: a file to open
    QString captureLibraryPath;    // empty: defaultCaptureLibraryPath()
    QString instanceScope;         // local socket scope; empty: the user
    bool showWindow = true;
};

// The dialogs the application runs, replaceable by tests.
struct AppDialogs {
    std::function<std::optional<QString>(const QString& filter, const QString& initialName)> chooseOpenPath;
    // Save As for the picture of that view; its clicks pick the transparent colour.
    std::function<std::optional<QString>(CQuillonView& view, const QString& suggested, const QString& folder)>
        chooseSavePath;
    std::function<std::optional<JpegQuality>(JpegQuality)> chooseJpegQuality;
    std::function<std::optional<NewImageChoice>()> chooseNewImage;
    std::function<std::optional<int>(int zoom)> chooseZoom;
    std::function<void(const PictureInfoTexts&)> showImageInfo;
};

// The IPA fonts stand in for the Japanese faces; the interface font is the
// proportional gothic at 9 points.
void installFonts();
// Qt's Japanese translations; false when they are not installed.
bool installTranslations();

// The titles of the capture programs of the family.
QStringList captureDriverTitles();

class CQuillonApp : public QObject, public DocumentHost {
    Q_OBJECT
public:
    CQuillonApp();
    ~CQuillonApp() override;

    // Start-up; false when the program is to exit (a second copy, an active
    // capture driver, a frame that could not be made).
    bool initInstance(const StartOptions& options);
    void exitInstance();

    // New (57600): a new document; while starting a white 640 x 480 24-bit
    // picture without asking.
    CQuillonDoc* newDocument();
    // A document window appears only once the file has been read.
    CQuillonDoc* openDocument(const QString& path);
    // Paste into a new file: a document holding a copy of the picture, zoom
    // 100, the frame fitted to it.
    CQuillonDoc* newDocumentFromPicture(const CImageObject& picture);
    void fileOpen();
    void appExit();

    CMainFrame* mainFrame() const { return m_frame.get(); }
    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    const CaptureLibrary& captureLibrary() const { return m_capture; }
    BindOutcome captureOutcome() const { return m_captureOutcome; }
    void writeSettings();
    CQuillonView* activeView() const;
    HtmlCommands& htmlCommands() { return *m_html; }
    // The file list windows (command 100) and how many are open.
    FileListWindows* fileLists() const { return m_fileLists.get(); }
    int fileListCount() const;

    void setUi(UiPort* ui) { m_ui = ui ? ui : &m_qtUi; }
    AppDialogs dialogs;
    EditDialogs editDialogs;
    CaptureHooks captureHooks;

    // DocumentHost
    UiPort& ui() override { return *m_ui; }
    bool starting() const override { return m_starting; }
    QSettings& store() override { return *m_store; }
    QWidget* dialogParent() override;
    std::optional<QString> chooseSavePath(CQuillonDoc& doc, const QString& suggested,
                                          const QString& folder) override;
    std::optional<JpegQuality> chooseJpegQuality(JpegQuality start) override;
    void documentPathChanged(const QString& path) override;
    void viewActivated(CQuillonView* view) override;
    void viewClosing(CQuillonView* view) override;
    void commandStateChanged() override;

private:
    void installDefaultDialogs();
    void installCommands();
    void installFileLists();
    void comeForward();
    void onIdle();

    bool m_starting = false;
    QtUiPort m_qtUi;
    UiPort* m_ui = &m_qtUi;
    std::unique_ptr<QSettings> m_store;
    std::unique_ptr<SingleInstance> m_instance;
    CaptureLibrary m_capture;
    BindOutcome m_captureOutcome = BindOutcome::NotLoaded;
    Settings m_settings;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<HtmlCommands> m_html;
    std::unique_ptr<FileListWindows> m_fileLists;  // before the frame goes
    QPointer<CQuillonView> m_activeView;  // cleared by Qt when the view dies
    QString m_lastOpenedTitle;
    QStringList m_recentFiles;
    int m_untitledCount = 0;
};

}  // namespace quillon
