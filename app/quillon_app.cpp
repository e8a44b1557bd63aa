#include "app/quillon_app.h"
#include "album/file_list_windows.h"
#include "dialogs/dialog_settings.h"
#include "dialogs/image_info_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/program_dialogs.h"

#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "doc/zoom.h"
#include "effects/colour_commands.h"
#include "effects/geometry_commands.h"
#include "frame/html_commands.h"
#include "frame/about_dlg.h"
#include "frame/help_opener.h"
#include "frame/main_frame.h"
#include "frame/print_command.h"
#include "image/error_messages.h"
#include "image/file_dispatch.h"
#include "image/image_window.h"
#include "image/save_formats.h"
#include "platform/default_programs.h"
#include "platform/single_instance.h"
#include "resources/strings.h"
#include "resources/toolbar_icons.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMdiArea>
#include <QScreen>
#include <QSettings>

namespace quillon {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

// "text|pattern|..." pairs as Qt name filters.
QString qtFilters(const QString& pairs) {
    const QStringList parts = pairs.split(u'|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(u';', u' ') + u')';
    return filters.join(QStringLiteral(";;"));
}

}  // namespace

QStringList captureDriverTitles() {
    return {u8("QV-10 取り込み"), u8("ﾋﾞﾃﾞｵ取り込み"), u8("ｽｷｬﾅ取り込み")};
}

CQuillonApp::CQuillonApp() { installDefaultDialogs(); }

CQuillonApp::~CQuillonApp() { exitInstance(); }

void CQuillonApp::installDefaultDialogs() {
    // The file dialogs (dialogs/): Open with its preview, Save As with the GIF
    // options and the transparent-colour pick in the active view, quality.
    dialogs.chooseOpenPath = [this](const QString&, const QString& initialName) {
        QSettingsDialogSettings settings(&m_settings.fileDialogPreview);
        return runOpenDialog(initialName, settings, openPicture, ui(), dialogParent());
    };
    dialogs.chooseSavePath = [this](CQuillonView& view, const QString& suggested, const QString& folder) {
        return chooseSaveAsPath(suggested, folder, view.image(), &view, ui(), dialogParent());
    };
    dialogs.chooseJpegQuality = [this](JpegQuality start) -> std::optional<JpegQuality> {
        const auto chosen = quillon::chooseJpegQuality({start.quality, start.progressive}, ui(), dialogParent());
        if (!chosen) return std::nullopt;
        return JpegQuality{chosen->quality, chosen->progressive};
    };
    dialogs.chooseNewImage = [this]() -> std::optional<NewImageChoice> {
        NewImageDialog dialog(dialogParent());
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.choice();
    };
    dialogs.chooseZoom = [this](int zoom) -> std::optional<int> {
        ZoomDialog dialog(zoom, dialogParent());
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.zoom();
    };
    dialogs.showImageInfo = [this](const PictureInfoTexts& lines) {
        CImageInfoDlg dialog(lines, dialogParent());
        dialog.exec();
    };
}

bool CQuillonApp::initInstance(const StartOptions& options) {
    m_starting = true;
    // A second copy brings the first forward and exits.
    m_instance = std::make_unique<SingleInstance>(options.instanceScope);
    // A copy that cannot listen still runs: it just cannot be found by the next one.
    if (m_instance->claim() == SingleInstance::Claim::Second) {
        m_starting = false;
        return false;
    }
    connect(m_instance.get(), &SingleInstance::comeForward, this, &CQuillonApp::comeForward);
    QApplication::setWindowIcon(programIcon());
    m_store = std::make_unique<QSettings>(QStringLiteral("Tessaly"), QStringLiteral("Quillon"));

    if (captureDriverActive(captureDriverTitles(), options.instanceScope)) {
        ui().message(loadString(5026), MsgButtons::Ok, MsgIcon::Exclamation);
        m_starting = false;
        return false;
    }

    const QString library =
        options.captureLibraryPath.isEmpty() ? defaultCaptureLibraryPath() : options.captureLibraryPath;
    m_captureOutcome = m_capture.bind(library, ui());

    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    if (screen) {
        setScreenInfo(ScreenInfo{screen->depth(), int(screen->logicalDotsPerInchX()),
                                 int(screen->logicalDotsPerInchY())});
    }

    m_store->beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= 4; ++i) {
        const QString file = m_store->value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty()) m_recentFiles << file;
    }
    m_store->endGroup();
    m_settings = loadSettings(*m_store, screenSize, XdgDirs::fromEnvironment());

    m_frame = std::make_unique<CMainFrame>(*this);
    installCommands();
    installFileLists();
    if (!m_frame->create({m_capture.camera(), m_capture.calibration()})) {
        m_starting = false;
        return false;
    }
    m_frame->setRecentFiles(m_recentFiles);
    m_qtUi.setParent(m_frame.get());
    if (options.showWindow) {
        if (m_settings.show == kShowMaximized) m_frame->showMaximized();
        else if (m_settings.show == kShowMinimized) m_frame->showMinimized();
        else m_frame->show();
    }

    if (!options.files.isEmpty()) openDocument(options.files.front());
    else newDocument();

    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CQuillonApp::onIdle);
    connect(qApp, &QGuiApplication::commitDataRequest, m_frame.get(), &CMainFrame::queryEndSession);
    m_starting = false;
    return true;
}

