#include "orrery/gphoto/gphoto_camera.h"

#include <gphoto2/gphoto2.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <deque>
#include <set>
#include <string>

#include "orrery/codec/cam_block.h"
#include "orrery/codec/jpeg_codec.h"
#include "orrery/qv10/protocol.h"

namespace orrery {

namespace {

constexpr int kThumbWidth = 104, kThumbHeight = 72;  // the camera thumbnail's shape, twice as big
constexpr int kUploadQuality = 92;

Status mapResult(int result) {
    switch (result) {
    case GP_OK: return ORRERY_OK;
    case GP_ERROR_NO_MEMORY: return ORRERY_NO_MEMORY;
    case GP_ERROR_TIMEOUT: return ORRERY_TIMEOUT;
    case GP_ERROR_NOT_SUPPORTED: return ORRERY_UNSUPPORTED;
    case GP_ERROR_BAD_PARAMETERS: return ORRERY_BAD_ARGUMENT;
    case GP_ERROR_CANCEL: return ORRERY_CANCELLED;
    case GP_ERROR_CORRUPTED_DATA: return ORRERY_BAD_DATA;
    case GP_ERROR_FILE_EXISTS:
    case GP_ERROR_DIRECTORY_EXISTS:
    case GP_ERROR_CAMERA_BUSY:
    case GP_ERROR_CAMERA_ERROR:
    case GP_ERROR_NO_SPACE: return ORRERY_REFUSED;
    default: return ORRERY_NO_DEVICE;
    }
}

bool isJpegName(const std::string& name) {
    std::string lower = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    auto ends = [&](const char* e) {
        std::string s = e;
        return lower.size() >= s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
    };
    return ends(".jpg") || ends(".jpeg");
}

std::vector<std::string> listNames(Camera* camera, GPContext* context, const std::string& folder, bool folders) {
    std::vector<std::string> names;
    CameraList* list = nullptr;
    if (gp_list_new(&list) != GP_OK) return names;
    int r = folders ? gp_camera_folder_list_folders(camera, folder.c_str(), list, context)
                    : gp_camera_folder_list_files(camera, folder.c_str(), list, context);
    if (r == GP_OK)
        for (int i = 0, n = gp_list_count(list); i < n; ++i) {
            const char* name = nullptr;
            if (gp_list_get_name(list, i, &name) == GP_OK && name) names.push_back(name);
        }
    gp_list_free(list);
    std::sort(names.begin(), names.end());
    return names;
}

std::string join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// Callbacks of a transfer reach the table's callback through the context.
struct ContextWatch {
    OrreryCallback callback = nullptr;
    bool cancelled = false;
    float target = 0;
};

GPContextFeedback onCancel(GPContext*, void* data) {
    return static_cast<ContextWatch*>(data)->cancelled ? GP_CONTEXT_FEEDBACK_CANCEL : GP_CONTEXT_FEEDBACK_OK;
}

unsigned int onStart(GPContext*, float target, const char*, void* data) {
    static_cast<ContextWatch*>(data)->target = target;
    return 1;
}

void onUpdate(GPContext*, unsigned int, float current, void* data) {
    auto* watch = static_cast<ContextWatch*>(data);
    if (!watch->callback || watch->target <= 0) return;
    intptr_t total = std::clamp<intptr_t>(intptr_t(watch->target / 128) + 1, 1, 0x7FF);
    intptr_t position = std::clamp<intptr_t>(intptr_t(current / watch->target * float(total)), 0, total);
    if (watch->callback(position, total) == ORRERY_GIVE_UP) watch->cancelled = true;
}

void onStop(GPContext*, unsigned int, void*) {}

class GphotoCamera : public CameraDevice {
public:
    GphotoCamera(Camera* camera, GPContext* context, CameraAbilities abilities)
        : camera_(camera), context_(context), abilities_(abilities) {
        gp_context_set_cancel_func(context_, onCancel, &watch_);
        gp_context_set_progress_funcs(context_, onStart, onUpdate, onStop, &watch_);
    }
    ~GphotoCamera() override {
        close(1);
        gp_camera_unref(camera_);
        gp_context_unref(context_);
    }

