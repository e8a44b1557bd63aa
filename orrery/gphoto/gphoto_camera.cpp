#include "orrery/gphoto/gphoto_camera.h"

#include <gphoto2/gphoto2.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "orrery/codec/cam_block.h"
#include "orrery/codec/jpeg_codec.h"
#include "orrery/codec/orientation.h"
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

std::string lowerCase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string extensionOf(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : lowerCase(name.substr(dot + 1));
}

std::string stemOf(const std::string& name) {
    size_t dot = name.rfind('.');
    return lowerCase(name.substr(0, dot));
}

bool isJpegName(const std::string& name) {
    std::string e = extensionOf(name);
    return e == "jpg" || e == "jpeg";
}

// Raw files of the common makers; they count as pictures through the
// preview libgphoto2 extracts from them.
bool isRawName(const std::string& name) {
    static const std::set<std::string> raw = {"arw", "cr2", "cr3", "crw", "dng", "erf", "kdc", "mrw", "nef", "nrw",
                                              "orf", "pef", "raf", "raw", "rw2", "rwl", "sr2", "srf", "srw", "x3f"};
    return raw.count(extensionOf(name)) != 0;
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

// One picture on the camera. A shot that the camera kept only in its
// memory is held here, fetched, for as long as the link is open.
struct Frame {
    std::string folder, name;
    long long time = 0;  // capture (file) time, seconds; 0 when the camera gives none
    bool raw = false;
    std::shared_ptr<std::vector<uint8_t>> held;
};

// Capture time first, then the name, then the folder: a stable order that
// puts the newest picture last.
bool earlier(const Frame& a, const Frame& b) {
    if (a.time != b.time) return a.time < b.time;
    if (a.name != b.name) return a.name < b.name;
    return a.folder < b.folder;
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
    Status showFrame(int frame) override {
        listOnce();
        return valid(frame) ? ORRERY_OK : ORRERY_BAD_ARGUMENT;
    }
    // Files keep the order of their capture times: a frame can only stay where it is.
    Status moveFrame(int from, int to) override {
        listOnce();
        if (!valid(from) || to < 1 || size_t(to) > frames_.size() + 1) return ORRERY_BAD_ARGUMENT;
        return to == from || to == from + 1 ? Status(ORRERY_OK) : Status(ORRERY_UNSUPPORTED);
    }
    Status copyFrame(int frame, int destination) override {
        refresh();
        if (!valid(frame)) return ORRERY_BAD_ARGUMENT;
        if (Status s = checkDestination(destination)) return s;
        std::vector<uint8_t> bytes;
        if (Status s = readBlock(frame, false, {}, bytes)) return s;
        return putLast(bytes);
    }
    Status shutter(int& reply) override {
        reply = 21;
        if (!(abilities_.operations & GP_OPERATION_CAPTURE_IMAGE)) return ORRERY_OK;
        CameraFilePath path {};
        int r = gp_camera_capture(camera_, GP_CAPTURE_IMAGE, &path, context_);
        if (r == GP_ERROR_NOT_SUPPORTED) return ORRERY_OK;
        if (r != GP_OK) return mapResult(r);
        reply = 6;
        // A camera that shoots into its own memory drops the picture unless it
        // is fetched now; keep it as the last frame when it is not on a card.
        auto bytes = std::make_shared<std::vector<uint8_t>>();
        Status fetched = fetchFile(path.folder, path.name, GP_FILE_TYPE_NORMAL, {}, *bytes);
        refresh();
        bool onCard = std::any_of(frames_.begin(), frames_.end(), [&](const Frame& f) {
            return !f.held && f.folder == path.folder && f.name == path.name;
        });
        if (!onCard) {
            if (fetched != ORRERY_OK) return fetched;
            held_.push_back(Frame{path.folder, path.name, 0, false, bytes});
            refresh();
        }
        return ORRERY_OK;
    }
    Status thumbnail(int frame, const TransferWatch& watch, Picture& out) override {
        listOnce();
        if (!valid(frame)) return ORRERY_BAD_ARGUMENT;
        const Frame f = frames_[size_t(frame - 1)];
        std::vector<uint8_t> bytes;
        Picture picture;
        int orientation = 1;
        // A preview where the camera has one, else the picture itself made small.
        Status s = f.held ? Status(ORRERY_UNSUPPORTED) : fetchFile(f.folder, f.name, GP_FILE_TYPE_PREVIEW, watch, bytes);
        if (s == ORRERY_OK && decodeJpeg(bytes, picture)) {
            orientation = exifOrientation(bytes);
            // A preview cut from the Exif block carries no orientation of its own.
            if (orientation == 1 && (abilities_.file_operations & GP_FILE_OPERATION_EXIF)) {
                std::vector<uint8_t> exif;
                if (fetchFile(f.folder, f.name, GP_FILE_TYPE_EXIF, {}, exif) == ORRERY_OK) orientation = exifOrientation(exif);
            }
        } else {
            if (f.raw) return s == ORRERY_OK ? Status(ORRERY_BAD_DATA) : s;
            if (Status n = readBlock(frame, false, watch, bytes)) return n;
            if (!decodeJpeg(bytes, picture)) return ORRERY_BAD_DATA;
            orientation = exifOrientation(bytes);
        }
        picture = applyOrientation(picture, orientation);
        int w = 0, h = 0;
        fitInside(picture.width, picture.height, kThumbWidth, kThumbHeight, w, h);
        out = resize(picture, w, h);
        return ORRERY_OK;
    }
    // The picture file; for a raw file the JPEG preview libgphoto2 extracts.
    Status readBlock(int frame, bool, const TransferWatch& watch, std::vector<uint8_t>& out) override {
        listOnce();
        if (!valid(frame)) return ORRERY_BAD_ARGUMENT;
        const Frame f = frames_[size_t(frame - 1)];
        if (f.held) {
            out = *f.held;
            return ORRERY_OK;
        }
        return fetchFile(f.folder, f.name, f.raw ? GP_FILE_TYPE_PREVIEW : GP_FILE_TYPE_NORMAL, watch, out);
    }
    Status writeBlock(int destination, std::span<const uint8_t> block, const TransferWatch& watch) override {
        refresh();
        if (Status s = checkDestination(destination)) return s;
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
        Status s = putLast(jpeg);
        if (s == ORRERY_OK && watch.callback) watch.callback(intptr_t((block.size() + 127) / 128) - 1, 0);
        return s;
    }
    Status deleteFrames(const std::vector<int>& ascending) override {
        listOnce();
        for (int f : ascending)
            if (!valid(f)) return ORRERY_BAD_ARGUMENT;
        bool onCard = std::any_of(ascending.begin(), ascending.end(), [&](int f) { return !frames_[size_t(f - 1)].held; });
        if (onCard && !(abilities_.file_operations & GP_FILE_OPERATION_DELETE)) return ORRERY_UNSUPPORTED;
        std::vector<Frame> doomed;
        for (int f : ascending) doomed.push_back(frames_[size_t(f - 1)]);
        Status status = ORRERY_OK;
        for (const Frame& f : doomed) {
            if (f.held) {
                held_.erase(std::remove_if(held_.begin(), held_.end(), [&](const Frame& h) { return h.held == f.held; }),
                            held_.end());
                continue;
            }
            int r = gp_camera_file_delete(camera_, f.folder.c_str(), f.name.c_str(), context_);
            if (r != GP_OK) {
                status = mapResult(r);
                break;
            }
        }
        refresh();
        return status;
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
    Status pictureKind(int, int& kind) override {
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

    // A new picture can only go after the last: the camera orders by time.
    Status checkDestination(int destination) const {
        if (destination == kAfterLast || size_t(destination) == frames_.size() + 1) return ORRERY_OK;
        if (destination < 1 || size_t(destination) > frames_.size() + 1) return ORRERY_BAD_ARGUMENT;
        return ORRERY_UNSUPPORTED;
    }

    void listOnce() {
        if (!listed_) refresh();
    }

    // The newest 96 pictures of all folders of all storages, oldest first,
    // followed by shots held in memory.
    void refresh() {
        listed_ = true;
        std::vector<Frame> all;
        folders_.clear();
        dcim_.clear();
        std::deque<std::pair<std::string, int>> queue = {{"/", 0}};
        for (int visited = 0; !queue.empty() && visited < kMaxFolders; ++visited) {
            auto [folder, depth] = queue.front();
            queue.pop_front();
            std::vector<std::string> names = listNames(camera_, context_, folder, false);
            std::set<std::string> jpegStems;
            for (const std::string& name : names)
                if (isJpegName(name)) jpegStems.insert(stemOf(name));
            bool previews = abilities_.file_operations & GP_FILE_OPERATION_PREVIEW;
            bool any = false;
            for (const std::string& name : names) {
                bool jpeg = isJpegName(name);
                // Raw with a JPEG twin (shot as both) is one picture.
                bool raw = !jpeg && previews && isRawName(name) && !jpegStems.count(stemOf(name));
                if (!jpeg && !raw) continue;
                Frame f{folder, name, 0, raw, nullptr};
                CameraFileInfo info {};
                if (gp_camera_file_get_info(camera_, folder.c_str(), name.c_str(), &info, context_) == GP_OK &&
                    (info.file.fields & GP_FILE_INFO_MTIME))
                    f.time = static_cast<long long>(info.file.mtime);
                all.push_back(f);
                any = true;
            }
            if (any) folders_.push_back(folder);
            // Where a camera with no pictures yet takes one: a folder inside DCIM, else DCIM.
            bool inDcim = folder.find("/DCIM/") != std::string::npos;
            bool isDcim = folder.size() >= 5 && folder.compare(folder.size() - 5, 5, "/DCIM") == 0;
            if ((inDcim && dcim_.find("/DCIM/") == std::string::npos) || (isDcim && dcim_.empty())) dcim_ = folder;
            if (depth < kMaxDepth)
                for (const std::string& sub : listNames(camera_, context_, folder, true))
                    queue.push_back({join(folder, sub), depth + 1});
        }
        std::sort(all.begin(), all.end(), earlier);
        size_t room = qv::kMaxFrames > held_.size() ? qv::kMaxFrames - held_.size() : 0;
        if (all.size() > room) all.erase(all.begin(), all.end() - long(room));
        all.insert(all.end(), held_.begin(), held_.end());
        frames_ = std::move(all);
    }

    Status fetchFile(const std::string& folder, const std::string& name, CameraFileType type, const TransferWatch& watch,
                     std::vector<uint8_t>& out) {
        CameraFile* file = nullptr;
        if (gp_file_new(&file) != GP_OK) return ORRERY_NO_MEMORY;
        watch_ = ContextWatch{watch.callback, false, 0};
        int r = gp_camera_file_get(camera_, folder.c_str(), name.c_str(), type, file, context_);
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

    // Stores a JPEG file beside the newest picture and checks that the camera
    // lists it last; a file the camera would order elsewhere is taken back,
    // since the caller was promised "after the last".
    Status putLast(const std::vector<uint8_t>& jpeg) {
        if (!(abilities_.folder_operations & GP_FOLDER_OPERATION_PUT_FILE)) return ORRERY_UNSUPPORTED;
        if (frames_.size() >= qv::kMaxFrames) return ORRERY_REFUSED;
        std::string folder = "/";
        for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
            if (!it->held) {
                folder = it->folder;
                break;
            }
        if (folder == "/" && !folders_.empty()) folder = folders_.back();
        if (folder == "/" && !dcim_.empty()) folder = dcim_;
        // The next number after the highest of ours in that folder, so that
        // pictures sent within one second still follow one another.
        int highest = 0;
        for (const std::string& name : listNames(camera_, context_, folder, false)) {
            int n = 0;
            if (std::sscanf(name.c_str(), "ORRY%4d.JPG", &n) == 1) highest = std::max(highest, n);
        }
        if (highest >= 9999) return ORRERY_REFUSED;
        char name[32];
        std::snprintf(name, sizeof name, "ORRY%04d.JPG", highest + 1);
        CameraFile* file = nullptr;
        if (gp_file_new(&file) != GP_OK) return ORRERY_NO_MEMORY;
        gp_file_append(file, reinterpret_cast<const char*>(jpeg.data()), jpeg.size());
        gp_file_set_mime_type(file, GP_MIME_JPEG);
        gp_file_set_name(file, name);
        int r = gp_camera_folder_put_file(camera_, folder.c_str(), name, GP_FILE_TYPE_NORMAL, file, context_);
        gp_file_unref(file);
        if (r != GP_OK) return mapResult(r);
        refresh();
        size_t lastOnCard = frames_.size() - held_.size();
        if (lastOnCard > 0 && frames_[lastOnCard - 1].folder == folder && frames_[lastOnCard - 1].name == name)
            return ORRERY_OK;
        gp_camera_file_delete(camera_, folder.c_str(), name, context_);
        refresh();
        return ORRERY_UNSUPPORTED;
    }

    static constexpr int kMaxFolders = 512;
    static constexpr int kMaxDepth = 8;

    Camera* camera_;
    GPContext* context_;
    CameraAbilities abilities_;
    ContextWatch watch_;
    std::vector<Frame> frames_;
    std::vector<Frame> held_;
    std::vector<std::string> folders_;  // folders that hold pictures, in the order visited
    std::string dcim_;                  // the first DCIM folder (or one inside it) seen
    bool listed_ = false;
    bool closed_ = false;
};

}  // namespace

std::vector<GphotoDetected> detectGphotoCameras() {
    std::vector<GphotoDetected> found;
    GPContext* context = gp_context_new();
    CameraList* list = nullptr;
    if (context && gp_list_new(&list) == GP_OK && gp_camera_autodetect(list, context) > 0)
        for (int i = 0, n = gp_list_count(list); i < n; ++i) {
            const char* name = nullptr;
            const char* value = nullptr;
            if (gp_list_get_name(list, i, &name) == GP_OK && gp_list_get_value(list, i, &value) == GP_OK && name && value)
                found.push_back({name, value});
        }
    if (list) gp_list_free(list);
    if (context) gp_context_unref(context);
    return found;
}

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
