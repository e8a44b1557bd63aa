#include "orrery/sane/sane_scanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace orrery {

// sane_init / sane_exit shared by every user in the process.
class SaneUse {
public:
    explicit SaneUse(const Config& config) {
        std::lock_guard<std::mutex> lock(mutex());
        if (users()++ == 0) {
            std::string dir = config.text("sane.config_dir");
            if (!dir.empty()) setenv("SANE_CONFIG_DIR", dir.c_str(), 1);
            SANE_Int version = 0;
            ok_ = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
            initialised() = ok_;
        } else {
            ok_ = initialised();
        }
    }
    ~SaneUse() {
        std::lock_guard<std::mutex> lock(mutex());
        if (--users() == 0 && initialised()) sane_exit();
    }
    bool ok() const { return ok_; }

private:
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    static int& users() {
        static int n = 0;
        return n;
    }
    static bool& initialised() {
        static bool b = false;
        return b;
    }
    bool ok_ = false;
};

namespace {

double fromWord(const SANE_Option_Descriptor* d, SANE_Word w) { return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w); }
SANE_Word toWord(const SANE_Option_Descriptor* d, double v) {
    return d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : SANE_Word(v + 0.5);
}

bool isCalibrationButton(const SANE_Option_Descriptor* d) {
    return d && d->type == SANE_TYPE_BUTTON && d->name && std::strstr(d->name, "calibrat") &&
           SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap);
}

uint8_t sample(const uint8_t* line, int depth, int index) {
    if (depth == 16) {
        uint16_t v;
        std::memcpy(&v, line + index * 2, 2);
        return uint8_t(v >> 8);
    }
    if (depth == 1) return (line[index / 8] >> (7 - index % 8)) & 1 ? 0 : 255;  // 1 is black
    return line[index];
}

}  // namespace

std::vector<ScannerInfo> SaneScanner::devices(const Config& config) {
    SaneUse use(config);
    std::vector<ScannerInfo> list;
    const SANE_Device** devices = nullptr;
    if (!use.ok() || sane_get_devices(&devices, SANE_TRUE) != SANE_STATUS_GOOD || !devices) return list;
    for (int i = 0; devices[i]; ++i)
        list.push_back({devices[i]->name ? devices[i]->name : "", devices[i]->vendor ? devices[i]->vendor : "",
                        devices[i]->model ? devices[i]->model : ""});
    return list;
}

std::string SaneScanner::chosenDevice(const Config& config) {
    std::string name = config.text("scanner", "auto");
    if (name == "none") return {};
    if (name != "auto") return name;
    std::vector<ScannerInfo> list = devices(config);
    return list.empty() ? std::string() : list.front().name;
}

std::unique_ptr<SaneScanner> SaneScanner::open(const Config& config, const std::string& name, Status& status) {
    status = ORRERY_NO_DEVICE;
    if (name.empty()) return nullptr;
    std::unique_ptr<SaneScanner> scanner(new SaneScanner);
    auto use = std::make_unique<SaneUse>(config);
    if (!use->ok()) return nullptr;
    SANE_Handle handle = nullptr;
    if (sane_open(name.c_str(), &handle) != SANE_STATUS_GOOD || !handle) return nullptr;
    scanner->handle_ = handle;
    scanner->name_ = name;
    scanner->use_ = std::move(use);
    status = ORRERY_OK;
    return scanner;
}

SaneScanner::~SaneScanner() {
    if (handle_) sane_close(static_cast<SANE_Handle>(handle_));
}

int SaneScanner::findOption(const char* name) const {
    auto h = static_cast<SANE_Handle>(handle_);
    for (int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d) return -1;
        if (d->name && std::strcmp(d->name, name) == 0) return i;
    }
}

bool SaneScanner::setString(const char* option, const std::string& value) {
    int i = findOption(option);
    if (i < 0) return false;
    auto h = static_cast<SANE_Handle>(handle_);
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
    if (d->type != SANE_TYPE_STRING || !SANE_OPTION_IS_SETTABLE(d->cap)) return false;
    std::vector<char> buffer(size_t(std::max<SANE_Int>(d->size, SANE_Int(value.size() + 1))), 0);
    std::memcpy(buffer.data(), value.c_str(), value.size());
    return sane_control_option(h, i, SANE_ACTION_SET_VALUE, buffer.data(), nullptr) == SANE_STATUS_GOOD;
}

