// CMainFrame: the program's one top-level window, an MDI frame. It builds
// the menus and the toolbar from resources/menu_layout.h (pruned to what the
// capture library offers), routes every command id through one QAction to
// its handler, enables the actions by the command table's rules, accepts
// dropped files, and saves its place and the settings when it closes.
#pragma once

#include "doc/command_table.h"
#include "frame/menu_pruning.h"

#include <QMainWindow>

#include <functional>
#include <map>

class QMdiArea;
class QMdiSubWindow;
class QSessionManager;
class QToolBar;

namespace quillon {

class CQuillonApp;
class CQuillonDoc;
class CQuillonView;

// The Window menu's entries for the document windows ("&1 無題1", ...).
constexpr int kFirstWindowListId = 0xFF00;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CQuillonApp& app);
    ~CMainFrame() override;

    // Creation: place, menus, toolbar, pruning, drops, the toolbar state.
    bool create(CaptureCapabilities caps);

    QAction* action(int id) const;
    QMenu* popup(int index) const;
    QMenu* contextMenu() const { return m_context; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMdiArea* mdiArea() const { return m_mdi; }

    // Makes the document's MDI window with its view; the frame owns both.
    CQuillonView* addDocumentWindow(CQuillonDoc* doc);
    CQuillonDoc* activeDocument() const;
    CQuillonView* activeView() const;
    QList<CQuillonDoc*> documents() const;

    void setHandler(int id, std::function<void()> handler);
    bool hasHandler(int id) const { return m_handlers.count(id) != 0; }
    // The rules' view of the current state.
    CommandState commandState() const;
    // Re-evaluates every action's enabling.
    void updateCommandUi();
    void showContextMenu(QPoint globalPos);
    void updateTitle();
    void setRecentFiles(const QStringList& files);

    // "ｱｲｺﾝの整列": Qt has no icons for minimised MDI windows, so the
    // minimised windows are lined up along the bottom of the client area.
    void arrangeIcons();
    // Asks every document to close; false when one refuses.
    bool closeAllDocuments();
    void queryEndSession(QSessionManager& manager);

protected:
    bool event(QEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dropEvent(QDropEvent*) override;

private:
    void buildActions();
    void buildMenus(const std::vector<PopupLayout>& layout);
    void buildToolBar(const std::vector<int>& buttons);
    void installShortcuts();
    void rebuildRecentFiles(QMenu* menu);
    void rebuildWindowList(QMenu* menu);
    void storePlacement();
    void saveToolbarState();

    CQuillonApp& m_app;
    QMdiArea* m_mdi;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_context = nullptr;
    std::vector<QMenu*> m_popups;
    std::map<int, QAction*> m_actions;
    std::map<int, std::function<void()>> m_handlers;
    QAction* m_recentPlaceholder = nullptr;
    std::vector<QAction*> m_recentActions;
    std::vector<QAction*> m_windowActions;
    std::vector<QAction*> m_windowKeys;  // close, next, previous window
    QStringList m_recentFiles;
    bool m_closing = false;
};

}  // namespace quillon
