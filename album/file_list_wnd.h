// CFileListWnd: a window of thumbnails of every picture file in one folder
// (dialog 1190 "ﾌｧｲﾙ一覧" with menu 4). Items appear at once in the folder's
// order with an empty box; the thumbnails come from worker threads, those on
// view first. The user opens, copies into another file list window, deletes
// (to the trash), refreshes and changes the folder; the folder is watched so
// files added, removed or replaced by others show without a refresh.
#pragma once

#include <QFileInfo>
#include <QHash>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class QFileSystemWatcher;
class QLabel;
class QMenu;
class QMenuBar;

namespace quillon {

class CAlbumCtrl;
class FileListWindows;
class ThumbnailLoader;

class CFileListWnd : public QWidget {
    Q_OBJECT
public:
    CFileListWnd(FileListWindows& owner, int slot, const QString& folder);
    ~CFileListWnd() override;

    int slot() const { return m_slot; }
    QString folder() const { return m_folder; }
    CAlbumCtrl* album() const { return m_album; }
    QMenuBar* menuBar() const { return m_menuBar; }
    QAction* action(int id) const;
    // The "保存" popup as it is rebuilt when the menu opens.
    QMenu* savePopup() const { return m_savePopup; }
    void rebuildSavePopup();
    void updateMenuEnabling();
    // The thumbnails still to come: none queued or being made.
    bool thumbnailsDone() const;
    QStringList captions() const;

    // The commands.
    void openSelected();            // 57601 and double-click
    void copySelectedTo(int slot);  // 204 + slot
    void deleteSelected();          // 201 and the Delete key
    void refresh();                 // 202
    void changeFolder();            // 203
    void setFolder(const QString& folder);

    // 0x501: copies a file of another folder here and shows it. False when
    // the copy failed (and the run stops).
    bool receiveCopy(const QString& sourcePath);
    // 0x502: a new file in this folder.
    void addFile(const QString& path);

signals:
    void thumbnailsFinished();

protected:
    void closeEvent(QCloseEvent*) override;

private:
    void buildMenu();
    void fill();
    void appendFile(const QString& name);
    void requestThumbnail(qint64 id, const QString& name);
    int indexOfId(qint64 id) const;
    int indexOfName(const QString& name) const;
    void removeAt(int index);
    void prioritiseVisible();
    void folderChanged();
    std::vector<QString> selectedNames() const;

    FileListWindows& m_owner;
    int m_slot;
    QString m_folder;
    QMenuBar* m_menuBar;
    QMenu* m_savePopup = nullptr;
    QLabel* m_folderText;
    CAlbumCtrl* m_album;
    std::unique_ptr<ThumbnailLoader> m_loader;
    QFileSystemWatcher* m_watcher;
    QTimer m_rescan;
    // Parallel to the album's items: each item's id and its file's state.
    std::vector<qint64> m_ids;
    QHash<QString, QDateTime> m_stamps;
    qint64 m_nextId = 1;
    bool m_closing = false;
    bool m_registered = true;  // holds its slot
};

}  // namespace quillon