void CQuillonApp::exitInstance() {
    m_capture.unload();
    m_instance.reset();
}

void CQuillonApp::installCommands() {
    CMainFrame& f = *m_frame;
    m_html = std::make_unique<HtmlCommands>(*this);
    m_html->install(f);
    f.setHandler(57600, [this] { newDocument(); });
    f.setHandler(57601, [this] { fileOpen(); });
    f.setHandler(57665, [this] { appExit(); });
    f.setHandler(57650, [&f] { f.mdiArea()->cascadeSubWindows(); });
    f.setHandler(57651, [&f] { f.mdiArea()->tileSubWindows(); });
    f.setHandler(57649, [&f] { f.arrangeIcons(); });
    auto onDoc = [&f](std::function<void(CQuillonDoc&, CQuillonView&)> run) {
        return [&f, run] {
            if (CQuillonDoc* doc = f.activeDocument()) run(*doc, *doc->view());
        };
    };
    f.setHandler(57603, onDoc([](CQuillonDoc& d, CQuillonView&) { d.save(); }));
    f.setHandler(57604, onDoc([](CQuillonDoc& d, CQuillonView&) { d.saveAs(); }));
    f.setHandler(57643, onDoc([](CQuillonDoc&, CQuillonView& v) { v.undo(); }));
    for (int id = 155; id <= 161; ++id) {
        const int zoom = fixedZoomOf(id);
        f.setHandler(id, onDoc([zoom](CQuillonDoc&, CQuillonView& v) { v.setZoom(zoom); }));
    }
    f.setHandler(162, onDoc([this](CQuillonDoc&, CQuillonView& v) {
        if (const auto zoom = dialogs.chooseZoom(v.zoom())) v.setZoom(std::clamp(*zoom, kZoomMin, kZoomMax));
    }));
    f.setHandler(163, onDoc([](CQuillonDoc&, CQuillonView& v) { v.setZoom(zoomedIn(v.zoom())); }));
    f.setHandler(164, onDoc([](CQuillonDoc&, CQuillonView& v) { v.setZoom(zoomedOut(v.zoom())); }));
    f.setHandler(165, onDoc([this](CQuillonDoc& d, CQuillonView&) {
        dialogs.showImageInfo(pictureInfoTexts(d.view()->image(), d.path()));
    }));
    f.setHandler(57607, onDoc([this](CQuillonDoc& d, CQuillonView& v) {
        v.finishPendingWork(false, false, true);
        printPicture(v.image(), d.title(), d.path(), ui(), &v);
    }));
    f.setHandler(57664, [this] {
        CAboutDlg about(ui(), m_frame.get());
        about.exec();
    });
    f.setHandler(57670, [this] { openHelpContents(ui()); });
    installEditCommands(f, *this, editDialogs);
    installCaptureCommands(f, *this, captureHooks);
    installColourCommands(f, *this);
    installGeometryCommands(f, *this);
}

void CQuillonApp::installFileLists() {
    FileListServices services;
    services.ui = [this]() -> UiPort& { return ui(); };
    services.openDocument = [this](const QString& path) { openDocument(path); };
    services.focusMainWindow = [this] {
        if (m_frame) m_frame->activateWindow();
    };
    services.owner = m_frame.get();
    m_fileLists = std::make_unique<FileListWindows>(std::move(services));
    connect(m_fileLists.get(), &FileListWindows::countChanged, m_frame.get(), &CMainFrame::updateCommandUi);
    m_frame->setHandler(100, [this] { m_fileLists->open(); });
}

int CQuillonApp::fileListCount() const { return m_fileLists ? m_fileLists->count() : 0; }