bool SaneScanner::setNumber(const char* option, double value) {
    int i = findOption(option);
    if (i < 0) return false;
    auto h = static_cast<SANE_Handle>(handle_);
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
    if (!SANE_OPTION_IS_SETTABLE(d->cap)) return false;
    SANE_Word w = d->type == SANE_TYPE_BOOL ? (value != 0 ? SANE_TRUE : SANE_FALSE) : toWord(d, value);
    return sane_control_option(h, i, SANE_ACTION_SET_VALUE, &w, nullptr) == SANE_STATUS_GOOD;
}

double SaneScanner::getNumber(int index) const {
    auto h = static_cast<SANE_Handle>(handle_);
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, index);
    SANE_Word w = 0;
    if (!d || d->size != sizeof(SANE_Word) || sane_control_option(h, index, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD)
        return 0;
    return fromWord(d, w);
}

ScannerChoices SaneScanner::choices() {
    ScannerChoices c;
    auto h = static_cast<SANE_Handle>(handle_);
    if (int i = findOption(SANE_NAME_SCAN_MODE); i >= 0) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
            for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) c.modes.push_back(*s);
        std::vector<char> value(size_t(std::max<SANE_Int>(d->size, 1)), 0);
        if (sane_control_option(h, i, SANE_ACTION_GET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD)
            c.mode = value.data();
    }
    if (int i = findOption(SANE_NAME_SCAN_RESOLUTION); i >= 0) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            for (int k = 1; k <= d->constraint.word_list[0]; ++k) c.resolutions.push_back(int(fromWord(d, d->constraint.word_list[k])));
        } else if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
            c.rangeResolution = true;
            c.resolutions = {int(fromWord(d, d->constraint.range->min)), int(fromWord(d, d->constraint.range->max))};
        }
        c.resolution = int(getNumber(i) + 0.5);
        // Some backends report a default outside their own range; offer 75 dpi then.
        if (c.resolutions.size() >= 2) {
            int lo = *std::min_element(c.resolutions.begin(), c.resolutions.end());
            int hi = *std::max_element(c.resolutions.begin(), c.resolutions.end());
            if (c.resolution < lo || c.resolution > hi) c.resolution = std::clamp(75, lo, hi);
        }
    }
    if (int i = findOption(SANE_NAME_SCAN_SOURCE); i >= 0) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (d->type == SANE_TYPE_STRING && d->constraint_type == SANE_CONSTRAINT_STRING_LIST && SANE_OPTION_IS_ACTIVE(d->cap))
            for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) c.sources.push_back(*s);
        std::vector<char> value(size_t(std::max<SANE_Int>(d->size, 1)), 0);
        if (d->type == SANE_TYPE_STRING && sane_control_option(h, i, SANE_ACTION_GET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD)
            c.source = value.data();
    }
    const char* area[4] = {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_X, SANE_NAME_SCAN_BR_Y};
    for (int k = 0; k < 4; ++k)
        if (int i = findOption(area[k]); i >= 0) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
            c.area[k] = getNumber(i);
            if (k >= 2 && d->constraint_type == SANE_CONSTRAINT_RANGE) c.maxArea[k - 2] = fromWord(d, d->constraint.range->max);
        }
    c.canPreview = findOption(SANE_NAME_PREVIEW) >= 0;
    for (int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d) break;
        if (isCalibrationButton(d)) c.canCalibrate = true;
    }
    return c;
}

Status SaneScanner::calibrate() {
    auto h = static_cast<SANE_Handle>(handle_);
    for (int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d) return ORRERY_UNSUPPORTED;
        if (isCalibrationButton(d))
            return sane_control_option(h, i, SANE_ACTION_SET_VALUE, nullptr, nullptr) == SANE_STATUS_GOOD ? ORRERY_OK
                                                                                                          : ORRERY_REFUSED;
    }
}

std::vector<int> SaneScanner::offeredResolutions(const ScannerChoices& c) {
    if (!c.rangeResolution) return c.resolutions;
    std::vector<int> offered;
    if (c.resolutions.size() != 2) return offered;
    for (int dpi : {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400, 4800})
        if (dpi >= c.resolutions[0] && dpi <= c.resolutions[1]) offered.push_back(dpi);
    if (offered.empty()) offered = c.resolutions;
    return offered;
}

bool SaneScanner::lineHoldsPixels(int bytesPerLine, int pixelsPerLine, int channels, int depth) {
    if (bytesPerLine <= 0 || pixelsPerLine <= 0 || (channels != 1 && channels != 3)) return false;
    if (depth != 1 && depth != 8 && depth != 16) return false;
    long long needed = (static_cast<long long>(pixelsPerLine) * channels * depth + 7) / 8;
    return bytesPerLine >= needed;
}

