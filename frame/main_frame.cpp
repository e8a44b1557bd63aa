#include "frame/main_frame.h"

#include "frame/shortcuts.h"

#include "app/quillon_app.h"
#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "image/image_window.h"
#include "resources/menu_layout.h"
#include "resources/strings.h"
#include "resources/toolbar_icons.h"
#include "ui/progress_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSessionManager>
#include <QSettings>
#include <QToolBar>

#include <algorithm>

namespace quillon {
namespace {

// The MDI child: asks its document before it closes.
class DocumentWindow : public QMdiSubWindow {
public:
    DocumentWindow(CQuillonDoc* doc, QWidget* parent) : QMdiSubWindow(parent), m_doc(doc) {
        setAttribute(Qt::WA_DeleteOnClose);
        doc->setParent(this);
    }
    CQuillonDoc* document() const { return m_doc; }

protected:
    void closeEvent(QCloseEvent* e) override {
        if (!m_doc->saveModified()) {
            e->ignore();
            return;
        }
        m_doc->onCloseDocument();
        QMdiSubWindow::closeEvent(e);
    }

private:
    CQuillonDoc* m_doc;
};

}  // namespace

CMainFrame::CMainFrame(CQuillonApp& app) : m_app(app) {
    setQuitting(false);
    setObjectName(QStringLiteral("QuillonDX"));
    m_mdi = new QMdiArea(this);
    m_mdi->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdi);
    setWindowTitle(loadString(57344));
    setWindowIcon(programIcon());
    // However a document window becomes active (click, title bar, keyboard,
    // the Window menu), its view is the application's active view.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (auto* window = dynamic_cast<DocumentWindow*>(sub); window && window->document()->view())
            m_app.viewActivated(window->document()->view());
        updateTitle();
        updateCommandUi();
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::updateCommandUi);
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::create(CaptureCapabilities caps) {
    const Settings& s = m_app.settings();
    move(s.left, s.top);
    resize(std::max(1, s.right - s.left), std::max(1, s.bottom - s.top));
    buildActions();
    std::vector<PopupLayout> layout = mainMenuLayout();
    pruneMenu(layout, caps);
    buildMenus(layout);
    std::vector<int> buttons = toolbarLayout();
    pruneToolbar(buttons, caps);
    buildToolBar(buttons);
    installShortcuts();
    setAcceptDrops(s.dragDrop != 0);
    const QByteArray state = m_app.store().value(QStringLiteral("ToolbarState")).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    updateCommandUi();
    return m_toolBar != nullptr;
}

void CMainFrame::buildActions() {
    for (const CommandInfo& command : commandTable()) {
        auto* a = new QAction(this);
        a->setObjectName(QString::number(command.id));
        a->setText(menuLabelOf(command.id));
        const QString tip = tooltipOf(command.id);
        if (!tip.isEmpty()) a->setToolTip(tip);
        a->setStatusTip(loadString(command.id).section(u'\n', 0, 0));
        a->setIcon(toolbarIcon(command.id));
        a->setIconVisibleInMenu(false);
        a->setEnabled(false);
        const int id = command.id;
        connect(a, &QAction::triggered, this, [this, id] {
            const auto it = m_handlers.find(id);
            updateCommandUi();
            if (it != m_handlers.end() && m_actions[id]->isEnabled()) it->second();
            updateCommandUi();
        });
        m_actions[id] = a;
    }
}

void CMainFrame::buildMenus(const std::vector<PopupLayout>& layout) {
    for (const PopupLayout& popup : layout) {
        QMenu* menu = menuBar()->addMenu(popup.title);
        for (const MenuItemLayout& item : popup.items) {
            switch (item.kind) {
            case MenuItemLayout::Kind::Separator: menu->addSeparator(); break;
            case MenuItemLayout::Kind::RecentFiles:
                m_recentPlaceholder = menu->addAction(item.label);
                m_recentPlaceholder->setObjectName(QString::number(item.id));
                m_recentPlaceholder->setEnabled(false);
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { rebuildRecentFiles(menu); });
                break;
            case MenuItemLayout::Kind::Command: {
                QAction* a = action(item.id);
                if (!a) break;
                a->setText(item.label);
                if (!item.shortcut.isEmpty()) a->setShortcut(QKeySequence(item.shortcut));
                menu->addAction(a);
                break;
            }
            }
        }
        // Enabling is decided when a menu opens.
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandUi);
        // The Window popup lists the document windows below its commands.
        const bool windowPopup = std::any_of(popup.items.begin(), popup.items.end(),
                                             [](const MenuItemLayout& item) { return item.id == 57650; });
        if (windowPopup) connect(menu, &QMenu::aboutToShow, this, [this, menu] { rebuildWindowList(menu); });
        m_popups.push_back(menu);
    }
    m_context = new QMenu(this);
    for (const MenuItemLayout& item : contextMenuLayout()) {
        if (item.isSeparator()) m_context->addSeparator();
        else if (QAction* a = action(item.id)) m_context->addAction(a);
    }
    connect(m_context, &QMenu::aboutToShow, this, &CMainFrame::updateCommandUi);
}

