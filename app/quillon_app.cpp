#include "app/quillon_app.h"
#include "dialogs/dialog_settings.h"
#include "dialogs/image_info_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/program_dialogs.h"

#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "doc/zoom.h"
#include "frame/main_frame.h"
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
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QPushButton>
#include <QMdiArea>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

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

// The quality dialog (template 1030) in its plain form.
std::optional<JpegQuality> runQualityDialog(QWidget* parent, JpegQuality start, UiPort& ui) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("1030"));
    dialog.setWindowTitle(u8("画質の設定"));
    auto* quality = new QSpinBox(&dialog);
    quality->setObjectName(QStringLiteral("1031"));
    quality->setRange(1, 100);
    quality->setValue(start.quality);
    auto* progressive = new QCheckBox(u8("ﾌﾟﾛｸﾞﾚｯｼﾌﾞJPEG(&P)"), &dialog);
    progressive->setObjectName(QStringLiteral("1033"));
    progressive->setChecked(start.progressive);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(u8("ｷｬﾝｾﾙ"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (quality->value() < 5 || quality->value() > 100) {
            ui.message(loadString(5006), MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    form->addRow(u8("画質(&Q):"), quality);
    layout->addLayout(form);
    layout->addWidget(progressive);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return JpegQuality{quality->value(), progressive->isChecked()};
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
    dialogs.chooseSavePath = [this](const QString& suggested, const QString&) {
        CQuillonView* view = m_activeView;
        return chooseSaveAsPath(suggested, view ? &view->image() : nullptr, view, ui(), dialogParent());
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
    if (!m_instance->claim()) {
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
    f.setHandler(57600, [this] { newDocument(); });
    f.setHandler(57601, [this] { fileOpen(); });
    f.setHandler(57665, [this] { appExit(); });
    f.setHandler(57650, [&f] { f.mdiArea()->cascadeSubWindows(); });
    f.setHandler(57651, [&f] { f.mdiArea()->tileSubWindows(); });
    f.setHandler(57649, [&f] { f.mdiArea()->tileSubWindows(); });
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
    installEditCommands(f, *this, editDialogs);
}

CQuillonDoc* CQuillonApp::newDocument() {
    NewImageChoice choice;
    if (!m_starting) {
        const auto chosen = dialogs.chooseNewImage();
        if (!chosen) return nullptr;
        choice = *chosen;
    }
    auto* doc = new CQuillonDoc(*this, ++m_untitledCount);
    m_frame->addDocumentWindow(doc);
    if (!doc->newPicture(choice.width, choice.height, choice.bits)) {
        doc->setModified(false);
        doc->parent()->deleteLater();
        return nullptr;
    }
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
    auto* doc = new CQuillonDoc(*this, m_untitledCount + 1);
    CQuillonView* view = m_frame->addDocumentWindow(doc);
    (void)view;
    if (!doc->open(path)) {
        // No document is left behind for a file that could not be read.
        static_cast<QWidget*>(doc->parent())->hide();
        doc->parent()->deleteLater();
        m_frame->updateCommandUi();
        return nullptr;
    }
    m_lastOpenedTitle = QFileInfo(path).completeBaseName();
    m_frame->updateCommandUi();
    return doc;
}

void CQuillonApp::fileOpen() {
    const auto path = dialogs.chooseOpenPath(qtFilters(openFilter()), m_lastOpenedTitle);
    if (path) openDocument(*path);
}

void CQuillonApp::appExit() {
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

std::optional<QString> CQuillonApp::chooseSavePath(const QString& suggested, const QString& filter) {
    return dialogs.chooseSavePath(suggested, filter);
}

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
    if (m_activeView == view) m_activeView = nullptr;
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

void installFonts() {
    // The faces the dialogs and texts were designed with, on the IPA fonts.
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont font(QString::fromUtf8("ＭＳ Ｐゴシック"), 9);
    QApplication::setFont(font);
}

}  // namespace quillon
