// Chooses and opens the camera the settings name (see core/config.h).
#pragma once

#include <memory>

#include "orrery/core/camera_device.h"
#include "orrery/core/config.h"

namespace orrery {

std::unique_ptr<CameraDevice> openCamera(const Config& config, int receiveMs, int sendMs, Status& status);

}  // namespace orrery
