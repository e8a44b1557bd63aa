// html-page and html-refs: the page the HTML editor command writes, and the
// pictures the HTML picture list shows, from a shell.
#include "cli/commands.h"
#include "cli/console_port.h"
#include "frame/html_page.h"
#include "frame/html_refs.h"
#include "resources/strings.h"

#include <QFileInfo>

#include <cstdio>

namespace quillon::cli {
int runHtmlPage(const QStringList& arguments, ConsolePort& console) {
    if (arguments.size() != 1) return usage(console, "html-page");
    const QString picture = arguments.first();
    if (!QFileInfo(picture).isFile()) {
        console.error("quillon-cli: no such picture file: " + picture);
        return kFailed;
    }
    const QString page = writeHtmlPage(picture, console);
    if (page.isEmpty()) return kFailed;
    console.print(page);
    return kDone;
}

int runHtmlRefs(const QStringList& arguments, ConsolePort& console) {
    if (arguments.size() != 1) return usage(console, "html-refs");
    const ReferenceScan scan = scanPictureReferences(arguments.first(), console);
    if (scan.references.isEmpty()) {
        console.message(loadString(5060), MsgButtons::Ok, MsgIcon::Information);
        return kFailed;
    }
    QByteArray out;
    for (const PictureReference& reference : scan.references) {
        out += reference.value.toUtf8();
        out += '\n';
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return kDone;
}

}  // namespace quillon::cli
