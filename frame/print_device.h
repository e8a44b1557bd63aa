// Where a print job's page goes. A device reports its resolution and
// printable area before the job starts, gives the page to paint on, and at
// the end delivers the page or drops it. The page is always drawn as a PDF
// page: the command line keeps it as a file, the program hands it to the
// print system.
#pragma once

#include <QBuffer>
#include <QPageLayout>
#include <QString>

#include <memory>

class QPaintDevice;
class QPdfWriter;

namespace quillon {

class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    // The printable area in device pixels.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // A device that prints black dots only.
    virtual bool blackOnly() const = 0;
    // Starts the document and its one page; null when it cannot start.
    virtual QPaintDevice* startDocument(const QString& documentName) = 0;
    // Ends page and document (after the painter has ended): 1 when the
    // page went out, else a spooler result (spooler_messages.h).
    virtual int endDocument() = 0;
    // Drops the document: nothing of it is delivered.
    virtual void abortDocument() = 0;
};

// A PDF page of the given layout at the given resolution, held in memory
// until it is delivered.
class PdfPageDevice : public PrintDevice {
public:
    PdfPageDevice(const QPageLayout& layout, int dpi, bool blackOnly);
    ~PdfPageDevice() override;

    int dpiX() const override;
    int dpiY() const override;
    int pageWidth() const override;
    int pageHeight() const override;
    bool blackOnly() const override { return m_blackOnly; }
    QPaintDevice* startDocument(const QString& documentName) override;
    int endDocument() override;
    void abortDocument() override;

protected:
    // Hands the finished PDF on: 1, or a spooler result.
    virtual int deliver(const QByteArray& pdf, const QString& documentName) = 0;

private:
    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    QString m_name;
    bool m_blackOnly;
};

// A page of width x height printer pixels at dpi, with no margins.
QPageLayout pixelPageLayout(int width, int height, int dpi);

// The page written to a file; the file is replaced only when the page is
// complete, so a failed job leaves an earlier file as it was.
class PdfFileDevice : public PdfPageDevice {
public:
    PdfFileDevice(const QString& path, const QPageLayout& layout, int dpi, bool blackOnly)
        : PdfPageDevice(layout, dpi, blackOnly), m_path(path) {}
    QString errorText() const { return m_error; }

protected:
    int deliver(const QByteArray& pdf, const QString& documentName) override;

private:
    QString m_path;
    QString m_error;
};

}  // namespace quillon
