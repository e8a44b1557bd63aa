// The one-picture HTML page written beside a picture file: the first free
// name QL000000.HTM to QL999999.HTM in the picture's folder, six lines ending
// in CR LF, the picture named by its file name alone (IMG for names ending in
// GIF or JPG, EMBED for the rest).
#pragma once

#include <QByteArray>
#include <QString>

namespace quillon {

class UiPort;

// "QL%06d.HTM".
QString htmlPageName(int number);
// The first page name in folder that names no file or folder; empty when
// all million are taken.
QString freeHtmlPagePath(const QString& folder);
// The page's bytes for a picture of that file name. A name outside ASCII is
// written in UTF-8 and the page says so after its generator line.
QByteArray htmlPageBytes(const QString& pictureFileName);
// Writes the page beside the picture and returns its path. When the page
// cannot be created: the stop message "HTMLファイル %s を作成できませんでした。"
// and an empty path.
QString writeHtmlPage(const QString& picturePath, UiPort& ui);

}  // namespace quillon
