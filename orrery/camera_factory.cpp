#include "orrery/camera_factory.h"

#include "orrery/gphoto/gphoto_camera.h"
#include "orrery/qv10/qv10_camera.h"
#include "orrery/qv10/virtual_qv10.h"

namespace orrery {

namespace {

qv::VirtualOptions virtualOptions(const Config& config) {
    qv::VirtualOptions options;
    options.folder = config.text("virtual.folder", Config::defaultVirtualFolder());
    options.fineModel = config.text("virtual.model") == "qv100";
    options.playSwitch = config.text("virtual.switch") == "play";
    options.faults.badChecksumEvery = config.number("fault.bad_checksum_every", 0);
    options.faults.silentFromPacket = config.number("fault.silent_from_packet", 0);
    options.faults.silentMs = config.number("fault.silent_ms", 0);
    options.faults.mute = config.flag("fault.mute");
    options.faults.maxBaud = config.number("fault.max_baud", 0);
    return options;
}

}  // namespace

std::unique_ptr<CameraDevice> openCamera(const Config& config, int receiveMs, int sendMs, Status& status) {
    std::string kind = config.text("camera", "auto");
    std::string port = config.text("qv10.port");
    int maxBaud = config.number("qv10.max_baud", 115200);
    if (kind == "gphoto2") return openGphotoCamera(config.text("gphoto2.model"), config.text("gphoto2.port"), status);
    if (kind == "qv10" || (kind == "auto" && !port.empty())) {
        if (port.empty()) {
            status = ORRERY_NO_DEVICE;
            return nullptr;
        }
        return qv::Qv10Camera::open(port, receiveMs, sendMs, maxBaud, nullptr, status);
    }
    std::string error;
    std::unique_ptr<qv::VirtualQv10> camera = qv::VirtualQv10::start(virtualOptions(config), error);
    if (!camera) {
        status = ORRERY_NO_DEVICE;
        return nullptr;
    }
    std::string path = camera->devicePath();
    return qv::Qv10Camera::open(path, receiveMs, sendMs, maxBaud, std::move(camera), status);
}

}  // namespace orrery