Status SaneScanner::scan(const ScanSettings& settings, Picture& out, const std::function<bool(int)>& progress) {
    auto h = static_cast<SANE_Handle>(handle_);
    refused_.clear();
    if (!settings.source.empty() && !setString(SANE_NAME_SCAN_SOURCE, settings.source)) refused_.push_back("source");
    if (!settings.mode.empty() && !setString(SANE_NAME_SCAN_MODE, settings.mode)) refused_.push_back("mode");
    if (settings.resolution > 0 && !setNumber(SANE_NAME_SCAN_RESOLUTION, settings.resolution))
        refused_.push_back("resolution");
    const char* area[4] = {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_X, SANE_NAME_SCAN_BR_Y};
    for (int k = 0; k < 4; ++k)
        if (settings.area[k] >= 0 && findOption(area[k]) >= 0 && !setNumber(area[k], settings.area[k]))
            refused_.push_back(area[k]);
    if (findOption(SANE_NAME_PREVIEW) >= 0) setNumber(SANE_NAME_PREVIEW, settings.preview ? 1 : 0);
    if (!refused_.empty()) return ORRERY_REFUSED;

    // Frames: one for grey or RGB, three for a three-pass scanner.
    std::vector<uint8_t> planes[3];
    int width = 0, height = 0;
    bool grey = false;
    for (;;) {
        SANE_Status s = sane_start(h);
        if (s != SANE_STATUS_GOOD) return s == SANE_STATUS_NO_MEM ? ORRERY_NO_MEMORY : ORRERY_REFUSED;
        SANE_Parameters p {};
        if (sane_get_parameters(h, &p) != SANE_STATUS_GOOD || p.pixels_per_line > 60000 ||
            !lineHoldsPixels(p.bytes_per_line, p.pixels_per_line, p.format == SANE_FRAME_RGB ? 3 : 1, p.depth)) {
            sane_cancel(h);
            return ORRERY_BAD_DATA;
        }
        std::vector<uint8_t> data;
        std::vector<uint8_t> buffer(65536);
        size_t expected = p.lines > 0 ? size_t(p.lines) * size_t(p.bytes_per_line) : 0;
        for (;;) {
            SANE_Int got = 0;
            s = sane_read(h, buffer.data(), SANE_Int(buffer.size()), &got);
            if (s == SANE_STATUS_EOF) break;
            if (s != SANE_STATUS_GOOD) {
                sane_cancel(h);
                return s == SANE_STATUS_NO_MEM ? ORRERY_NO_MEMORY : s == SANE_STATUS_CANCELLED ? ORRERY_CANCELLED : ORRERY_REFUSED;
            }
            data.insert(data.end(), buffer.begin(), buffer.begin() + got);
            if (data.size() > (size_t(1) << 30)) {
                sane_cancel(h);
                return ORRERY_NO_MEMORY;
            }
            if (progress && expected && !progress(int(std::min<size_t>(100, data.size() * 100 / expected)))) {
                sane_cancel(h);
                return ORRERY_CANCELLED;
            }
        }
        int lines = int(data.size() / size_t(p.bytes_per_line));
        width = p.pixels_per_line;
        height = height ? std::min(height, lines) : lines;
        int samples = p.format == SANE_FRAME_RGB ? 3 : 1;
        // Unpack into 8-bit planes.
        auto unpack = [&](int channel, std::vector<uint8_t>& plane) {
            plane.resize(size_t(width) * size_t(lines));
            for (int y = 0; y < lines; ++y) {
                const uint8_t* line = data.data() + size_t(y) * size_t(p.bytes_per_line);
                for (int x = 0; x < width; ++x) plane[size_t(y) * size_t(width) + size_t(x)] = sample(line, p.depth, x * samples + channel);
            }
        };
        if (p.format == SANE_FRAME_RGB) {
            for (int c = 0; c < 3; ++c) unpack(c, planes[c]);
        } else if (p.format == SANE_FRAME_GRAY) {
            grey = true;
            unpack(0, planes[0]);
        } else {
            int c = p.format == SANE_FRAME_RED ? 0 : p.format == SANE_FRAME_GREEN ? 1 : 2;
            unpack(0, planes[c]);
        }
        if (p.last_frame) break;
    }
    sane_cancel(h);
    if (width <= 0 || height <= 0) return ORRERY_BAD_DATA;
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t i = size_t(y) * size_t(width) + size_t(x);
            for (int c = 0; c < 3; ++c) {
                const std::vector<uint8_t>& plane = grey ? planes[0] : planes[c];
                picture.row(y)[x * 3 + c] = i < plane.size() ? plane[i] : 0;
            }
        }
    out = std::move(picture);
    return ORRERY_OK;
}

}  // namespace orrery
