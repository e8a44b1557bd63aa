#include "orrery/qv10/virtual_qv10.h"

#include <chrono>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "orrery/codec/cam_block.h"
#include "orrery/codec/thumbnail.h"
#include "orrery/qv10/frame_store.h"
#include "orrery/qv10/protocol.h"
#include "orrery/qv10/sample_pictures.h"
#include "orrery/qv10/serial_line.h"

namespace orrery::qv {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kModelQv10 = 0x00531719;
constexpr uint32_t kModelQv100 = 0x0103BA90;
constexpr int kConfirmMs = 2000;
constexpr int kReplyMs = 5000;
constexpr int kPacketResends = 10;
constexpr uint8_t kBatteryFresh = 0x51;

bool storePicture(FrameStore& store, size_t index, const Picture& picture) {
    std::vector<uint8_t> block;
    if (!encodeStandardBlock(picture, block)) return false;
    block.resize(standardBlockLength(block));
    return store.insert(index, block, encodeThumbnail(picture), false);
}

// One session of the camera's side of the line.
class Camera {
public:
    Camera(SerialLine& line, const VirtualOptions& options)
        : line_(line), options_(options), store_(options.folder), mute_(options.faults.mute) {
        store_.load();
    }

    void serve();

private:
    void execute(char a, char b, const std::vector<uint8_t>& p);
    bool sendData(const std::vector<uint8_t>& data);
    bool receiveData(std::vector<uint8_t>& data);
    // Faults keyed by the running count of data packets; true when the camera fell silent.
    bool beforePacket();
    bool corruptThisPacket() const {
        return options_.faults.badChecksumEvery > 0 && packets_ % options_.faults.badChecksumEvery == 0;
    }
    void beSilent(int ms);
    bool validFrame(int n) const { return n >= 1 && size_t(n) <= store_.count(); }
    void write(std::initializer_list<uint8_t> bytes) {
        if (garbled_) return;  // sent at a rate the host's line does not carry
        std::vector<uint8_t> v(bytes);
        line_.write(v, kReplyMs);
    }
    void acceptUpload();

    SerialLine& line_;
    const VirtualOptions& options_;
    FrameStore store_;
    bool mute_;
    bool garbled_ = false;
    bool poweredOff_ = false;
    int packets_ = 0;
    int current_ = 1;
    std::vector<uint8_t> upload_;
    bool haveUpload_ = false;
    StoredFrame held_;
    bool heldTaken_ = false;
    int shots_ = 0;
};

void Camera::beSilent(int ms) {
    if (ms < 0) {
        mute_ = true;
        return;
    }
    auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count());
        if (line_.readByte(std::max(left, 1)) == SerialLine::kBroken) return;
    }
}

bool Camera::beforePacket() {
    ++packets_;
    if (options_.faults.silentFromPacket <= 0 || packets_ != options_.faults.silentFromPacket) return false;
    beSilent(options_.faults.silentMs);
    return true;
}

bool Camera::sendData(const std::vector<uint8_t>& data) {
    size_t count = (data.size() + kPacketSize - 1) / kPacketSize;
    for (size_t index = 0; index <= count; ++index) {
        bool end = index == count;
        size_t at = index * kPacketSize;
        std::span<const uint8_t> chunk =
            end ? std::span<const uint8_t>() : std::span<const uint8_t>(data).subspan(at, std::min(kPacketSize, data.size() - at));
        for (int attempt = 0;; ++attempt) {
            if (attempt > kPacketResends) return false;
            beforePacket();
            if (mute_) return false;
            std::vector<uint8_t> packet = framePacket(chunk, end);
            if (corruptThisPacket()) packet.back() ^= 0x5A;
            line_.write(packet, kReplyMs);
            int reply = line_.readByte(kReplyMs);
            if (reply == kAck) break;
            if (reply == kEnq) {  // the host gave up: abandon the transfer
                write({kAck});
                return false;
            }
            if (reply == SerialLine::kBroken) return false;
        }
    }
    return true;
}

