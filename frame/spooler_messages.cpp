#include "frame/spooler_messages.h"

#include "resources/strings.h"
#include "ui/ui_port.h"

namespace quillon {

int spoolerMessageId(int result) {
    switch (result) {
    case kSpoolError: return 5051;
    case kSpoolAppAbort: return 5052;
    case kSpoolUserAbort: return 5053;
    case kSpoolOutOfDisk: return 5054;
    case kSpoolOutOfMemory: return 5055;
    default: return 0;
    }
}

void showSpoolerMessage(UiPort& ui, int result) {
    if (const int id = spoolerMessageId(result)) ui.message(loadString(id), MsgButtons::Ok, MsgIcon::Stop);
}

}  // namespace quillon
