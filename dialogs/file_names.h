// Small path rules of the file dialogs. Paths use "/" as Qt hands them out.
#pragma once

#include <QString>

namespace quillon {

// The text after the last "." of the name part, or empty when there is none.
QString nameExtension(const QString& path);
// The name with its extension replaced by ext ("." and ext appended when
// the name has none). A "." inside a folder name does not count.
QString replaceExtension(const QString& path, const QString& ext);
// The folder part of a path: everything before the last separator, except
// that a separator right after a root ("/", "C:/") is kept.
QString folderOfPath(const QString& path);
// A bare name is put in folder (with a separator unless the folder ends in
// one); a name that already holds a separator is returned as it is.
QString joinFolder(const QString& folder, const QString& name);

}  // namespace quillon