void CMainFrame::installShortcuts() {
    for (const auto& [id, keys] : resolvedShortcuts()) {
        QAction* a = nullptr;
        if (id >= 0) {
            a = action(id);
        } else {
            a = new QAction(this);
            a->setObjectName(QStringLiteral("window-key%1").arg(id));
            connect(a, &QAction::triggered, this, [this, id] {
                if (id == kCloseWindowKeyId) m_mdi->closeActiveSubWindow();
                else if (id == kNextWindowKeyId) m_mdi->activateNextSubWindow();
                else m_mdi->activatePreviousSubWindow();
            });
            m_windowKeys.push_back(a);
        }
        if (!a) continue;
        a->setShortcuts(keys);
        // Held by the frame too, so a key works whether or not its
        // command has a place in the menus or the toolbar.
        addAction(a);
    }
}

void CMainFrame::buildToolBar(const std::vector<int>& buttons) {
    m_toolBar = new QToolBar(QString::fromUtf8("Quillonのﾂｰﾙﾊﾞｰ"), this);
    m_toolBar->setObjectName(QStringLiteral("59392"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : buttons) {
        if (id == 0) m_toolBar->addSeparator();
        else if (QAction* a = action(id)) m_toolBar->addAction(a);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

QAction* CMainFrame::action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CMainFrame::popup(int index) const {
    return index >= 0 && size_t(index) < m_popups.size() ? m_popups[size_t(index)] : nullptr;
}

CQuillonView* CMainFrame::addDocumentWindow(CQuillonDoc* doc) {
    auto* window = new DocumentWindow(doc, m_mdi);
    auto* view = new CQuillonView(*doc, m_app, window);
    doc->attachView(view);
    window->setWidget(view);
    window->setWindowTitle(doc->title());
    window->setWindowIcon(programIcon());
    m_mdi->addSubWindow(window);
    // The window's own menu would claim the frame's window keys and make
    // them ambiguous; the frame's actions do the same work.
    if (QMenu* menu = window->systemMenu()) {
        for (QAction* a : menu->actions()) {
            QList<QKeySequence> keys = a->shortcuts();
            for (const QAction* held : m_windowKeys)
                for (const QKeySequence& key : held->shortcuts()) keys.removeAll(key);
            a->setShortcuts(keys);
        }
    }
    connect(doc, &CQuillonDoc::titleChanged, window, [this, window, doc] {
        window->setWindowTitle(doc->title());
        updateTitle();
    });
    connect(window, &QMdiSubWindow::aboutToActivate, view, &CQuillonView::noteActivation);
    connect(view, &CQuillonView::stateChanged, this, &CMainFrame::updateCommandUi);
    connect(view, &CQuillonView::contextMenuRequested, this, &CMainFrame::showContextMenu);
    connect(window, &QObject::destroyed, this, [this] {
        updateTitle();
        updateCommandUi();
    });
    window->resize(m_mdi->width() * 2 / 3, m_mdi->height() * 2 / 3);
    window->show();
    return view;
}

CQuillonDoc* CMainFrame::activeDocument() const {
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    if (!sub && !m_mdi->subWindowList().isEmpty()) sub = m_mdi->currentSubWindow();
    auto* window = dynamic_cast<DocumentWindow*>(sub);
    return window ? window->document() : nullptr;
}

CQuillonView* CMainFrame::activeView() const {
    CQuillonDoc* doc = activeDocument();
    return doc ? doc->view() : nullptr;
}

QList<CQuillonDoc*> CMainFrame::documents() const {
    QList<CQuillonDoc*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (auto* w = dynamic_cast<DocumentWindow*>(sub)) out << w->document();
    return out;
}

void CMainFrame::setHandler(int id, std::function<void()> handler) { m_handlers[id] = std::move(handler); }

CommandState CMainFrame::commandState() const {
    CommandState s;
    const Settings& settings = m_app.settings();
    s.libraryLoaded = m_app.captureLibrary().loaded();
    s.cameraCapable = m_app.captureLibrary().camera();
    s.calibrationCapable = m_app.captureLibrary().calibration();
    s.browserPathSet = !settings.browserPath.isEmpty();
    s.htmlEditorPathSet = !settings.htmlEditorPath.isEmpty();
    s.ftpPathSet = !settings.ftpPath.isEmpty();
    s.fileListCount = m_app.fileListCount();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    s.clipboardHasPicture = clip && clip->hasImage();
    if (CQuillonView* view = activeView()) {
        s.hasDocument = true;
        s.hasPicture = view->hasPicture();
        s.toolWindow = view->toolWindow() != nullptr;
        s.depth = view->image().bitsPerPixel();
        s.hasSelection = view->selection().has_value();
        s.trackerIdle = view->trackerIdle();
        s.undoAvailable = view->undoAvailable();
        s.zoom = view->zoom();
    }
    return s;
}

void CMainFrame::updateCommandUi() {
    if (m_closing) return;
    const CommandState state = commandState();
    for (const auto& [id, a] : m_actions) {
        const CommandInfo* info = findCommand(id);
        a->setEnabled(info && hasHandler(id) && commandEnabled(*info, state));
    }
    for (QAction* a : m_windowKeys) a->setEnabled(!m_mdi->subWindowList().isEmpty());
}

void CMainFrame::showContextMenu(QPoint globalPos) {
    updateCommandUi();
    m_context->popup(globalPos);
}

void CMainFrame::updateTitle() {
    const CQuillonDoc* doc = activeDocument();
    const QString app = loadString(57344);
    setWindowTitle(doc ? app + QStringLiteral(" - ") + doc->title() : app);
}

void CMainFrame::setRecentFiles(const QStringList& files) { m_recentFiles = files; }

void CMainFrame::rebuildRecentFiles(QMenu* menu) {
    for (QAction* a : m_recentActions) {
        menu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    m_recentPlaceholder->setVisible(m_recentFiles.isEmpty());
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        const QString path = m_recentFiles[i];
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), menu);
        a->setObjectName(QString::number(57616 + i));
        connect(a, &QAction::triggered, this, [this, path] { m_app.openDocument(path); });
        menu->insertAction(m_recentPlaceholder, a);
        m_recentActions.push_back(a);
    }
}

void CMainFrame::rebuildWindowList(QMenu* menu) {
    for (QAction* a : m_windowActions) {
        menu->removeAction(a);
        a->deleteLater();
    }
    m_windowActions.clear();
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    m_windowActions.push_back(menu->addSeparator());
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* sub = windows[i];
        auto* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(sub->windowTitle()));
        a->setObjectName(QString::number(kFirstWindowListId + i));
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] {
            if (sub->isMinimized()) sub->showNormal();
            m_mdi->setActiveSubWindow(sub);
        });
        m_windowActions.push_back(a);
    }
}

