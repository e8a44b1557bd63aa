#include "image/last_result.h"

namespace quillon {
namespace {
int g_lastResult = 1;  // everything runs on the one user-interface thread
}

int lastImagingResult() { return g_lastResult; }
void setLastImagingResult(int result) { g_lastResult = result; }

}  // namespace quillon
