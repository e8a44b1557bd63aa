// The sub-commands of quillon-cli: one table of names, usage lines and
// handlers. A handler returns the exit status: 0 done, 1 failed (its message
// already printed), 2 wrong usage.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quillon::cli {

class ConsolePort;

struct Command {
    const char* name;
    const char* usage;  // arguments after the name
    const char* summary;
    int (*run)(const QStringList& arguments, ConsolePort& console);
};

const std::vector<Command>& commands();
const Command* findCommand(const QString& name);

// Exit statuses.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Prints the command's usage line as an error; returns kUsage.
int usage(ConsolePort& console, const char* name);

// The handlers of the picture file commands.
int runInfo(const QStringList& arguments, ConsolePort& console);
int runConvert(const QStringList& arguments, ConsolePort& console);
// The HTML page writer and the picture reference scan.
int runHtmlPage(const QStringList& arguments, ConsolePort& console);
int runHtmlRefs(const QStringList& arguments, ConsolePort& console);
int runPrint(const QStringList& arguments, ConsolePort& console);
// The thumbnails of the file list window.
int runThumbnail(const QStringList& arguments, ConsolePort& console);
int runThumbnails(const QStringList& arguments, ConsolePort& console);

}  // namespace quillon::cli
