// The file list window's rules without its widgets: which files a folder
// shows, which other windows its "保存" popup offers, the copy of a file into
// a window's folder with its questions and messages, and the delete that
// moves files to the desktop's trash.
#pragma once

#include "ui/ui_port.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quillon {

// The extensions the window shows, in any case.
const QStringList& acceptedExtensions();
// A name the window shows: not beginning with ".", with an accepted extension
// after its last ".".
bool isShownName(const QString& fileName);
// The folder's shown files in the folder's order (by name, ignoring case).
QStringList shownFiles(const QString& folder);
// folder + "/" + name, without doubling a separator at the folder's end.
QString joinPath(const QString& folder, const QString& name);

// One entry of the rebuilt "保存" popup.
struct SaveTarget {
    int command;    // 204 + slot
    int slot;
    QString label;  // "%sへ保存(&%c)"
};
struct OpenFileList {
    int slot;
    QString folder;
};
// Every other open window whose folder differs (ignoring case) from this
// one's, in slot order; the mnemonic is the digit of the entry's count.
std::vector<SaveTarget> saveTargets(int thisSlot, const QString& thisFolder, const std::vector<OpenFileList>& open);

enum class CopyOutcome { Copied, Declined, Failed };
// Copies the file into the folder under its own name. An existing file is
// overwritten only after "%1 を 上書きしますか？" is answered Yes; the copy
// goes to a temporary file that replaces the destination only when complete,
// so a failed write (message 5029) leaves no partial file and keeps an old
// one; a source or destination that cannot be opened shows 5028. The copy
// keeps the source's access and modification times.
CopyOutcome copyIntoFolder(const QString& source, const QString& folder, UiPort& ui, QString* destination = nullptr);

// Whether deleting this file can go to a trash (the user's, on the same
// device, or one at the top of the file's own file system).
bool trashAvailable(const QString& path);
// The delete question for one file: message 5027, and a note when the file
// is to be removed for good.
QString deleteQuestion(const QString& path, bool toTrash);
// Moves the file to the trash, or removes it where there is none.
bool deleteFile(const QString& path, bool toTrash);

}  // namespace quillon
