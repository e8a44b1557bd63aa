#include "orrery/gphoto/gphoto_camera.h"

namespace orrery {

std::unique_ptr<CameraDevice> openGphotoCamera(const std::string&, const std::string&, Status& status) {
    status = ORRERY_UNSUPPORTED;
    return nullptr;
}

}  // namespace orrery
