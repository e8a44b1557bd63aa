#include "album/file_list_windows.h"

#include "album/delete_dialog.h"
#include "album/file_list_wnd.h"

#include <QDir>
#include <QFileDialog>

namespace quillon {

FileListWindows::FileListWindows(FileListServices services, QObject* parent)
    : QObject(parent), m_services(std::move(services)) {
    dialogs.askDelete = [](const QString& text, QWidget* parent) { return quillon::askDelete(text, parent); };
    dialogs.chooseFolder = [](const QString& start, QWidget* parent) -> std::optional<QString> {
        const QString folder = QFileDialog::getExistingDirectory(parent, QString(), start,
                                                                 QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (folder.isEmpty()) return std::nullopt;
        return folder;
    };
}

FileListWindows::~FileListWindows() { closeAll(); }

CFileListWnd* FileListWindows::open() {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (m_slots[size_t(slot)]) continue;
        auto* window = new CFileListWnd(*this, slot, QDir::currentPath());
        m_slots[size_t(slot)] = window;
        window->show();
        emit countChanged(count());
        return window;
    }
    return nullptr;
}

int FileListWindows::count() const {
    return int(std::count_if(m_slots.begin(), m_slots.end(), [](CFileListWnd* w) { return w != nullptr; }));
}

CFileListWnd* FileListWindows::window(int slot) const {
    return slot >= 0 && slot < kSlots ? m_slots[size_t(slot)] : nullptr;
}

void FileListWindows::closeAll() {
    for (CFileListWnd*& window : m_slots) {
        if (!window) continue;
        CFileListWnd* w = window;
        window = nullptr;
        delete w;
    }
    emit countChanged(0);
}

void FileListWindows::closed(CFileListWnd* window) {
    for (CFileListWnd*& w : m_slots)
        if (w == window) w = nullptr;
    emit countChanged(count());
}

}  // namespace quillon
