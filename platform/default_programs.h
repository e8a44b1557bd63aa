// Finding the user's browser and HTML editor through the freedesktop
// associations for text/html: the default handler from mimeapps.list, its
// desktop file's Exec line cut at the first blank and resolved on PATH.
#pragma once

#include <QString>
#include <QStringList>

namespace quillon {

struct XdgDirs {
    QString configHome;
    QStringList configDirs;
    QString dataHome;
    QStringList dataDirs;
    QStringList path;  // PATH entries
    // From XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME, XDG_DATA_DIRS and
    // PATH, with the freedesktop defaults where they are unset.
    static XdgDirs fromEnvironment();
};

// The default text/html handler's program, or empty when none is found.
QString discoverBrowser(const XdgDirs& dirs);
// A desktop file that edits HTML (MimeType text/html, category
// WebDevelopment, else TextEditor); its program, or empty.
QString discoverHtmlEditor(const XdgDirs& dirs);
// The program of an Exec line: the text before the first blank (a quoted
// first word is taken whole), looked up on the path when it is a bare name.
QString programOfExecLine(const QString& exec, const QStringList& path);

}  // namespace quillon
