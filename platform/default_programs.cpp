#include "platform/default_programs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace quillon {
namespace {

QStringList splitEnv(const char* name, const QStringList& fallback) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty()) return fallback;
    return value.split(u':', Qt::SkipEmptyParts);
}

struct DesktopEntry {
    QString exec;
    QStringList mimeTypes;
    QStringList categories;
    bool hidden = false;
};

// Keys of the [Desktop Entry] group; other groups (actions) are skipped.
bool readDesktopFile(const QString& path, DesktopEntry& entry) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Exec")) entry.exec = value;
        else if (key == QLatin1String("MimeType")) entry.mimeTypes = value.split(u';', Qt::SkipEmptyParts);
        else if (key == QLatin1String("Categories")) entry.categories = value.split(u';', Qt::SkipEmptyParts);
        else if (key == QLatin1String("Hidden")) entry.hidden = value == QLatin1String("true");
    }
    return !entry.exec.isEmpty();
}

QStringList applicationDirs(const XdgDirs& dirs) {
    QStringList out{dirs.dataHome + QStringLiteral("/applications")};
    for (const QString& d : dirs.dataDirs) out << d + QStringLiteral("/applications");
    return out;
}

QString findDesktopFile(const XdgDirs& dirs, const QString& name) {
    for (const QString& d : applicationDirs(dirs)) {
        const QString candidate = d + u'/' + name;
        if (QFileInfo::exists(candidate)) return candidate;
    }
    return {};
}

// The handlers listed for text/html under [Default Applications].
QStringList defaultHandlers(const QString& mimeappsList) {
    QFile file(mimeappsList);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&file);
    bool inDefaults = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inDefaults = line == QLatin1String("[Default Applications]");
            continue;
        }
        if (inDefaults && line.startsWith(QLatin1String("text/html=")))
            return line.mid(10).split(u';', Qt::SkipEmptyParts);
    }
    return {};
}

}  // namespace

XdgDirs XdgDirs::fromEnvironment() {
    XdgDirs d;
    const QString home = QDir::homePath();
    d.configHome = qEnvironmentVariable("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    d.configDirs = splitEnv("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    d.dataHome = qEnvironmentVariable("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    d.dataDirs = splitEnv("XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    d.path = splitEnv("PATH", {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    return d;
}

QString programOfExecLine(const QString& exec, const QStringList& path) {
    const QString line = exec.trimmed();
    QString program;
    if (line.startsWith(u'"')) {
        const qsizetype close = line.indexOf(u'"', 1);
        program = close < 0 ? line.mid(1) : line.mid(1, close - 1);
    } else {
        const qsizetype blank = line.indexOf(u' ');
        program = blank < 0 ? line : line.left(blank);
    }
    if (program.isEmpty() || program.contains(u'/')) return program;
    for (const QString& dir : path) {
        const QFileInfo candidate(dir + u'/' + program);
        if (candidate.isFile() && candidate.isExecutable()) return candidate.absoluteFilePath();
    }
    return program;
}

QString discoverBrowser(const XdgDirs& dirs) {
    QStringList lists{dirs.configHome + QStringLiteral("/mimeapps.list")};
    for (const QString& d : dirs.configDirs) lists << d + QStringLiteral("/mimeapps.list");
    for (const QString& d : applicationDirs(dirs)) lists << d + QStringLiteral("/mimeapps.list");
    for (const QString& list : lists) {
        for (const QString& handler : defaultHandlers(list)) {
            const QString file = findDesktopFile(dirs, handler);
            DesktopEntry entry;
            if (!file.isEmpty() && readDesktopFile(file, entry) && !entry.hidden)
                return programOfExecLine(entry.exec, dirs.path);
        }
    }
    return {};
}

QString discoverHtmlEditor(const XdgDirs& dirs) {
    QString textEditor;
    for (const QString& d : applicationDirs(dirs)) {
        const QStringList names = QDir(d).entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name);
        for (const QString& name : names) {
            DesktopEntry entry;
            if (!readDesktopFile(d + u'/' + name, entry) || entry.hidden) continue;
            if (!entry.mimeTypes.contains(QLatin1String("text/html"))) continue;
            if (entry.categories.contains(QLatin1String("WebDevelopment")))
                return programOfExecLine(entry.exec, dirs.path);
            if (textEditor.isEmpty() && entry.categories.contains(QLatin1String("TextEditor")))
                textEditor = programOfExecLine(entry.exec, dirs.path);
        }
    }
    return textEditor;
}

}  // namespace quillon
