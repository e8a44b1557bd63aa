// Scanner, video and calibration requests: with a parent widget the library's
// own dialogs (the orrery32-ui plug-in) run; with parent 0, or when the
// plug-in cannot be loaded or no QApplication exists, the configured device
// is used with its defaults.
#pragma once

#include <cstdint>
#include <string>

#include "gmem/global_memory.h"
#include "orrery/core/config.h"

namespace orrery {

GlobalHandle captureVideo(const Config& config, intptr_t parent);
GlobalHandle captureScan(const Config& config, intptr_t parent);
void calibrateScanner(const Config& config, intptr_t parent);
bool scannerCanCalibrate(const Config& config);

// One line each for the tool's "info".
std::string describeScanner(const Config& config);
std::string describeVideo(const Config& config);

}  // namespace orrery
