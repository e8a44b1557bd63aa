// Help (57670): the user's guide, installed beside the program, opened in
// the desktop's browser.
#pragma once

#include <QString>

namespace quillon {

class UiPort;

// The guide's contents page for a program in programDir: help/ja/index.html
// beside it (the build folder), else share/doc/quillon/help/ja/index.html
// of its installation. Empty when neither exists.
QString helpContentsPath(const QString& programDir);
// Opens the contents page of the guide beside the program in programDir
// (by default the running program's folder); says so when it is missing.
void openHelpContents(UiPort& ui, const QString& programDir = QString());

}  // namespace quillon
