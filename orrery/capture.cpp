#include "orrery/capture.h"

namespace orrery {

GlobalHandle captureVideo(const Config&, intptr_t) { return 0; }
GlobalHandle captureScan(const Config&, intptr_t) { return 0; }
void calibrateScanner(const Config&, intptr_t) {}
bool scannerCanCalibrate(const Config&) { return false; }

}  // namespace orrery