    Status close(int) override {
        if (!closed_) gp_camera_exit(camera_, context_);
        closed_ = true;
        return ORRERY_OK;
    }
    Status setSpeed(int) override { return ORRERY_OK; }
    Status frameCount(int& count) override {
        refresh();
        count = int(frames_.size());
        return ORRERY_OK;
    }
    Status showFrame(int frame) override { return valid(frame) ? ORRERY_OK : ORRERY_BAD_ARGUMENT; }
    Status moveFrame(int, int) override { return ORRERY_UNSUPPORTED; }  // files keep their names' order
    Status copyFrame(int frame, int) override {
        std::vector<uint8_t> bytes;
        if (Status s = readBlock(frame, false, {}, bytes)) return s;
        return putJpeg(bytes);
    }
    Status shutter(int& reply) override {
        reply = 21;
        if (!(abilities_.operations & GP_OPERATION_CAPTURE_IMAGE)) return ORRERY_OK;
        CameraFilePath path {};
        int r = gp_camera_capture(camera_, GP_CAPTURE_IMAGE, &path, context_);
        if (r == GP_OK) reply = 6;
        return r == GP_OK || r == GP_ERROR_NOT_SUPPORTED ? Status(ORRERY_OK) : mapResult(r);
    }
    Status thumbnail(int frame, const TransferWatch& watch, Picture& out) override {
        std::vector<uint8_t> bytes;
        // A preview where the camera has one, else the picture itself made small.
        Status s = fetch(frame, GP_FILE_TYPE_PREVIEW, watch, bytes);
        Picture picture;
        if (s != ORRERY_OK || !decodeJpeg(bytes, picture)) {
            if (Status n = fetch(frame, GP_FILE_TYPE_NORMAL, watch, bytes)) return n;
            if (!decodeJpeg(bytes, picture)) return ORRERY_BAD_DATA;
        }
        int w = 0, h = 0;
        fitInside(picture.width, picture.height, kThumbWidth, kThumbHeight, w, h);
        out = resize(picture, w, h);
        return ORRERY_OK;
    }
    Status readBlock(int frame, bool, const TransferWatch& watch, std::vector<uint8_t>& out) override {
        return fetch(frame, GP_FILE_TYPE_NORMAL, watch, out);
    }
    Status writeBlock(int, std::span<const uint8_t> block, const TransferWatch& watch) override {
        // A camera block is re-encoded as a plain JPEG file.
        Picture picture;
        bool ok = block.size() == qv::kStandardBlockBytes ? decodeStandardBlock(block, picture)
                                                          : decodeFineBlock(block, picture);
        if (!ok) return ORRERY_BAD_DATA;
        picture = resize(picture, kFineWidth, kFineHeight);
        std::vector<uint8_t> jpeg;
        JpegEncoding encoding;
        encoding.quality = kUploadQuality;
        if (!encodeJpeg(picture, encoding, jpeg)) return ORRERY_BAD_DATA;
        Status s = putJpeg(jpeg);
        if (s == ORRERY_OK && watch.callback) watch.callback(intptr_t((block.size() + 127) / 128) - 1, 0);
        return s;
    }
    Status deleteFrames(const std::vector<int>& ascending) override {
        refresh();
        for (int f : ascending)
            if (!valid(f)) return ORRERY_BAD_ARGUMENT;
        if (!(abilities_.file_operations & GP_FILE_OPERATION_DELETE)) return ORRERY_UNSUPPORTED;
        for (auto it = ascending.rbegin(); it != ascending.rend(); ++it) {
            int r = gp_camera_file_delete(camera_, folder_.c_str(), frames_[size_t(*it - 1)].c_str(), context_);
            if (r != GP_OK) return mapResult(r);
        }
        return ORRERY_OK;
    }
    Status eraseAll() override {
        refresh();
        std::vector<int> all;
        for (size_t i = 1; i <= frames_.size(); ++i) all.push_back(int(i));
        return deleteFrames(all);
    }
    Status state(int& value) override {
        value = (abilities_.operations & GP_OPERATION_CAPTURE_IMAGE) ? 0 : 0x40;
        return ORRERY_OK;
    }
    Status fineCapable(bool& fine) override {
        fine = false;
        return ORRERY_OK;
    }
    Status pictureKind(int frame, int& kind) override {
        kind = 0;
        return ORRERY_OK;
    }
    Status shootingCheck(int& value) override {
        refresh();
        value = std::max(0, int(qv::kMaxFrames) - int(frames_.size()));
        return ORRERY_OK;
    }

private:
    bool valid(int frame) const { return frame >= 1 && size_t(frame) <= frames_.size(); }

    // The first folder, breadth first, that holds JPEG files; at most 96 of them.
    void refresh() {
        frames_.clear();
        std::deque<std::string> queue = {"/"};
        for (int visited = 0; !queue.empty() && visited < 64; ++visited) {
            std::string folder = queue.front();
            queue.pop_front();
            for (const std::string& name : listNames(camera_, context_, folder, false))
                if (isJpegName(name) && frames_.size() < qv::kMaxFrames) frames_.push_back(name);
            if (!frames_.empty()) {
                folder_ = folder;
                return;
            }
            for (const std::string& sub : listNames(camera_, context_, folder, true)) queue.push_back(join(folder, sub));
        }
        if (frames_.empty() && folder_.empty()) folder_ = "/";
    }

