// Cameras reached through libgphoto2: the files of the camera's first folder
// that holds any, in name order, are its frames.
#pragma once

#include <memory>
#include <string>

#include "orrery/core/camera_device.h"

namespace orrery {

// model: a libgphoto2 model name ("Directory Browse"); port: "usb:", "disk:/dir", ...
// An empty model autodetects the first USB camera.
std::unique_ptr<CameraDevice> openGphotoCamera(const std::string& model, const std::string& port, Status& status);

}  // namespace orrery