void CMainFrame::arrangeIcons() {
    // Minimised document windows in a row along the bottom of the client
    // area, wrapping upwards, in the order the windows were opened.
    const QRect area = m_mdi->viewport()->rect();
    int x = 0, bottom = area.bottom() + 1, rowHeight = 0;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        sub->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

bool CMainFrame::closeAllDocuments() {
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (!sub->close()) return false;
    }
    return true;
}

void CMainFrame::saveToolbarState() {
    m_app.store().setValue(QStringLiteral("ToolbarState"), saveState());
}

void CMainFrame::storePlacement() {
    if (isMinimized()) return;  // the rectangle saved before stays
    Settings& s = m_app.settings();
    const QRect normal = isMaximized() ? normalGeometry() : QRect(pos(), size());
    s.left = normal.left();
    s.top = normal.top();
    s.right = normal.left() + normal.width();
    s.bottom = normal.top() + normal.height();
    s.show = isMaximized() ? kShowMaximized : kShowNormal;
}

bool CMainFrame::event(QEvent* e) {
    // Enabling is otherwise refreshed when menus open and when state
    // changes; a key must see the state of the moment it is pressed.
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        const bool command = (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ||
                             (key->key() >= Qt::Key_Escape && key->key() < Qt::Key_Shift) ||
                             (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35);
        if (command) updateCommandUi();
    }
    return QMainWindow::event(e);
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    saveToolbarState();
    if (!closeAllDocuments()) {
        e->ignore();
        return;
    }
    // Shutdown: the place on screen and all settings.
    storePlacement();
    m_app.writeSettings();
    m_closing = true;
    setQuitting(true);  // long loops that pump stop here
    e->accept();
}

void CMainFrame::queryEndSession(QSessionManager& manager) {
    if (manager.allowsInteraction()) {
        for (CQuillonDoc* doc : documents()) {
            if (!doc->saveModified()) {
                manager.cancel();
                return;
            }
        }
    }
    storePlacement();
    m_app.writeSettings();
    saveToolbarState();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* e) {
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile()) m_app.openDocument(url.toLocalFile());
    e->acceptProposedAction();
}

}  // namespace quillon
