#include "frame/html_page.h"

#include "ui/ui_port.h"

#include <QFile>
#include <QFileInfo>

namespace quillon {
namespace {

constexpr int kLastPageNumber = 999999;

bool isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

}  // namespace

QString htmlPageName(int number) {
    return QStringLiteral("QL%1.HTM").arg(number, 6, 10, QLatin1Char('0'));
}

QString freeHtmlPagePath(const QString& folder) {
    const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
    for (int n = 0; n <= kLastPageNumber; ++n) {
        const QString path = base + htmlPageName(n);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return path;
    }
    return {};
}

QByteArray htmlPageBytes(const QString& pictureFileName) {
    const bool ascii = isAscii(pictureFileName);
    const QString tail = pictureFileName.right(3);
    const bool image = tail.compare(QLatin1String("GIF"), Qt::CaseInsensitive) == 0 ||
                       tail.compare(QLatin1String("JPG"), Qt::CaseInsensitive) == 0;
    QByteArray page;
    page += "<HTML>\r\n";
    page += "<META NAME=GENERATOR CONTENT=\"Quillon\">\r\n";
    // File names on disk are UTF-8; a browser resolves the reference only
    // when it reads the page in the same encoding.
    if (!ascii) page += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n";
    page += "<BODY>\r\n";
    page += image ? "<IMG SRC=\"" : "<EMBED SRC=\"";
    page += pictureFileName.toUtf8();
    page += "\">\r\n";
    page += "</BODY>\r\n";
    page += "</HTML>\r\n";
    return page;
}

QString writeHtmlPage(const QString& picturePath, UiPort& ui) {
    const QFileInfo picture(picturePath);
    const QString pagePath = freeHtmlPagePath(picture.absolutePath());
    // With every name taken the last one is reported: an existing page is never overwritten.
    const QString pageName = pagePath.isEmpty() ? htmlPageName(kLastPageNumber) : QFileInfo(pagePath).fileName();
    auto fail = [&] {
        ui.message(QString::fromUtf8("HTMLファイル %1 を作成できませんでした。").arg(pageName), MsgButtons::Ok,
                   MsgIcon::Stop);
        return QString();
    };
    if (pagePath.isEmpty()) return fail();
    QFile page(pagePath);
    if (!page.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return fail();
    const QByteArray bytes = htmlPageBytes(picture.fileName());
    if (page.write(bytes) != bytes.size() || !page.flush()) {
        // A half-written page is no page.
        page.remove();
        return fail();
    }
    page.close();
    return pagePath;
}

}  // namespace quillon
