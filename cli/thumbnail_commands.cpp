// thumbnail and thumbnails: the file list window's thumbnails from a shell,
// made by the same maker, cache and worker pool.
#include "album/file_list_rules.h"
#include "album/thumbnail_loader.h"
#include "album/thumbnail_maker.h"
#include "album/thumbnail_png.h"
#include "cli/commands.h"
#include "cli/console_port.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"
#include "image/save_formats.h"
#include "resources/strings.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace quillon::cli {
namespace {

// "IN OUT --box WxH" in any order of the option; nothing on a mistake.
std::optional<std::pair<QStringList, QSize>> parse(const QStringList& arguments) {
    QStringList paths;
    QSize box;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--box" && i + 1 < arguments.size()) {
            static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
            const auto match = pattern.match(arguments[++i]);
            if (!match.hasMatch()) return std::nullopt;
            box = QSize(match.captured(1).toInt(), match.captured(2).toInt());
            if (box.width() < 1 || box.height() < 1) return std::nullopt;
        } else if (arguments[i].startsWith("--")) {
            return std::nullopt;
        } else {
            paths << arguments[i];
        }
    }
    if (paths.size() != 2 || !box.isValid()) return std::nullopt;
    return std::make_pair(paths, box);
}

// The loader delivers on an event loop; a shell run has none of its own.
QCoreApplication& eventLoopApp() {
    static int argc = 1;
    static char name[] = "quillon-cli";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication* app = QCoreApplication::instance()) return *app;
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

}  // namespace

int runThumbnail(const QStringList& arguments, ConsolePort& console) {
    const auto parsed = parse(arguments);
    if (!parsed) return usage(console, "thumbnail");
    const QString& in = parsed->first[0];
    const QString& out = parsed->first[1];
    const int formatIndex = saveFormatIndexOfPath(out);
    if (!saveFormatAt(formatIndex)) {
        console.error(wrongExtensionMessage());
        return kFailed;
    }
    const ThumbnailMaker maker(parsed->second, ThumbnailCache());
    const auto thumbnail = maker.make(in);
    if (!thumbnail) {
        console.error(formatMessage(5028, in));
        return kFailed;
    }
    CImageObject picture;
    if (!picture.fromDeviceImage(thumbnail->convertToFormat(QImage::Format_RGB888), false, false)) return kFailed;
    if (const auto refusal = saveRefusal(formatIndex, picture.bitsPerPixel())) {
        console.error(*refusal);
        return kFailed;
    }
    const int quality = formatIndex == kSaveFormatJpeg ? 100 : 1;
    return savePictureOfView(picture, out, formatIndex, quality, false, &console) ? kDone : kFailed;
}

int runThumbnails(const QStringList& arguments, ConsolePort& console) {
    const auto parsed = parse(arguments);
    if (!parsed) return usage(console, "thumbnails");
    const QString folder = parsed->first[0];
    const QString outFolder = parsed->first[1];
    if (!QFileInfo(folder).isDir()) {
        console.error(formatMessage(5028, folder));
        return kFailed;
    }
    if (!QDir().mkpath(outFolder)) {
        console.error(formatMessage(5028, outFolder));
        return kFailed;
    }
    eventLoopApp();
    const QStringList names = shownFiles(folder);
    ThumbnailLoader loader(ThumbnailMaker(parsed->second, ThumbnailCache()));
    const bool terminal = isatty(fileno(stderr));
    int done = 0;
    std::atomic<int> made = 0, failedWrites = 0;
    auto progress = [&] {
        ++done;
        if (terminal) std::fprintf(stderr, "\r%d/%lld", done, static_cast<long long>(names.size()));
    };
    QEventLoop loop;
    // Written on the worker threads, as they are made.
    loader.setWorkerSink([&](qint64 id, const QImage& thumbnail, const QByteArray& cachedPng) {
        QFile out(joinPath(outFolder, names[id] + ".png"));
        const QByteArray bytes = cachedPng.isEmpty() ? encodeThumbnailPng(thumbnail) : cachedPng;
        if (!bytes.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size()) ++made;
        else ++failedWrites;
    });
    QObject::connect(&loader, &ThumbnailLoader::ready, progress);
    QObject::connect(&loader, &ThumbnailLoader::failed, progress);
    QObject::connect(&loader, &ThumbnailLoader::finished, &loop, &QEventLoop::quit);
    for (qsizetype i = 0; i < names.size(); ++i) loader.add(i, joinPath(folder, names[i]));
    if (!names.isEmpty()) loop.exec();
    if (terminal)
        std::fprintf(stderr, "\r%d thumbnails of %lld files\n", made.load(), static_cast<long long>(names.size()));
    if (failedWrites > 0) {
        console.error(loadString(5029));
        return kFailed;
    }
    return kDone;
}

}  // namespace quillon::cli
