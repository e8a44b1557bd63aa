#include "album/file_list_rules.h"

#include "resources/strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>

#include <unistd.h>

#include <vector>

namespace quillon {

const QStringList& acceptedExtensions() {
    static const QStringList list = {"TIF", "TGA", "BMP", "GIF", "DIB", "PCX", "JPG", "CAL", "MAC", "IMG", "MSP",
                                     "WPG", "RAS", "PCT", "EPS", "WMF", "ICA", "FXS", "PNG", "PSD", "PCD"};
    return list;
}

bool isShownName(const QString& fileName) {
    if (fileName.startsWith(u'.')) return false;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0) return false;
    return acceptedExtensions().contains(fileName.mid(dot + 1), Qt::CaseInsensitive);
}

QStringList shownFiles(const QString& folder) {
    QStringList shown;
    const QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        if (isShownName(name)) shown << name;
    return shown;
}

QString joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

std::vector<SaveTarget> saveTargets(int thisSlot, const QString& thisFolder, const std::vector<OpenFileList>& open) {
    std::vector<SaveTarget> targets;
    for (const OpenFileList& other : open) {
        if (other.slot == thisSlot || other.folder.compare(thisFolder, Qt::CaseInsensitive) == 0) continue;
        const int count = int(targets.size()) + 1;
        QString folder = other.folder;
        folder.replace(u'&', QStringLiteral("&&"));
        targets.push_back({204 + other.slot, other.slot,
                           QString::fromUtf8("%1へ保存(&%2)").arg(folder).arg(count % 10)});
    }
    return targets;
}

CopyOutcome copyIntoFolder(const QString& source, const QString& folder, UiPort& ui, QString* destination) {
    const QFileInfo from(source);
    const QString target = joinPath(folder, from.fileName());
    if (destination) *destination = target;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        ui.message(formatMessage(5028, source), MsgButtons::Ok, MsgIcon::Exclamation);
        return CopyOutcome::Failed;
    }
    const QFileInfo existing(target);
    if (existing.exists() &&
        ui.message(formatMessage(5004, target), MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
        return CopyOutcome::Declined;
    // The copy replaces the destination only once it is whole.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        ui.message(formatMessage(5028, target), MsgButtons::Ok, MsgIcon::Exclamation);
        return CopyOutcome::Failed;
    }
    out.setPermissions(existing.exists() ? existing.permissions() : from.permissions());
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const qint64 got = in.read(buffer.data(), qint64(buffer.size()));
        if (got < 0) {
            out.cancelWriting();
            ui.message(formatMessage(5028, source), MsgButtons::Ok, MsgIcon::Exclamation);
            return CopyOutcome::Failed;
        }
        if (got == 0) break;
        if (out.write(buffer.data(), got) != got) {
            out.cancelWriting();
            break;
        }
    }
    if (!out.commit()) {
        ui.message(loadString(5029), MsgButtons::Ok, MsgIcon::Exclamation);
        return CopyOutcome::Failed;
    }
    QFile copied(target);
    if (copied.open(QIODevice::Append)) {
        copied.setFileTime(from.fileTime(QFileDevice::FileAccessTime), QFileDevice::FileAccessTime);
        copied.setFileTime(from.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime);
    }
    return CopyOutcome::Copied;
}

bool trashAvailable(const QString& path) {
    const QString homeTrash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    QString homeProbe = homeTrash;
    while (!QFileInfo::exists(homeProbe) && homeProbe.contains(u'/')) homeProbe = QFileInfo(homeProbe).path();
    const QStorageInfo volume(QFileInfo(path).absolutePath());
    if (!volume.isValid()) return false;
    if (QStorageInfo(homeProbe).rootPath() == volume.rootPath()) return true;
    // A trash at the top of the file's own file system, or one that can be made there.
    const QString top = volume.rootPath();
    const QString uid = QString::number(getuid());
    if (QFileInfo(top + "/.Trash/" + uid).isDir() || QFileInfo(top + "/.Trash-" + uid).isDir()) return true;
    return QFileInfo(top).isWritable() && !volume.isReadOnly();
}

QString deleteQuestion(const QString& path, bool toTrash) {
    QString text = formatMessage(5027, path);
    if (!toTrash) text += QString::fromUtf8("\nこのﾌｧｲﾙにはごみ箱がないため、元に戻せません。");
    return text;
}

bool deleteFile(const QString& path, bool toTrash) {
    if (!toTrash) return QFile::remove(path);
    // Without the user's data folder Qt falls back to "files" and "info"
    // under the working folder, which is no trash at all.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash)) return false;
    if (QDir::isAbsolutePath(inTrash)) return true;
    const QString name = QFileInfo(inTrash).fileName();
    QFile::rename(inTrash, path);
    QFile::remove(QFileInfo(inTrash).absolutePath() + "/../info/" + name + ".trashinfo");
    return false;
}

}  // namespace quillon