CQuillonDoc* CQuillonApp::newDocument() {
    NewImageChoice choice;
    if (!m_starting) {
        const auto chosen = dialogs.chooseNewImage();
        if (!chosen) return nullptr;
        choice = *chosen;
    }
    CImageObject made;
    if (!CQuillonDoc::makeWhitePicture(choice.width, choice.height, choice.bits, made, ui())) return nullptr;
    auto* doc = new CQuillonDoc(*this, ++m_untitledCount);
    m_frame->addDocumentWindow(doc);
    doc->showNewPicture(made);
    m_frame->updateCommandUi();
    return doc;
}

CQuillonDoc* CQuillonApp::newDocumentFromPicture(const CImageObject& picture) {
    std::unique_ptr<CImageObject> copy = picture.duplicate();
    if (!copy) {
        reportImagingError(ui());
        return nullptr;
    }
    auto* doc = new CQuillonDoc(*this, ++m_untitledCount);
    CQuillonView* view = m_frame->addDocumentWindow(doc);
    view->image().takeOver(*copy, false);
    view->resetZoom();
    view->layoutView();
    view->fitFrameToPicture();
    doc->setModified(false);
    m_frame->updateCommandUi();
    return doc;
}

CQuillonDoc* CQuillonApp::openDocument(const QString& path) {
    CImageObject loaded;
    if (!CQuillonDoc::readPicture(path, loaded, ui())) {
        m_frame->updateCommandUi();
        return nullptr;
    }
    auto* doc = new CQuillonDoc(*this, m_untitledCount + 1);
    m_frame->addDocumentWindow(doc);
    doc->showOpenedPicture(loaded, path);
    m_lastOpenedTitle = QFileInfo(path).completeBaseName();
    m_frame->updateCommandUi();
    return doc;
}

void CQuillonApp::fileOpen() {
    const auto path = dialogs.chooseOpenPath(qtFilters(openFilter()), m_lastOpenedTitle);
    if (path) openDocument(*path);
}

void CQuillonApp::appExit() {
    if (m_fileLists) m_fileLists->closeAll();
    if (m_frame) m_frame->close();
}

void CQuillonApp::writeSettings() {
    saveSettings(*m_store, m_settings);
    m_store->beginGroup(QStringLiteral("Recent File List"));
    for (int i = 0; i < 4; ++i) {
        const QString key = QStringLiteral("File%1").arg(i + 1);
        if (i < m_recentFiles.size()) m_store->setValue(key, m_recentFiles[i]);
        else m_store->remove(key);
    }
    m_store->endGroup();
    m_store->sync();
}

QWidget* CQuillonApp::dialogParent() { return m_frame.get(); }

std::optional<QString> CQuillonApp::chooseSavePath(CQuillonDoc& doc, const QString& suggested,
                                                   const QString& folder) {
    if (!doc.view()) return std::nullopt;
    return dialogs.chooseSavePath(*doc.view(), suggested, folder);
}

CQuillonView* CQuillonApp::activeView() const { return m_activeView.data(); }

void CQuillonApp::viewActivated(CQuillonView* view) { m_activeView = view; }

std::optional<JpegQuality> CQuillonApp::chooseJpegQuality(JpegQuality start) {
    return dialogs.chooseJpegQuality(start);
}

void CQuillonApp::documentPathChanged(const QString& path) {
    if (path.isEmpty()) return;
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > 4) m_recentFiles.removeLast();
    if (m_frame) m_frame->setRecentFiles(m_recentFiles);
}

void CQuillonApp::viewClosing(CQuillonView* view) {
    if (m_activeView.data() == view) m_activeView.clear();
}

void CQuillonApp::commandStateChanged() {
    if (m_frame) m_frame->updateCommandUi();
}

void CQuillonApp::comeForward() {
    if (!m_frame) return;
    if (m_frame->isMinimized()) m_frame->showNormal();
    m_frame->raise();
    m_frame->activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != m_frame.get()) {
        modal->raise();
        modal->activateWindow();
        modal->setFocus();
    }
}

void CQuillonApp::onIdle() {
    // The box runs its own loop: show it from the queue, not from inside the idle hook.
    if (takePaintFailed())
        QMetaObject::invokeMethod(
            this, [this] { ui().message(loadString(5011), MsgButtons::Ok, MsgIcon::Stop); },
            Qt::QueuedConnection);
}

bool installTranslations() {
    // Qt's own texts (file dialog, standard buttons) in the program's language.
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}

void installFonts() {
    // The faces the dialogs and texts were designed with, on the IPA fonts.
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont font(QString::fromUtf8("ＭＳ Ｐゴシック"), 9);
    QApplication::setFont(font);
}

}  // namespace quillon
