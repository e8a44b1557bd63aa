#include "doc/quillon_doc.h"

#include "app/settings.h"
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

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// "a.bmp" with extension "TIF" -> "a.TIF"; a name without one gets it appended.
QString withExtension(const QString& name, const QString& extension) {
    const QFileInfo info(name);
    const QString file = info.fileName();
    const qsizetype dot = file.lastIndexOf(u'.');
    const QString base = dot < 0 ? file : file.left(dot);
    const QString dir = name.left(name.size() - file.size());
    return dir + base + u'.' + extension;
}

// The Save As filter's "text|pattern|" pairs as Qt name filters.
QString qtFilter(const QString& pairs) {
    const QStringList parts = pairs.split(u'|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        const qsizetype paren = text.indexOf(u'(');
        if (paren >= 0) text = text.left(paren);
        filters << text + QStringLiteral(" (") + QString(parts[i + 1]).replace(u';', u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

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

bool CQuillonDoc::newPicture(int width, int height, int bits) {
    CImageObject& image = m_view->image();
    if (!image.create(width, height, bits) || !image.allocate(1)) {
        reportImagingError(m_host.ui());
        return false;
    }
    if (bits < 16) {
        const imaging::RgbQuad blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        image.paletteSet(blackWhite, 2, false);
    }
    image.fill(0xFFFFFF, false);
    m_view->resetZoom();
    m_view->layoutView();
    setModified(false);
    return true;
}

bool CQuillonDoc::open(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_host.ui().message(loadString(5008), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    file.close();
    CImageObject loaded;
    bool ok;
    {
        WaitCursor wait;
        ok = openPicture(loaded, path);
    }
    if (!ok) {
        reportImagingError(m_host.ui());
        return false;
    }
    m_view->imageWindow()->repaint();
    m_view->image().takeOver(loaded, true);
    m_view->resetZoom();
    m_view->layoutView();
    setPath(path);
    setModified(false);
    return true;
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
    const int startIndex = fixedFormatIndex >= 0 ? fixedFormatIndex : defaults.initialSaveFormat;
    const SaveFormat* start = saveFormatAt(startIndex);
    QString suggested = m_path.isEmpty() ? title() : m_path;
    if (start) suggested = withExtension(suggested, QString::fromLatin1(start->extension));
    if (QFileInfo(suggested).isRelative() && !defaults.initialSavePath.isEmpty())
        suggested = defaults.initialSavePath + u'/' + suggested;
    const std::optional<QString> chosen = m_host.chooseSavePath(suggested, qtFilter(saveAsFilter()));
    if (!chosen || chosen->isEmpty()) return false;
    const int index = saveFormatIndexOfPath(*chosen);
    int quality = 0;
    bool progressive = m_view->image().progressive;
    if (index == 0) {
        m_host.ui().message(wrongExtensionMessage(), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (index == 1 || index == kSaveFormatGif) quality = 1;
    if (index == kSaveFormatJpeg) {
        const auto q = m_host.chooseJpegQuality({defaults.initialSaveQuality, progressive});
        if (!q) return false;
        quality = q->quality;
        progressive = q->progressive;
        defaults.initialSaveQuality = quality;
        writeSaveDefaults(store, defaults);
    }
    const bool written = saveTo(*chosen, index, quality, progressive);
    if (fixedFormatIndex < 0) {
        defaults.initialSavePath = QFileInfo(*chosen).absolutePath();
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
