// Scanners through SANE. SANE's configuration is read from sane.config_dir
// when the settings give one (tests point it at a folder holding only the
// "test" backend), else from SANE's own places.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orrery/core/blocks.h"
#include "orrery/core/config.h"
#include "orrery/core/picture.h"
#include "orrery/orrery.h"

namespace orrery {

class SaneUse;

struct ScannerInfo {
    std::string name, vendor, model;
};

struct ScanSettings {
    std::string mode;        // empty: the device's default
    std::string source;      // flatbed, feeder...; empty: the device's default
    int resolution = 0;      // dpi; 0: default
    double area[4] = {-1, -1, -1, -1};  // left, top, right, bottom in mm; negative: default
    bool preview = false;
};

// What the dialog offers for a device.
struct ScannerChoices {
    std::vector<std::string> modes;
    std::string mode;
    std::vector<std::string> sources;  // where the paper lies: flatbed, document feeder...
    std::string source;
    std::vector<int> resolutions;  // a list, or {min, max} when rangeResolution
    bool rangeResolution = false;
    int resolution = 0;
    double maxArea[2] = {0, 0};    // width, height in mm; 0 when the device has no area options
    double area[4] = {0, 0, 0, 0};
    bool canPreview = false;
    bool canCalibrate = false;
};

class SaneScanner {
public:
    // SANE is initialised while any scanner object or device listing is alive.
    static std::vector<ScannerInfo> devices(const Config& config);
    // The device the settings name: "none" gives nobody, "auto" the first local device.
    static std::string chosenDevice(const Config& config);
    static std::unique_ptr<SaneScanner> open(const Config& config, const std::string& name, Status& status);
    ~SaneScanner();

    ScannerChoices choices();
    // Scans one picture; progress gets 0..100 and returns false to cancel
    // (the scan is then cancelled on the device). A setting the device
    // refuses ends the scan before it starts with ORRERY_REFUSED; refused()
    // names the settings.
    Status scan(const ScanSettings& settings, Picture& out, const std::function<bool(int)>& progress = {});
    const std::vector<std::string>& refused() const { return refused_; }
    // The resolutions to offer: the device's list, or common ones within its range.
    static std::vector<int> offeredResolutions(const ScannerChoices& choices);
    // Whether a line of bytesPerLine bytes holds the pixels the parameters
    // promise (channels 1 or 3, depth 1, 8 or 16): a backend that says less
    // would have us read past its lines.
    static bool lineHoldsPixels(int bytesPerLine, int pixelsPerLine, int channels, int depth);
    Status calibrate();
    const std::string& name() const { return name_; }

private:
    SaneScanner() = default;
    int findOption(const char* name) const;
    bool setString(const char* option, const std::string& value);
    bool setNumber(const char* option, double value);
    double getNumber(int index) const;

    std::unique_ptr<SaneUse> use_;  // destroyed after the handle is closed
    void* handle_ = nullptr;
    std::string name_;
    std::vector<std::string> refused_;
};

}  // namespace orrery
