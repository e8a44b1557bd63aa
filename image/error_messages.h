// The messages for the imaging library's error codes, and the error reporter
// that shows the one for the last imaging result.
#pragma once

#include <QString>

namespace quillon {

class UiPort;

// The message for a negative code; an empty string for success (1 or more).
QString imagingErrorMessage(int code);

// When the last imaging result is negative: shows its message in a plain box
// (OK, no icon), sets the result back to 1 and returns false. Otherwise shows
// nothing and returns true.
bool reportImagingError(UiPort& ui);

}  // namespace quillon
