// The picture reference scan: the local picture files an HTML page on disk
// shows through IMG SRC/LOWSRC, BODY BACKGROUND and EMBED SRC, in the order
// of the page. A forgiving reader: only the first reference attribute of a
// tag counts, values must be double-quoted, names that exist nowhere or do
// not end in a readable extension are dropped, duplicates stay.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace quillon {

class UiPort;

struct PictureReference {
    QString value;  // trimmed, as written in the page: what the list shows
    QString path;   // the file it names
};

struct ReferenceScan {
    QList<PictureReference> references;
    bool complete = false;  // read to the end; false when unreadable or a tag did not fit
};

// The folder of an HTML page, with its trailing separator.
QString htmlFolderOf(const QString& htmlPath);
// The file a value names: a value from "/" is a path from the root, anything
// else lies in the page's folder; backslashes separate folders too.
QString referencePath(const QString& htmlFolder, const QString& value);

// The scan over a page's bytes, looking files up beside htmlFolder.
ReferenceScan scanPictureReferences(QByteArrayView page, const QString& htmlFolder);
// The scan of a page on disk. An unreadable page shows message 5028 with the
// stop icon and gives an empty, incomplete scan.
ReferenceScan scanPictureReferences(const QString& htmlPath, UiPort& ui);

}  // namespace quillon
