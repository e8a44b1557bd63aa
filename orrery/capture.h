// Scanner, video and calibration requests: with a parent widget the library's
// own dialogs (the orrery32-ui plug-in) run; with parent 0, or when the
// plug-in cannot be loaded, the configured device is used with its defaults.
#pragma once

#include <cstdint>

#include "gmem/global_memory.h"
#include "orrery/core/config.h"

namespace orrery {

GlobalHandle captureVideo(const Config& config, intptr_t parent);
GlobalHandle captureScan(const Config& config, intptr_t parent);
void calibrateScanner(const Config& config, intptr_t parent);
bool scannerCanCalibrate(const Config& config);

}  // namespace orrery
