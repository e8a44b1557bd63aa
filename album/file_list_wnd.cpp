#include "album/file_list_wnd.h"

#include "album/album_ctrl.h"
#include "album/delete_dialog.h"
#include "album/file_list_rules.h"
#include "album/file_list_windows.h"
#include "album/thumbnail_loader.h"
#include "image/file_dispatch.h"
#include "resources/strings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QVBoxLayout>

namespace quillon {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

QDateTime stampOf(const QString& path) {
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

}  // namespace

CFileListWnd::CFileListWnd(FileListWindows& owner, int slot, const QString& folder)
    : QWidget(owner.services().owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_owner(owner), m_slot(slot), m_menuBar(new QMenuBar(this)), m_folderText(new QLabel(this)),
      m_album(new CAlbumCtrl(this)), m_watcher(new QFileSystemWatcher(this)) {
    setObjectName(QStringLiteral("1190"));
    setWindowTitle(u8("ﾌｧｲﾙ一覧"));
    m_folderText->setObjectName(QStringLiteral("1191"));
    m_album->setObjectName(QStringLiteral("1192"));
    m_album->setScreenDepth(screenInfo().depth);
    auto* folderLine = new QHBoxLayout;
    folderLine->addWidget(new QLabel(u8("ﾃﾞｨﾚｸﾄﾘ:"), this));
    folderLine->addWidget(m_folderText, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(m_menuBar);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addLayout(folderLine);
    layout->addWidget(m_album, 1);
    buildMenu();
    resize(560, 420);

    const QString root = owner.cacheRoot.isEmpty() ? ThumbnailCache::defaultRoot() : owner.cacheRoot;
    m_loader = std::make_unique<ThumbnailLoader>(ThumbnailMaker(m_album->thumbnailSize(), ThumbnailCache(root)));
    connect(m_loader.get(), &ThumbnailLoader::ready, this, [this](qint64 id, const QImage& thumbnail) {
        if (const int index = indexOfId(id); index >= 0) m_album->setThumbnail(index, thumbnail);
    });
    connect(m_loader.get(), &ThumbnailLoader::failed, this, [this](qint64 id) {
        // Files that do not load are left out without a word.
        if (const int index = indexOfId(id); index >= 0) removeAt(index);
    });
    connect(m_loader.get(), &ThumbnailLoader::finished, this, &CFileListWnd::thumbnailsFinished);

    connect(m_album, &CAlbumCtrl::notification, this, [this](int code) {
        if (code == kAlbumSelChange) updateMenuEnabling();
        else if (code == kAlbumDoubleClick) openSelected();
        else if (code == kAlbumDeleteKey) deleteSelected();
    });
    // Return opens what it leaves selected.
    connect(m_album, &CAlbumCtrl::idOk, this, [this] { QTimer::singleShot(0, this, &CFileListWnd::openSelected); });
    connect(m_album, &CAlbumCtrl::viewChanged, this, &CFileListWnd::prioritiseVisible);

    m_rescan.setSingleShot(true);
    m_rescan.setInterval(150);
    connect(&m_rescan, &QTimer::timeout, this, &CFileListWnd::folderChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_rescan.start(); });

    m_folder = folder;
    m_folderText->setText(m_folder);
    m_watcher->addPath(m_folder);
    // Filled once the window is up.
    QMetaObject::invokeMethod(this, &CFileListWnd::fill, Qt::QueuedConnection);
}

CFileListWnd::~CFileListWnd() {
    m_loader.reset();
    if (m_registered) m_owner.closed(this);
}

void CFileListWnd::buildMenu() {
    QMenu* file = m_menuBar->addMenu(u8("ﾌｧｲﾙ(&Fﾌ)"));
    auto add = [this, file](int id, const char* label, auto handler) {
        QAction* a = file->addAction(u8(label));
        a->setObjectName(QString::number(id));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    add(57601, "開く(&Oﾋ)", [this] { openSelected(); });
    m_savePopup = file->addMenu(u8("保存(&Sﾎ)"));
    m_savePopup->menuAction()->setObjectName(QStringLiteral("save"));
    // Sending to the camera comes with the camera's album.
    add(102, "QV-10へ送信(&Tｿ)...", [] {})->setEnabled(false);
    add(201, "削除(&Dｻ)...", [this] { deleteSelected(); });
    add(202, "更新(&Uｺ)", [this] { refresh(); });
    add(203, "ﾃﾞｨﾚｸﾄﾘ変更(&Hﾃ)...", [this] { changeFolder(); });
    file->addSeparator();
    add(57602, "閉じる(&Cﾄ)", [this] { close(); });
    connect(file, &QMenu::aboutToShow, this, [this] {
        rebuildSavePopup();
        updateMenuEnabling();
    });
}

QAction* CFileListWnd::action(int id) const {
    return m_menuBar->findChild<QAction*>(QString::number(id));
}

void CFileListWnd::rebuildSavePopup() {
    m_savePopup->clear();
    std::vector<OpenFileList> open;
    for (int slot = 0; slot < FileListWindows::kSlots; ++slot)
        if (CFileListWnd* w = m_owner.window(slot)) open.push_back({slot, w->folder()});
    for (const SaveTarget& target : saveTargets(m_slot, m_folder, open)) {
        QAction* a = m_savePopup->addAction(target.label);
        a->setObjectName(QString::number(target.command));
        connect(a, &QAction::triggered, this, [this, slot = target.slot] { copySelectedTo(slot); });
    }
    updateMenuEnabling();
}

void CFileListWnd::updateMenuEnabling() {
    const bool selected = m_album->selectedCount() > 0;
    action(57601)->setEnabled(selected);
    m_savePopup->menuAction()->setEnabled(selected && !m_savePopup->isEmpty());
    action(201)->setEnabled(selected);
}

bool CFileListWnd::thumbnailsDone() const { return m_loader->idle(); }

QStringList CFileListWnd::captions() const {
    QStringList out;
    for (int i = 0; i < m_album->model().count(); ++i) out << m_album->caption(i);
    return out;
}

void CFileListWnd::fill() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (const QString& name : shownFiles(m_folder)) {
        const int before = m_album->model().count();
        appendFile(name);
        if (m_album->model().count() == before) break;  // out of memory: said, and the filling stops
    }
    QApplication::restoreOverrideCursor();
    prioritiseVisible();
    updateMenuEnabling();
    if (m_loader->idle()) emit thumbnailsFinished();
}

void CFileListWnd::appendFile(const QString& name) {
    const int index = m_album->appendItem(QImage());
    if (index < 0) {
        QApplication::restoreOverrideCursor();
        m_owner.services().ui().message(loadString(5012), MsgButtons::Ok, MsgIcon::Exclamation);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    m_album->setCaption(index, name);
    const qint64 id = m_nextId++;
    m_ids.push_back(id);
    requestThumbnail(id, name);
}

void CFileListWnd::requestThumbnail(qint64 id, const QString& name) {
    const QString path = joinPath(m_folder, name);
    m_stamps[name] = stampOf(path);
    m_loader->add(id, path);
}

int CFileListWnd::indexOfId(qint64 id) const {
    const auto found = std::find(m_ids.begin(), m_ids.end(), id);
    return found == m_ids.end() ? -1 : int(found - m_ids.begin());
}

int CFileListWnd::indexOfName(const QString& name) const {
    for (int i = 0; i < m_album->model().count(); ++i)
        if (m_album->caption(i) == name) return i;
    return -1;
}

void CFileListWnd::removeAt(int index) {
    m_stamps.remove(m_album->caption(index));
    m_album->removeItem(index);
    m_ids.erase(m_ids.begin() + index);
    updateMenuEnabling();
}

void CFileListWnd::prioritiseVisible() {
    const AlbumGridModel& grid = m_album->model();
    const int first = grid.firstVisible();
    const int last = std::min(grid.count(), first + grid.columns() * (grid.visibleRows() + 1));
    std::vector<qint64> ids;
    for (int i = first; i < last; ++i)
        if (!(grid.state(i) & album_state::kHasThumbnail)) ids.push_back(m_ids[size_t(i)]);
    if (!ids.empty()) m_loader->prioritise(ids);
}

void CFileListWnd::folderChanged() {
    const QStringList names = shownFiles(m_folder);
    const QSet<QString> present(names.begin(), names.end());
    for (int i = m_album->model().count() - 1; i >= 0; --i)
        if (!present.contains(m_album->caption(i))) removeAt(i);
    QHash<QString, int> shown;
    for (int i = 0; i < m_album->model().count(); ++i) shown.insert(m_album->caption(i), i);
    for (const QString& name : names) {
        const auto found = shown.constFind(name);
        if (found == shown.constEnd()) {
            appendFile(name);
        } else if (stampOf(joinPath(m_folder, name)) != m_stamps.value(name)) {
            m_album->setThumbnail(*found, QImage());
            requestThumbnail(m_ids[size_t(*found)], name);
        }
    }
    prioritiseVisible();
    updateMenuEnabling();
}

std::vector<QString> CFileListWnd::selectedNames() const {
    std::vector<QString> names;
    for (int i = m_album->nextSelected(-1); i >= 0; i = m_album->nextSelected(i)) names.push_back(m_album->caption(i));
    return names;
}

void CFileListWnd::openSelected() {
    const FileListServices& services = m_owner.services();
    for (const QString& name : selectedNames()) services.openDocument(joinPath(m_folder, name));
    if (services.focusMainWindow) services.focusMainWindow();
}

void CFileListWnd::copySelectedTo(int slot) {
    CFileListWnd* target = m_owner.window(slot);
    if (!target || target == this) return;
    for (const QString& name : selectedNames())
        if (!target->receiveCopy(joinPath(m_folder, name))) break;
}

bool CFileListWnd::receiveCopy(const QString& sourcePath) {
    QString destination;
    const CopyOutcome outcome = copyIntoFolder(sourcePath, m_folder, m_owner.services().ui(), &destination);
    if (outcome == CopyOutcome::Failed) return false;
    if (outcome == CopyOutcome::Copied) addFile(destination);
    return true;
}

void CFileListWnd::addFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (!isShownName(name)) return;
    // A file copied over one on view gets a new thumbnail, not a second item.
    if (const int index = indexOfName(name); index >= 0) {
        m_album->setThumbnail(index, QImage());
        requestThumbnail(m_ids[size_t(index)], name);
    } else {
        appendFile(name);
    }
    prioritiseVisible();
}

void CFileListWnd::deleteSelected() {
    UiPort& ui = m_owner.services().ui();
    bool all = false;
    for (const QString& name : selectedNames()) {
        const QString path = joinPath(m_folder, name);
        const bool toTrash = trashAvailable(path);
        if (!all) {
            const int answer = m_owner.dialogs.askDelete(deleteQuestion(path, toTrash), this);
            if (answer == kDeleteCancel) break;
            if (answer == kDeleteNo) continue;
            if (answer == kDeleteAll) all = true;
        }
        if (!deleteFile(path, toTrash)) {
            ui.message(u8("%1 を削除できませんでした。").arg(path), MsgButtons::Ok, MsgIcon::Exclamation);
            break;
        }
        if (const int index = indexOfName(name); index >= 0) removeAt(index);
    }
    updateMenuEnabling();
}

void CFileListWnd::refresh() {
    m_loader->cancel();
    m_album->removeAllItems();
    m_ids.clear();
    m_stamps.clear();
    fill();
}

void CFileListWnd::changeFolder() {
    if (const auto folder = m_owner.dialogs.chooseFolder(m_folder, this)) setFolder(*folder);
}

void CFileListWnd::setFolder(const QString& folder) {
    if (!m_watcher->directories().isEmpty()) m_watcher->removePaths(m_watcher->directories());
    m_folder = folder;
    m_folderText->setText(m_folder);
    m_watcher->addPath(m_folder);
    refresh();
}

void CFileListWnd::closeEvent(QCloseEvent* e) {
    if (m_closing) return;
    m_closing = true;
    e->accept();
    if (const auto& focus = m_owner.services().focusMainWindow) focus();
    m_registered = false;
    m_owner.closed(this);
    deleteLater();
}

}  // namespace quillon