bool Camera::receiveData(std::vector<uint8_t>& data) {
    data.clear();
    for (;;) {
        int start = line_.readByte(kReplyMs);
        if (start == kEnq) {
            write({kAck});
            return false;
        }
        if (start < 0) return false;
        if (start != kStx) continue;
        // After a silence the packet under way is lost; wait for the next one.
        if (beforePacket()) {
            if (mute_) return false;
            continue;
        }
        uint8_t head[2];
        bool ok = true;
        for (uint8_t& h : head) {
            int v = line_.readByte(kConfirmMs);
            ok = ok && v >= 0;
            h = uint8_t(v);
        }
        size_t length = size_t(head[0]) << 8 | head[1];
        if (!ok || length > 0x1000) {
            line_.drain(30);
            write({kNak});
            continue;
        }
        std::vector<uint8_t> chunk(length);
        for (uint8_t& c : chunk) {
            int v = line_.readByte(kConfirmMs);
            ok = ok && v >= 0;
            c = uint8_t(v);
        }
        int terminator = line_.readByte(kConfirmMs);
        int sum = line_.readByte(kConfirmMs);
        if (!ok || terminator < 0 || sum < 0 || (terminator != kEtb && terminator != kEtx) ||
            sum != packetChecksum(chunk, uint8_t(terminator)) || corruptThisPacket()) {
            write({kNak});
            continue;
        }
        write({kAck});
        data.insert(data.end(), chunk.begin(), chunk.end());
        if (terminator == kEtx) return true;
    }
}

// Keeps an uploaded block when it decodes; the camera would refuse others.
void Camera::acceptUpload() {
    if (!haveUpload_ || store_.count() >= kMaxFrames) return;
    haveUpload_ = false;
    Picture picture;
    bool fine = false;
    std::vector<uint8_t> block = upload_;
    if (block.size() != kStandardBlockBytes && options_.fineModel && decodeFineBlock(block, picture)) {
        fine = true;
        block.resize(fineBlockLength(block));
    } else if (decodeStandardBlock(block, picture)) {
        block.resize(standardBlockLength(block));
    } else {
        return;
    }
    store_.insert(store_.count(), block, encodeThumbnail(picture), fine);
}

void Camera::execute(char a, char b, const std::vector<uint8_t>& p) {
    auto is = [&](const char* name) { return a == name[0] && b == name[1]; };
    if (is("QX")) {
        poweredOff_ = true;
    } else if (is("CB")) {
        garbled_ = options_.faults.maxBaud > 0 && baudForCode(p[0]) > options_.faults.maxBaud;
    } else if (is("MP")) {
        write({uint8_t(store_.count())});
    } else if (is("DA")) {
        current_ = p[0];
    } else if (is("MK") || is("MG") || is("Mg")) {
        // The transfer starts when the host sends DC2.
        int go = line_.readByte(kReplyMs);
        if (go != kDc2) {
            if (go == kEnq) write({kAck});
            return;
        }
        std::vector<uint8_t> data;
        if (validFrame(current_)) data = is("MK") ? store_.thumbnail(size_t(current_ - 1)) : store_.block(size_t(current_ - 1));
        sendData(data);
    } else if (is("MH")) {
        if (store_.count() >= kMaxFrames) {
            write({kNak});
            return;
        }
        write({kDc2});
        haveUpload_ = receiveData(upload_);
    } else if (is("DJ")) {
        acceptUpload();
    } else if (is("DF")) {
        if (validFrame(p[0]) && !store_.frame(size_t(p[0] - 1)).isProtected) {
            StoredFrame gone = store_.take(size_t(p[0] - 1));
            if (!heldTaken_ && gone.stem == held_.stem) heldTaken_ = true;
            store_.save();
            if (!heldTaken_) store_.collect();
        }
    } else if (is("DD")) {
        for (size_t i = store_.count(); i-- > 0;)
            if (!store_.frame(i).isProtected) store_.take(i);
        store_.save();
        store_.collect();
    } else if (is("DI")) {
        if (validFrame(p[0])) held_ = store_.frame(size_t(p[0] - 1));
        heldTaken_ = false;
    } else if (is("Dj")) {
        if (heldTaken_ && p[0] >= 1) {
            store_.put(size_t(p[0] - 1), held_);
            store_.save();
            heldTaken_ = false;
            held_ = {};
            store_.collect();
        }
    } else if (is("DY")) {
        if (p[0] == 2) {
            uint8_t kind = 0;
            if (validFrame(p[1])) {
                const StoredFrame& f = store_.frame(size_t(p[1] - 1));
                kind = uint8_t((f.isProtected ? 1 : 0) | (f.fine ? 2 : 0));
            }
            write({kind});
        } else if (validFrame(p[1])) {
            store_.setProtected(size_t(p[1] - 1), p[0] == 1);
            store_.save();
        }
    } else if (is("DR")) {
        if (options_.playSwitch || store_.count() >= kMaxFrames) {
            write({kNak});
            return;
        }
        bool ok = storePicture(store_, store_.count(), shotPicture(int(store_.count()) + shots_++));
        write({ok ? kAck : kNak});
    } else if (is("DS")) {
        write({0, uint8_t(options_.playSwitch ? 0x40 : 0)});
    } else if (is("SU")) {
        uint32_t model = options_.fineModel ? kModelQv100 : kModelQv10;
        write({uint8_t(model >> 24), uint8_t(model >> 16), uint8_t(model >> 8), uint8_t(model)});
    } else if (is("RB")) {
        write({kBatteryFresh});
    }
    // QR, QE, DU, DL, DP, DM, PP: nothing to answer; a pty has no line rate.
}

