// The program's file list windows: ten numbered slots, the count of open
// ones, and what the windows need from the program (its UI port, opening a
// file as a document, giving the main window the focus). Command 100 opens
// a window in the first free slot while fewer than ten are open.
#pragma once

#include "ui/ui_port.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QWidget;

namespace quillon {

class CFileListWnd;

struct FileListServices {
    std::function<UiPort&()> ui;
    std::function<void(const QString& path)> openDocument;
    std::function<void()> focusMainWindow;
    QWidget* owner = nullptr;  // the main window; the windows stay above it
};

// The questions the windows ask with dialogs of their own; tests replace them.
struct FileListDialogs {
    std::function<int(const QString& text, QWidget* parent)> askDelete;
    std::function<std::optional<QString>(const QString& start, QWidget* parent)> chooseFolder;
};

class FileListWindows : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlots = 10;

    explicit FileListWindows(FileListServices services, QObject* parent = nullptr);
    ~FileListWindows() override;

    // A new window in the first free slot, showing the current folder; none
    // when all ten slots are taken.
    CFileListWnd* open();
    int count() const;
    CFileListWnd* window(int slot) const;
    // Destroys every window.
    void closeAll();

    const FileListServices& services() const { return m_services; }
    FileListDialogs dialogs;
    // The thumbnail cache's folder; empty: the desktop's.
    QString cacheRoot;

signals:
    void countChanged(int count);

private:
    friend class CFileListWnd;
    void closed(CFileListWnd* window);

    FileListServices m_services;
    std::array<CFileListWnd*, kSlots> m_slots{};
};

}  // namespace quillon
