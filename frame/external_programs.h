// The outside programs of the HTML menu: a setting holds a program, maybe
// with arguments of its own, written as a command line. The file to open
// becomes one more argument; the program runs detached, without a shell,
// so blanks and quotes in the file's path reach it unchanged.
#pragma once

#include <QString>
#include <QStringList>

namespace quillon {

// The program and arguments of a setting with the files appended; empty
// when the setting names no program. A setting that is the path of a file
// (as the browse button puts it) is the program alone; otherwise it is split
// as a command line, with double quotes around a path that holds blanks.
QStringList externalCommandLine(const QString& setting, const QStringList& files);
// Starts it; false when it could not be started (the program stays silent about it).
bool startExternalProgram(const QString& setting, const QStringList& files = {});

}  // namespace quillon
