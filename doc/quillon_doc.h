// CQuillonDoc: one open picture. The picture itself lives in the image
// object of the document's one view; the document has the path, the title,
// the modified flag, the document life (new, open, save prompt, close) and
// the Save and Save As flows.
#pragma once

#include <QObject>
#include <QString>

namespace quillon {

class CImageObject;
class CQuillonView;
class DocumentHost;
class UiPort;

class CQuillonDoc : public QObject {
    Q_OBJECT
public:
    CQuillonDoc(DocumentHost& host, int untitledNumber);
    ~CQuillonDoc() override;

    // The view is created by the frame with the document's window.
    void attachView(CQuillonView* view) { m_view = view; }
    CQuillonView* view() const { return m_view; }

    // The two halves of New and Open: the picture is made or read first, with
    // the messages on failure, and only then shown in a document window.
    static bool makeWhitePicture(int width, int height, int bits, CImageObject& into, UiPort& ui);
    static bool readPicture(const QString& path, CImageObject& into, UiPort& ui);
    // The view's picture becomes that one; a new picture is not modified.
    void showNewPicture(CImageObject& made);
    void showOpenedPicture(CImageObject& loaded, const QString& path);
    // The framework's question before closing: true allows the close.
    bool saveModified();
    // "上書き保存" and "名前を付けて保存": true when the picture was written.
    bool save();
    bool saveAs();
    // The document save of a chosen file: the format's refusals, the write,
    // then the new path and a cleared modified flag. A failed write leaves
    // path and flag as they were.
    bool saveTo(const QString& path, int formatIndex, int quality, bool progressive);
    // Before the framework closes the document.
    void onCloseDocument();

    QString path() const { return m_path; }
    QString title() const;
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    int fixedFormatIndex = -1;

signals:
    void titleChanged();
    void modifiedChanged();

private:
    void setPath(const QString& path);

    DocumentHost& m_host;
    CQuillonView* m_view = nullptr;
    QString m_path;
    QString m_untitled;
    bool m_modified = false;
};

}  // namespace quillon
