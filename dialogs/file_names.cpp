#include "dialogs/file_names.h"

namespace quillon {

namespace {

bool isSeparator(QChar c) { return c == u'/' || c == u'\\'; }

int lastSeparator(const QString& path) {
    for (int i = int(path.size()) - 1; i >= 0; --i)
        if (isSeparator(path[i])) return i;
    return -1;
}

// Position of the "." that starts the extension, or -1.
int extensionDot(const QString& path) {
    const int dot = int(path.lastIndexOf(u'.'));
    return dot > lastSeparator(path) ? dot : -1;
}

}  // namespace

QString nameExtension(const QString& path) {
    const int dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString replaceExtension(const QString& path, const QString& ext) {
    const int dot = extensionDot(path);
    return (dot < 0 ? path : path.left(dot)) + u'.' + ext;
}

QString folderOfPath(const QString& path) {
    const int slash = lastSeparator(path);
    if (slash < 0) return QString();
    if (slash == 0) return path.left(1);
    if (slash == 2 && path[1] == u':') return path.left(3);
    return path.left(slash);
}

QString joinFolder(const QString& folder, const QString& name) {
    if (lastSeparator(name) >= 0 || folder.isEmpty()) return name;
    if (isSeparator(folder.back())) return folder + name;
    return folder + u'/' + name;
}

}  // namespace quillon
