// The result of the latest imaging call made anywhere in the program: 1 for
// success, a negative code for an error. The error reporter shows the message
// for a negative value and sets it back to 1.
#pragma once

namespace quillon {

int lastImagingResult();
void setLastImagingResult(int result);

}  // namespace quillon
