#include "orrery/session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "orrery/camera_factory.h"
#include "orrery/capture.h"
#include "orrery/codec/cam_block.h"
#include "orrery/codec/jpeg_codec.h"
#include "orrery/codec/orientation.h"
#include "orrery/qv10/protocol.h"

namespace orrery {

namespace {

constexpr intptr_t kVersion = 258;
constexpr int kCapabilityCamera = 4;
constexpr int kCapabilityCalibration = 8;
constexpr int kPictureWidth = 640, kPictureHeight = 480;

// A failed count or shutter reply: the status, sign-extended from 16 bits,
// so it is negative and has bit 15 set.
intptr_t asNegative(Status status) { return intptr_t(int16_t(status)); }

// Bytes of a block handle, limited to the size the caller gave (0: the whole block).
std::vector<uint8_t> blockBytes(GlobalHandle handle, size_t size) {
    size_t available = gmemSize(handle);
    if (size == 0 || size > available) size = available;
    auto* p = static_cast<const uint8_t*>(gmemLock(handle));
    if (!p) return {};
    std::vector<uint8_t> bytes(p, p + size);
    gmemUnlock(handle);
    return bytes;
}

bool isJpegFile(const std::vector<uint8_t>& b) { return b.size() > 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF; }

}  // namespace

Session& Session::instance() {
    static Session session;
    return session;
}

Status Session::openLink(int receiveMs, int sendMs, bool gamma) {
    if (camera_) closeLink(1);
    config_ = Config::load();
    setAllocationFault(config_.flag("fault.out_of_memory"));
    // Failures from deep inside, for testing the entry's barrier.
    if (std::string fault = config_.text("fault.throw"); fault == "bad_alloc")
        throw std::bad_alloc();
    else if (!fault.empty())
        throw std::runtime_error(fault);
    gamma_ = gamma;
    Status status = ORRERY_OK;
    camera_ = openCamera(config_, receiveMs, sendMs, status);
    if (!camera_ && status == ORRERY_OK) status = ORRERY_NO_DEVICE;
    return status;
}

Status Session::closeLink(int quitKind) {
    if (!camera_) return ORRERY_OK;
    Status status = camera_->close(quitKind);
    camera_.reset();
    return status;
}

Status Session::readThumbnail(int frame, GlobalHandle* out, OrreryCallback callback) {
    if (!out) return ORRERY_BAD_ARGUMENT;
    *out = 0;
    Picture picture;
    if (Status s = camera_->thumbnail(frame, TransferWatch{callback, {}}, picture)) return s;
    if (gamma_) applyToneCurve(picture);
    *out = pictureToDib(picture);
    return *out ? ORRERY_OK : ORRERY_NO_MEMORY;
}

Status Session::readBlock(int frame, bool fine, GlobalHandle* out, uint16_t* size, OrreryCallback callback) {
    if (!out) return ORRERY_BAD_ARGUMENT;
    *out = 0;
    if (size) *size = 0;
    std::vector<uint8_t> block;
    if (Status s = camera_->readBlock(frame, fine, TransferWatch{callback, {}}, block)) return s;
    // Only whole blocks are handed out.
    *out = allocateBlock(block);
    if (!*out) return ORRERY_NO_MEMORY;
    // Blocks of other cameras may exceed 16 bits; decode then uses the handle's size.
    if (size) *size = uint16_t(block.size() > 0xFFFF ? 0 : block.size());
    return ORRERY_OK;
}

Status Session::writeBlock(intptr_t destination, GlobalHandle block, size_t size, OrreryCallback callback) {
    std::vector<uint8_t> bytes = blockBytes(block, size);
    if (bytes.empty()) return ORRERY_BAD_ARGUMENT;
    int dest = (destination < 0 || (destination & 0xFFFF) == 0xFFFF) ? kAfterLast : int(destination);
    return camera_->writeBlock(dest, bytes, TransferWatch{callback, {}});
}

Status Session::decode(GlobalHandle* out, GlobalHandle block, size_t size, bool fine) {
    if (!out) return ORRERY_BAD_ARGUMENT;
    *out = 0;
    std::vector<uint8_t> bytes = blockBytes(block, size);
    Picture native;
    bool ok = false;
    if (isJpegFile(bytes)) {
        // A picture file from a libgphoto2 camera: upright as the camera was
        // held, keeping its shape inside 640 x 480.
        ok = decodeJpeg(bytes, native);
        if (ok) {
            native = applyOrientation(native, exifOrientation(bytes));
            int w = 0, h = 0;
            fitInside(native.width, native.height, kPictureWidth, kPictureHeight, w, h);
            native = resize(native, w, h);
        }
    } else {
        ok = fine ? decodeFineBlock(bytes, native) : decodeStandardBlock(bytes, native);
        // The standard picture is one video field of 480 x 240: stretch to 4:3.
        if (ok) native = resize(native, kPictureWidth, kPictureHeight);
    }
    if (!ok) return ORRERY_BAD_DATA;
    if (gamma_) applyToneCurve(native);
    *out = pictureToDib(native);
    return *out ? ORRERY_OK : ORRERY_NO_MEMORY;
}

Status Session::encode(GlobalHandle dib, GlobalHandle* out, uint32_t* size, bool fine) {
    if (!out) return ORRERY_BAD_ARGUMENT;
    *out = 0;
    if (size) *size = 0;
    std::vector<uint8_t> bytes = blockBytes(dib, 0);
    Picture picture;
    // The program hands the rows top row first (see dibToPicture).
    if (!dibToPicture(bytes, true, picture)) return ORRERY_BAD_DATA;
    std::vector<uint8_t> block;
    bool ok = fine ? encodeFineBlock(picture, block) : encodeStandardBlock(picture, block);
    if (!ok) return ORRERY_BAD_DATA;
    *out = allocateBlock(block);
    if (!*out) return ORRERY_NO_MEMORY;
    if (size) *size = uint32_t(block.size());
    return ORRERY_OK;
}

Status Session::deleteFrames(const uint8_t* frames) {
    if (!frames) return ORRERY_BAD_ARGUMENT;
    std::vector<int> list;
    for (size_t i = 0; frames[i] != 255; ++i) {
        if (i >= qv::kMaxFrames) return ORRERY_BAD_ARGUMENT;
        list.push_back(frames[i]);
    }
    if (list.empty()) return ORRERY_OK;
    return camera_->deleteFrames(list);
}

intptr_t Session::describe(char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    Config config = Config::load();
    std::string text = "camera: ";
    std::string kind = config.text("camera", "auto");
    bool qv10 = kind == "qv10" || (kind == "auto" && !config.text("qv10.port").empty());
    if (kind == "gphoto2")
        text += "libgphoto2 " + config.text("gphoto2.model", "(autodetect)") + " " + config.text("gphoto2.port");
    else if (qv10)
        text += "QV-10 on " + config.text("qv10.port");
    else
        text += "virtual QV-10 in " + config.text("virtual.folder", Config::defaultVirtualFolder());
    if (camera_) {
        text += ", link open";
        if (std::string line = camera_->lineState(); !line.empty()) text += " " + line;
    } else {
        Status status = openLink(2000, 1000, false);
        int count = 0;
        if (status == ORRERY_OK) status = camera_->frameCount(count);
        char line[64];
        std::snprintf(line, sizeof line, status ? ", does not answer (0x%04X)" : ", answers, %d frames", status ? status : count);
        text += line;
        closeLink(1);
    }
    text += "\n" + describeScanner(config) + "\n" + describeVideo(config) + "\n";
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return intptr_t(n);
}

int Session::capabilities() {
    Config config = Config::load();
    capabilities_ = kCapabilityCamera | (scannerCanCalibrate(config) ? kCapabilityCalibration : 0);
    return capabilities_;
}

intptr_t Session::failure(intptr_t request, Status status) {
    switch (request) {
    case ORRERY_VIDEO_CAPTURE:
    case ORRERY_SCAN:
    case ORRERY_CALIBRATE:
    case ORRERY_INIT_BOARDS:
    case ORRERY_CLOSE_LINK:
    case ORRERY_FINE_CAPABLE:
    case ORRERY_PICTURE_KIND:
    case ORRERY_DESCRIBE: return 0;
    case ORRERY_FRAME_COUNT:
    case ORRERY_SHUTTER: return asNegative(status);
    case ORRERY_CAMERA_STATE: return 0xFFFF;
    default: return status;
    }
}

intptr_t Session::reentered(intptr_t request, intptr_t a1) {
    switch (request) {
    case ORRERY_VERSION: return kVersion;
    case ORRERY_CAPABILITIES:
        // Looking at the scanner again could disturb the request under way.
        return capabilities_ >= 0 ? capabilities_ : kCapabilityCamera;
    case ORRERY_SHOW_FRAME:
        // Only the latest frame asked for matters; shown when the running request ends.
        queuedShowFrame_ = int(a1);
        return ORRERY_OK;
    default: return failure(request, ORRERY_BUSY);
    }
}

intptr_t Session::handle(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4) {
    if (owner_.load() == std::this_thread::get_id()) return reentered(request, a1);
    std::lock_guard<std::mutex> lock(mutex_);
    owner_.store(std::this_thread::get_id());
    struct Release {
        std::atomic<std::thread::id>& owner;
        ~Release() { owner.store(std::thread::id()); }
    } release{owner_};
    // One barrier for the whole library: nothing thrown inside reaches the caller.
    try {
        intptr_t result = dispatch(request, a1, a2, a3, a4);
        while (queuedShowFrame_) {
            int frame = *queuedShowFrame_;
            queuedShowFrame_.reset();
            if (camera_) camera_->showFrame(frame);
        }
        return result;
    } catch (const std::bad_alloc&) {
        queuedShowFrame_.reset();
        return failure(request, ORRERY_NO_MEMORY);
    } catch (...) {
        queuedShowFrame_.reset();
        return failure(request, ORRERY_INTERNAL);
    }
}

intptr_t Session::dispatch(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4) {
    switch (request) {
    case ORRERY_VERSION: return kVersion;
    case ORRERY_VIDEO_CAPTURE: return intptr_t(captureVideo(Config::load(), a1));
    case ORRERY_SCAN: return intptr_t(captureScan(Config::load(), a1));
    case ORRERY_CALIBRATE: calibrateScanner(Config::load(), a1); return 0;
    case ORRERY_INIT_BOARDS: return 1;  // the virtual camera always answers
    case ORRERY_CAPABILITIES: return capabilities();
    case ORRERY_OPEN_LINK: return openLink(int(a1), int(a2), a3 != 0);
    case ORRERY_CLOSE_LINK: return closeLink(int(a1));
    case ORRERY_DESCRIBE: return describe(reinterpret_cast<char*>(a1), size_t(a2));
    default: break;
    }

    // The encode and decode requests need no link.
    switch (request) {
    case ORRERY_DECODE_STANDARD: return decode(reinterpret_cast<GlobalHandle*>(a1), GlobalHandle(a2), size_t(a3), false);
    case ORRERY_DECODE_FINE: return decode(reinterpret_cast<GlobalHandle*>(a1), GlobalHandle(a2), size_t(a3), true);
    case ORRERY_ENCODE_STANDARD:
        return encode(GlobalHandle(a1), reinterpret_cast<GlobalHandle*>(a2), reinterpret_cast<uint32_t*>(a3), false);
    case ORRERY_ENCODE_FINE:
        return encode(GlobalHandle(a1), reinterpret_cast<GlobalHandle*>(a2), reinterpret_cast<uint32_t*>(a3), true);
    default: break;
    }

    if (!camera_) return failure(request, ORRERY_NOT_OPEN);

    switch (request) {
    case ORRERY_SELECT_MODE: return ORRERY_OK;  // the camera has no mode command
    case ORRERY_SET_SPEED: return camera_->setSpeed(int(a1));
    case ORRERY_FRAME_COUNT: {
        int count = 0;
        Status s = camera_->frameCount(count);
        return s ? asNegative(s) : count;
    }
    case ORRERY_SHOW_FRAME: return camera_->showFrame(int(a1));
    case ORRERY_COPY_FRAME: return camera_->copyFrame(int(a1), (a2 & 0xFFFF) == 0xFFFF ? kAfterLast : int(a2));
    case ORRERY_MOVE_FRAME: return camera_->moveFrame(int(a1), int(a2));
    case ORRERY_SHUTTER: {
        int reply = 0;
        Status s = camera_->shutter(reply);
        return s ? asNegative(s) : reply;
    }
    case ORRERY_READ_THUMBNAIL:
        return readThumbnail(int(a1 & 0xFFFF), reinterpret_cast<GlobalHandle*>(a2), reinterpret_cast<OrreryCallback>(a3));
    case ORRERY_READ_BLOCK:
        return readBlock(int(a1 & 0xFFFF), (a1 >> 16) & 1, reinterpret_cast<GlobalHandle*>(a2),
                         reinterpret_cast<uint16_t*>(a3), reinterpret_cast<OrreryCallback>(a4));
    case ORRERY_WRITE_BLOCK: return writeBlock(a1, GlobalHandle(a2), size_t(a3), reinterpret_cast<OrreryCallback>(a4));
    case ORRERY_DELETE_FRAMES: return deleteFrames(reinterpret_cast<const uint8_t*>(a1));
    case ORRERY_ERASE_ALL: return camera_->eraseAll();
    case ORRERY_CAMERA_STATE: {
        int value = 0;
        return camera_->state(value) ? 0xFFFF : (value & 0xFFFF);
    }
    case ORRERY_FINE_CAPABLE: {
        bool fine = false;
        return camera_->fineCapable(fine) ? 0 : fine;
    }
    case ORRERY_PICTURE_KIND: {
        int kind = 0;
        return camera_->pictureKind(int(a1), kind) ? 0 : kind;
    }
    case ORRERY_SHOOTING_CHECK: {
        int value = 0;
        Status s = camera_->shootingCheck(value);
        return s ? intptr_t(s) : value;
    }
    default: return ORRERY_BAD_ARGUMENT;
    }
}

}  // namespace orrery
