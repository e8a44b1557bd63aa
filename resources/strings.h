// The program's string table, keyed by the resource numbers the program has
// always used: messages 5000-5061, command texts ("status\ntooltip") under the
// command ids, and the application name 57344.
#pragma once

#include <QString>

namespace quillon {

// The string of that number, or an empty string when the table has none.
QString loadString(int id);
// The part after "\n" of a command string: its tooltip. Empty when none.
QString tooltipOf(int commandId);
// Replaces %1 in a message, as the message helper of the framework did.
QString formatMessage(int id, const QString& argument);

}  // namespace quillon
