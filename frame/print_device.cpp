#include "frame/print_device.h"

#include "frame/spooler_messages.h"

#include <QPdfWriter>
#include <QSaveFile>

#include <cerrno>

namespace quillon {

PdfPageDevice::PdfPageDevice(const QPageLayout& layout, int dpi, bool blackOnly) : m_blackOnly(blackOnly) {
    m_buffer.open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(&m_buffer);
    m_writer->setResolution(dpi);
    m_writer->setPageLayout(layout);
    m_writer->setCreator(QStringLiteral("Quillon"));
}

PdfPageDevice::~PdfPageDevice() = default;

int PdfPageDevice::dpiX() const { return m_writer->logicalDpiX(); }
int PdfPageDevice::dpiY() const { return m_writer->logicalDpiY(); }
int PdfPageDevice::pageWidth() const { return m_writer->width(); }
int PdfPageDevice::pageHeight() const { return m_writer->height(); }

QPaintDevice* PdfPageDevice::startDocument(const QString& documentName) {
    m_name = documentName;
    m_writer->setTitle(documentName);
    return m_writer.get();
}

int PdfPageDevice::endDocument() {
    m_buffer.close();
    const QByteArray pdf = m_buffer.data();
    m_buffer.setData(QByteArray());
    if (pdf.isEmpty()) return kSpoolError;
    return deliver(pdf, m_name);
}

void PdfPageDevice::abortDocument() {
    m_buffer.close();
    m_buffer.setData(QByteArray());
}

QPageLayout pixelPageLayout(int width, int height, int dpi) {
    const QPageSize size(QSizeF(double(width) / dpi, double(height) / dpi), QPageSize::Inch, QString(),
                         QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
}

int PdfFileDevice::deliver(const QByteArray& pdf, const QString&) {
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return kSpoolError;
    }
    if (file.write(pdf) != pdf.size() || !file.commit()) {
        const bool full = errno == ENOSPC;
        m_error = file.errorString();
        file.cancelWriting();
        return full ? kSpoolOutOfDisk : kSpoolError;
    }
    return 1;
}

}  // namespace quillon
