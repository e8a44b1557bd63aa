// The results of the spooler calls that end a print job, and the message
// the user sees for each.
#pragma once

namespace quillon {

class UiPort;

constexpr int kSpoolDone = 1;
constexpr int kSpoolError = -1;        // general error
constexpr int kSpoolAppAbort = -2;     // aborted by the program
constexpr int kSpoolUserAbort = -3;    // aborted by the user
constexpr int kSpoolOutOfDisk = -4;
constexpr int kSpoolOutOfMemory = -5;

// 5051 to 5055 for the results above, 0 for any other.
int spoolerMessageId(int result);
// Shows that message with the stop icon; any other negative result shows nothing.
void showSpoolerMessage(UiPort& ui, int result);

}  // namespace quillon