    Status fetch(int frame, CameraFileType type, const TransferWatch& watch, std::vector<uint8_t>& out) {
        refresh();
        if (!valid(frame)) return ORRERY_BAD_ARGUMENT;
        CameraFile* file = nullptr;
        if (gp_file_new(&file) != GP_OK) return ORRERY_NO_MEMORY;
        watch_ = ContextWatch{watch.callback, false, 0};
        int r = gp_camera_file_get(camera_, folder_.c_str(), frames_[size_t(frame - 1)].c_str(), type, file, context_);
        const char* data = nullptr;
        unsigned long size = 0;
        if (r == GP_OK) r = gp_file_get_data_and_size(file, &data, &size);
        if (r == GP_OK && (!data || size == 0)) r = GP_ERROR_CORRUPTED_DATA;
        if (r == GP_OK) out.assign(data, data + size);
        gp_file_unref(file);
        bool cancelled = watch_.cancelled;
        watch_ = ContextWatch{};
        if (cancelled) return ORRERY_CANCELLED;
        if (r == GP_OK && watch.callback) {
            intptr_t total = std::clamp<intptr_t>(intptr_t((size + 127) / 128), 1, 0x7FF);
            if (watch.callback(total, total) == ORRERY_GIVE_UP) return ORRERY_CANCELLED;
        }
        return mapResult(r);
    }

    Status putJpeg(const std::vector<uint8_t>& jpeg) {
        if (!(abilities_.folder_operations & GP_FOLDER_OPERATION_PUT_FILE)) return ORRERY_UNSUPPORTED;
        refresh();
        if (frames_.size() >= qv::kMaxFrames) return ORRERY_REFUSED;
        std::set<std::string> taken(frames_.begin(), frames_.end());
        for (const std::string& name : listNames(camera_, context_, folder_, false)) taken.insert(name);
        char name[32];
        for (int n = 1;; ++n) {
            std::snprintf(name, sizeof name, "ORRY%04d.JPG", n);
            if (!taken.count(name)) break;
        }
        CameraFile* file = nullptr;
        if (gp_file_new(&file) != GP_OK) return ORRERY_NO_MEMORY;
        gp_file_append(file, reinterpret_cast<const char*>(jpeg.data()), jpeg.size());
        gp_file_set_mime_type(file, GP_MIME_JPEG);
        gp_file_set_name(file, name);
        int r = gp_camera_folder_put_file(camera_, folder_.c_str(), name, GP_FILE_TYPE_NORMAL, file, context_);
        gp_file_unref(file);
        return mapResult(r);
    }

    Camera* camera_;
    GPContext* context_;
    CameraAbilities abilities_;
    ContextWatch watch_;
    std::string folder_;
    std::vector<std::string> frames_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<CameraDevice> openGphotoCamera(const std::string& modelName, const std::string& portName,
                                               Status& status) {
    status = ORRERY_NO_DEVICE;
    GPContext* context = gp_context_new();
    if (!context) return nullptr;
    std::string model = modelName, port = portName;
    CameraAbilitiesList* abilitiesList = nullptr;
    GPPortInfoList* ports = nullptr;
    Camera* camera = nullptr;
    CameraAbilities abilities {};
    bool ok = gp_abilities_list_new(&abilitiesList) == GP_OK && gp_abilities_list_load(abilitiesList, context) == GP_OK &&
              gp_port_info_list_new(&ports) == GP_OK && gp_port_info_list_load(ports) >= 0;
    if (ok && model.empty()) {
        // Autodetect: the first camera libgphoto2 finds (USB and disk; serial never).
        CameraList* found = nullptr;
        ok = gp_list_new(&found) == GP_OK && gp_camera_autodetect(found, context) > 0;
        const char* name = nullptr;
        const char* value = nullptr;
        if (ok && gp_list_get_name(found, 0, &name) == GP_OK && gp_list_get_value(found, 0, &value) == GP_OK) {
            model = name;
            if (port.empty()) port = value;
        } else {
            ok = false;
        }
        if (found) gp_list_free(found);
    }
    int modelIndex = ok ? gp_abilities_list_lookup_model(abilitiesList, model.c_str()) : -1;
    int portIndex = ok && modelIndex >= 0 ? gp_port_info_list_lookup_path(ports, port.c_str()) : -1;
    GPPortInfo portInfo;
    ok = ok && modelIndex >= 0 && portIndex >= 0 &&
         gp_abilities_list_get_abilities(abilitiesList, modelIndex, &abilities) == GP_OK &&
         gp_port_info_list_get_info(ports, portIndex, &portInfo) == GP_OK && gp_camera_new(&camera) == GP_OK &&
         gp_camera_set_abilities(camera, abilities) == GP_OK && gp_camera_set_port_info(camera, portInfo) == GP_OK;
    int result = ok ? gp_camera_init(camera, context) : GP_ERROR;
    if (abilitiesList) gp_abilities_list_free(abilitiesList);
    if (ports) gp_port_info_list_free(ports);
    if (result != GP_OK) {
        if (camera) gp_camera_unref(camera);
        gp_context_unref(context);
        status = result == GP_ERROR ? Status(ORRERY_NO_DEVICE) : mapResult(result);
        if (status == ORRERY_OK) status = ORRERY_NO_DEVICE;
        return nullptr;
    }
    status = ORRERY_OK;
    return std::make_unique<GphotoCamera>(camera, context, abilities);
}

}  // namespace orrery
