// Cameras reached through libgphoto2. The frames are the newest 96 pictures
// (JPEG files, and raw files where libgphoto2 gives their preview) of all
// folders of the camera's storages, ordered by capture time, then name. New
// pictures can only go after the last frame, and frames cannot be moved.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "orrery/core/camera_device.h"

namespace orrery {

struct GphotoDetected {
    std::string model, port;
};
// The cameras libgphoto2's autodetect finds (USB and disk; never serial).
std::vector<GphotoDetected> detectGphotoCameras();

// model: a libgphoto2 model name ("Directory Browse"); port: "usb:", "disk:/dir", ...
// An empty model autodetects the first USB camera.
std::unique_ptr<CameraDevice> openGphotoCamera(const std::string& model, const std::string& port, Status& status);

}  // namespace orrery
