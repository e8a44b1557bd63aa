// What a document and its view need from the application: the UI port, the
// starting flag, the settings store, the file choosers, and the notices the
// application keeps track of (active view, saved files).
#pragma once

#include <QString>

#include <optional>

class QSettings;
class QWidget;

namespace quillon {

class CQuillonDoc;
class CQuillonView;
class UiPort;

struct JpegQuality {
    int quality = 100;
    bool progressive = false;
};

class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual UiPort& ui() = 0;
    virtual bool starting() const = 0;
    virtual QSettings& store() = 0;
    virtual QWidget* dialogParent() = 0;
    // The Save As chooser for that document's picture, opening on suggested
    // (in folder when suggested holds none): the chosen path, or nothing for
    // Cancel. The GIF options chosen there go into the document's picture.
    virtual std::optional<QString> chooseSavePath(CQuillonDoc& doc, const QString& suggested,
                                                  const QString& folder) = 0;
    // The quality dialog (template 1030): nothing for Cancel.
    virtual std::optional<JpegQuality> chooseJpegQuality(JpegQuality start) = 0;
    virtual void documentPathChanged(const QString& path) = 0;  // the recent-file list
    virtual void viewActivated(CQuillonView* view) = 0;
    virtual void viewClosing(CQuillonView* view) = 0;
    virtual void commandStateChanged() = 0;
};

}  // namespace quillon
