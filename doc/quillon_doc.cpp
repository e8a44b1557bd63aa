#include "doc/quillon_doc.h"

#include "ui/wait_cursor.h"
#include "app/settings.h"
#include "dialogs/file_names.h"
#include "doc/document_host.h"
#include "doc/quillon_view.h"
#include "image/error_messages.h"
#include "image/file_dispatch.h"
#include "image/save_formats.h"
#include "image/image_window.h"
#include "imaging/imaging.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace quillon {
namespace {

constexpr int kDefaultSaveFormat = 3;  // BMP
constexpr int kSaveFormatTiff = 1;


}  // namespace

CQuillonDoc::CQuillonDoc(DocumentHost& host, int untitledNumber)
    : m_host(host), m_untitled(QString::fromUtf8("無題") + QString::number(untitledNumber)) {}

CQuillonDoc::~CQuillonDoc() = default;

QString CQuillonDoc::title() const { return m_path.isEmpty() ? m_untitled : QFileInfo(m_path).fileName(); }

void CQuillonDoc::setModified(bool modified) {
    if (m_modified == modified) return;
    m_modified = modified;
    emit modifiedChanged();
    m_host.commandStateChanged();
}

void CQuillonDoc::setPath(const QString& path) {
    m_path = path;
    emit titleChanged();
    m_host.documentPathChanged(path);
}

bool CQuillonDoc::makeWhitePicture(int width, int height, int bits, CImageObject& into, UiPort& ui) {
    if (!into.create(width, height, bits) || !into.allocate(1)) {
        reportImagingError(ui);
        return false;
    }
    if (bits < 16) {
        const imaging::RgbQuad blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        into.paletteSet(blackWhite, 2, false);
    }
    into.fill(0xFFFFFF, false);
    return true;
}

bool CQuillonDoc::readPicture(const QString& path, CImageObject& into, UiPort& ui) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.message(loadString(5008), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    file.close();
    bool ok;
    {
        WaitCursor wait;
        ok = openPicture(into, path);
    }
    if (!ok) reportImagingError(ui);
    return ok;
}

void CQuillonDoc::showNewPicture(CImageObject& made) {
    m_view->image().takeOver(made, true);
    m_view->resetZoom();
    m_view->layoutView();
    setModified(false);
}

void CQuillonDoc::showOpenedPicture(CImageObject& loaded, const QString& path) {
    m_view->image().takeOver(loaded, true);
    m_view->resetZoom();
    m_view->layoutView();
    setPath(path);
    setModified(false);
}

bool CQuillonDoc::saveModified() {
    if (!m_modified) return true;
    m_view->finishPendingWork(false, false, false);
    const QString question = m_path.isEmpty() ? formatMessage(5005, title()) : formatMessage(5004, m_path);
    switch (m_host.ui().message(question, MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgAnswer::Yes:
        // A save that fails or is cancelled keeps the document open.
        return m_path.isEmpty() ? saveAs() : save();
    case MsgAnswer::No: return true;
    default: return false;
    }
}

bool CQuillonDoc::save() {
    m_view->finishPendingWork(false, false, true);
    if (m_path.isEmpty()) return saveAs();
    const QString extension = extensionOf(m_path).toUpper();
    int quality = 0;
    bool progressive = m_view->image().progressive;
    if (extension == QLatin1String("JPG")) {
        const auto chosen = m_host.chooseJpegQuality({100, progressive});
        if (!chosen) return false;
        quality = chosen->quality;
        progressive = chosen->progressive;
    } else if (extension == QLatin1String("TIF") || extension == QLatin1String("GIF")) {
        quality = 1;
    }
    const int index = saveFormatIndexOf(extension);
    if (index == 0) return false;
    return saveTo(m_path, index, quality, progressive);
}

bool CQuillonDoc::saveAs() {
    m_view->finishPendingWork(false, false, true);
    QSettings& store = m_host.store();
    SaveDefaults defaults = readSaveDefaults(store);
    const bool fixed = fixedFormatIndex >= 0;
    int startIndex = fixed ? fixedFormatIndex : defaults.initialSaveFormat;
    // The store is outside our control: an index outside the table starts on BMP.
    if (!saveFormatAt(startIndex)) startIndex = kDefaultSaveFormat;
    const QString extension = QString::fromLatin1(saveFormatAt(startIndex)->extension).toLower();
    const QString suggested = replaceExtension(m_path.isEmpty() ? title() : m_path, extension);
    const std::optional<QString> chosen = m_host.chooseSavePath(*this, suggested, defaults.initialSavePath);
    if (!chosen || chosen->isEmpty()) return false;
    const int index = saveFormatIndexOfPath(*chosen);
    if (index == 0) {
        m_host.ui().message(wrongExtensionMessage(), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    int quality = index == kSaveFormatTiff || index == kSaveFormatGif ? 1 : 0;
    bool progressive = m_view->image().progressive;
    if (index == kSaveFormatJpeg) {
        const auto q = m_host.chooseJpegQuality({defaults.initialSaveQuality, progressive});
        if (!q) return false;
        quality = q->quality;
        progressive = q->progressive;
        defaults.initialSaveQuality = quality;
        writeSaveDefaults(store, defaults);
    }
    const bool written = saveTo(*chosen, index, quality, progressive);
    if (!fixed) {
        defaults.initialSavePath = folderOfPath(*chosen);
        defaults.initialSaveFormat = index;
        writeSaveDefaults(store, defaults);
    }
    return written;
}

bool CQuillonDoc::saveTo(const QString& path, int formatIndex, int quality, bool progressive) {
    m_view->finishPendingWork(false, false, true);
    CImageObject& image = m_view->image();
    if (const auto refusal = saveRefusal(formatIndex, image.bitsPerPixel())) {
        m_host.ui().message(*refusal, MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    bool ok;
    {
        WaitCursor wait;
        ok = savePictureOfView(image, path, formatIndex, quality, progressive, nullptr);
    }
    if (!ok) {
        // The write went to a temporary file: the old file is still there.
        reportImagingError(m_host.ui());
        m_host.ui().message(loadString(5025), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    setPath(path);
    setModified(false);
    return true;
}

void CQuillonDoc::onCloseDocument() {
    if (m_view) {
        m_host.viewClosing(m_view);
        if (QWidget* tool = m_view->toolWindow()) {
            tool->deleteLater();
            m_view->setToolWindow(nullptr);
        }
    }
}

}  // namespace quillon
