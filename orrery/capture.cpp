#include "orrery/capture.h"

#include <dlfcn.h>

#include <memory>

#include "orrery/sane/sane_scanner.h"
#include "orrery/ui/ui_plugin.h"
#include "orrery/video/video_source.h"

namespace orrery {

namespace {

// The dialog plug-in beside this library, loaded once; nullptr when absent.
void* uiPlugin() {
    static void* plugin = [] () -> void* {
        Dl_info info {};
        if (!dladdr(reinterpret_cast<void*>(&captureScan), &info) || !info.dli_fname) return nullptr;
        std::string path = info.dli_fname;
        size_t slash = path.rfind('/');
        path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ORRERY_UI_LIBRARY;
        return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }();
    return plugin;
}

template <typename F>
F uiFunction(intptr_t parent, const char* name) {
    if (parent == 0) return nullptr;
    void* plugin = uiPlugin();
    if (!plugin) return nullptr;
    auto available = reinterpret_cast<OrreryUiAvailable>(dlsym(plugin, ORRERY_UI_AVAILABLE));
    if (!available || !available()) return nullptr;
    return reinterpret_cast<F>(dlsym(plugin, name));
}

// Colour at 150 dpi unless the device says otherwise: a sensible picture without a dialog.
ScanSettings defaultSettings(SaneScanner& scanner) {
    ScannerChoices c = scanner.choices();
    ScanSettings s;
    for (const std::string& mode : c.modes)
        if (mode == "Color" || mode == "color") s.mode = mode;
    if (c.rangeResolution && c.resolutions.size() == 2 && c.resolutions[0] <= 150 && c.resolutions[1] >= 150)
        s.resolution = 150;
    return s;
}

}  // namespace

GlobalHandle captureVideo(const Config& config, intptr_t parent) {
    if (auto dialog = uiFunction<OrreryUiCapture>(parent, ORRERY_UI_VIDEO)) return dialog(parent);
    return grabVideoFrame(config);
}

GlobalHandle captureScan(const Config& config, intptr_t parent) {
    if (auto dialog = uiFunction<OrreryUiCapture>(parent, ORRERY_UI_SCAN)) return dialog(parent);
    Status status = ORRERY_OK;
    std::unique_ptr<SaneScanner> scanner = SaneScanner::open(config, SaneScanner::chosenDevice(config), status);
    if (!scanner) return 0;
    Picture picture;
    if (scanner->scan(defaultSettings(*scanner), picture) != ORRERY_OK) return 0;
    return pictureToDib(picture);
}

void calibrateScanner(const Config& config, intptr_t parent) {
    if (auto dialog = uiFunction<OrreryUiCalibrate>(parent, ORRERY_UI_CALIBRATE)) return dialog(parent);
    Status status = ORRERY_OK;
    std::unique_ptr<SaneScanner> scanner = SaneScanner::open(config, SaneScanner::chosenDevice(config), status);
    if (scanner) scanner->calibrate();
}

bool scannerCanCalibrate(const Config& config) {
    Status status = ORRERY_OK;
    std::unique_ptr<SaneScanner> scanner = SaneScanner::open(config, SaneScanner::chosenDevice(config), status);
    return scanner && scanner->choices().canCalibrate;
}

std::string describeScanner(const Config& config) {
    std::string name = SaneScanner::chosenDevice(config);
    if (name.empty()) return "scanner: none found";
    Status status = ORRERY_OK;
    std::unique_ptr<SaneScanner> scanner = SaneScanner::open(config, name, status);
    if (!scanner) return "scanner: " + name + " does not answer";
    return "scanner: " + name + " answers" + (scanner->choices().canCalibrate ? ", can calibrate" : "");
}

std::string describeVideo(const Config& config) {
    std::string error;
    std::unique_ptr<VideoSource> video = VideoSource::start(config, error);
    if (!video) return "video: " + error;
    Picture frame;
    return "video: " + video->description() + (video->pull(frame, 3000) ? " answers" : " gives no frames");
}

}  // namespace orrery
