// How a file list window meets a big folder: the time from opening until the
// first screen of thumbnails shows, until all have arrived, and the longest
// pause of the event loop meanwhile (a 5 ms timer notes each turn; a spinning
// zero-interval timer would take a core from the workers).
//   file_list_window_bench FOLDER     (QT_QPA_PLATFORM=offscreen)
#include "album/album_ctrl.h"
#include "album/file_list_windows.h"
#include "album/file_list_wnd.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

class SilentUi : public quillon::UiPort {
public:
    quillon::MsgAnswer message(const QString&, quillon::MsgButtons, quillon::MsgIcon) override {
        return quillon::MsgAnswer::Ok;
    }
    void beep() override {}
};

constexpr int kTick = 5;  // ms

struct Figures {
    qint64 firstScreen = -1, all = -1, longestPause = 0, firstTurn = 0;
    int items = 0;
};

Figures measure(quillon::FileListWindows& windows) {
    Figures f;
    QElapsedTimer clock, turn;
    clock.start();
    quillon::CFileListWnd* window = windows.open();
    QEventLoop loop;
    QTimer ticker;
    int ticks = 0;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTick);
    turn.start();
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        // The first turn builds, lays out and first paints the window.
        const qint64 gap = std::max<qint64>(0, turn.restart() - kTick);
        if (ticks++ == 0) f.firstTurn = gap;
        else f.longestPause = std::max(f.longestPause, gap);
        const quillon::AlbumGridModel& grid = window->album()->model();
        if (grid.count() == 0) return;
        const int screen = std::min(grid.count(), grid.columns() * std::max(1, grid.visibleRows()));
        bool shown = true;
        for (int i = 0; i < screen && shown; ++i) shown = grid.state(i) & quillon::album_state::kHasThumbnail;
        if (shown && f.firstScreen < 0) f.firstScreen = clock.elapsed();
        if (window->thumbnailsDone()) {
            f.all = clock.elapsed();
            f.items = grid.count();
            loop.quit();
        }
    });
    ticker.start();
    loop.exec();
    ticker.stop();
    window->close();
    QCoreApplication::processEvents();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: file_list_window_bench FOLDER\n");
        return 2;
    }
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir cache;
    SilentUi ui;
    quillon::FileListServices services;
    services.ui = [&ui]() -> quillon::UiPort& { return ui; };
    services.openDocument = [](const QString&) {};
    services.focusMainWindow = [] {};
    quillon::FileListWindows windows(services);
    windows.cacheRoot = cache.path();
    for (const char* run : {"cold", "warm"}) {
        const Figures f = measure(windows);
        std::printf("%s cache: %d items, first screen %lld ms, all %lld ms, first turn (window built and painted) "
                    "%lld ms, longest event-loop pause after it %lld ms\n",
                    run, f.items, static_cast<long long>(f.firstScreen), static_cast<long long>(f.all),
                    static_cast<long long>(f.firstTurn), static_cast<long long>(f.longestPause));
    }
    return 0;
}