void Camera::serve() {
    int pending = -1;
    for (;;) {
        int first = pending >= 0 ? pending : line_.readByte(1000);
        pending = -1;
        if (first == SerialLine::kBroken) return;
        if (first < 0 || mute_ || poweredOff_) continue;
        if (first == kEnq) {
            write({kAck});
            continue;
        }
        if (!std::isalpha(first)) continue;
        int second = line_.readByte(kConfirmMs);
        if (second == SerialLine::kBroken) return;
        if (second < 0) continue;
        int count = parameterCount(char(first), char(second));
        if (count < 0) {
            line_.drain(30);
            continue;
        }
        std::vector<uint8_t> bytes = {uint8_t(first), uint8_t(second)};
        bool complete = true;
        for (int i = 0; i < count && complete; ++i) {
            int v = line_.readByte(kConfirmMs);
            complete = v >= 0;
            bytes.push_back(uint8_t(v));
        }
        if (!complete) continue;
        write({commandChecksum(bytes)});
        int confirm = line_.readByte(kConfirmMs);
        if (confirm == SerialLine::kBroken) return;
        if (confirm != kAck) {
            pending = confirm;  // not confirmed: the command is dropped
            continue;
        }
        execute(char(first), char(second), std::vector<uint8_t>(bytes.begin() + 2, bytes.end()));
    }
}

}  // namespace

bool VirtualQv10::seed(const std::string& folder) {
    FrameStore store(folder);
    if (store.exists()) return true;
    for (int n = 0; n < kSamplePictureCount; ++n)
        if (!storePicture(store, store.count(), samplePicture(n))) return false;
    return store.save();
}

std::unique_ptr<VirtualQv10> VirtualQv10::start(const VirtualOptions& options, std::string& error) {
    if (options.seedPictures && !seed(options.folder)) {
        error = "cannot fill " + options.folder;
        return nullptr;
    }
    std::unique_ptr<VirtualQv10> camera(new VirtualQv10);
    camera->options_ = options;
    termios raw {};
    cfmakeraw(&raw);
    char name[256] = {};
    if (openpty(&camera->master_, &camera->slave_, name, &raw, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return nullptr;
    }
    fcntl(camera->master_, F_SETFD, FD_CLOEXEC);
    fcntl(camera->slave_, F_SETFD, FD_CLOEXEC);
    fcntl(camera->master_, F_SETFL, O_NONBLOCK);
    camera->devicePath_ = name;
    camera->wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    camera->thread_ = std::thread(&VirtualQv10::run, camera.get());
    return camera;
}

void VirtualQv10::run() {
    // Nothing may leave the thread; a camera that fails inside falls silent.
    try {
        SerialLine line(dup(master_));
        line.setWakeFd(wake_);
        Camera camera(line, options_);
        camera.serve();
    } catch (...) {
    }
}

VirtualQv10::~VirtualQv10() {
    if (thread_.joinable()) {
        uint64_t one = 1;
        (void)!::write(wake_, &one, sizeof one);
        thread_.join();
    }
    if (wake_ >= 0) ::close(wake_);
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

}  // namespace orrery::qv
