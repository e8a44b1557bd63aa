// quillon-cli: the program's picture core from a shell.
#include "cli/commands.h"
#include "cli/console_port.h"

#include <QString>
#include <QStringList>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

void printUsage(quillon::cli::ConsolePort& console) {
    console.error("usage: quillon-cli COMMAND ARGUMENTS");
    for (const quillon::cli::Command& command : quillon::cli::commands())
        console.error(QString("  %1 %2\n      %3")
                          .arg(command.name, command.usage, command.summary));
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // A run handles a few picture-sized blocks (file bytes, pixels, the result
    // of each operation). Taking them from the heap and keeping the freed ones
    // there lets the next block reuse pages already faulted in, instead of
    // each one being mapped fresh and zeroed by the kernel.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    quillon::cli::ConsolePort console;
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.isEmpty() || arguments.first() == "--help" || arguments.first() == "-h") {
        printUsage(console);
        return arguments.isEmpty() ? quillon::cli::kUsage : quillon::cli::kDone;
    }
    const quillon::cli::Command* command = quillon::cli::findCommand(arguments.first());
    if (!command) {
        console.error("quillon-cli: unknown command '" + arguments.first() + "'");
        printUsage(console);
        return quillon::cli::kUsage;
    }
    arguments.removeFirst();
    return command->run(arguments, console);
}
