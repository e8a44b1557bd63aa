#include "orrery/qv10/qv10_camera.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "orrery/codec/cam_block.h"
#include "orrery/codec/thumbnail.h"
#include "orrery/qv10/protocol.h"

namespace orrery::qv {

namespace {

// A shutter release takes more than five seconds on the camera.
constexpr int kShutterMs = 8000;
constexpr uint8_t kShutterTaken = 0x06;
// How long a ping after a speed change waits for its answer.
constexpr int kSpeedPingMs = 1000;

// Models with fine (640 x 480) pictures: QV-100 and QV-300.
bool modelTakesFine(uint32_t model) { return model == 0x0103BA90 || model == 0x01048DC0; }

// The block length its header declares (the lengths sit in bytes 2..7), 0 before it arrived.
size_t declaredLength(std::span<const uint8_t> b, bool fine) {
    if (b.size() < 8) return 0;
    if (fine) return kBlockHeaderBytes + (size_t(b[4]) << 24 | size_t(b[5]) << 16 | size_t(b[6]) << 8 | b[7]);
    return kBlockHeaderBytes + (size_t(b[2]) << 8 | b[3]) + (size_t(b[4]) << 8 | b[5]) + (size_t(b[6]) << 8 | b[7]);
}

intptr_t blocksFor(size_t bytes) { return intptr_t((bytes + kPacketSize - 1) / kPacketSize); }

}  // namespace

Qv10Camera::Qv10Camera(std::unique_ptr<SerialLine> line, int receiveMs, int sendMs, int maxBaud,
                       std::unique_ptr<VirtualQv10> virtualCamera)
    : virtual_(std::move(virtualCamera)), line_(std::move(line)), link_(*line_, receiveMs, sendMs),
      maxBaud_(maxBaud) {}

Qv10Camera::~Qv10Camera() {
    // The line closes before the virtual camera stops (member order).
    line_.reset();
}

std::unique_ptr<Qv10Camera> Qv10Camera::open(const std::string& port, int receiveMs, int sendMs, int maxBaud,
                                             std::unique_ptr<VirtualQv10> virtualCamera, Status& status) {
    std::string error;
    std::unique_ptr<SerialLine> line(SerialLine::open(port, error));
    if (!line) {
        status = ORRERY_NO_DEVICE;
        return nullptr;
    }
    receiveMs = std::max(receiveMs, 50);
    sendMs = std::max(sendMs, 50);
    std::unique_ptr<Qv10Camera> camera(
        new Qv10Camera(std::move(line), receiveMs, sendMs, maxBaud, std::move(virtualCamera)));
    // A junk byte may follow the raising of the modem lines.
    camera->line_->drain(20);
    status = camera->link_.ping();
    if (status != ORRERY_OK) {
        camera->closed_ = true;
        return nullptr;
    }
    return camera;
}

Status Qv10Camera::close(int quitKind) {
    if (closed_) return ORRERY_OK;
    closed_ = true;
    Status status = ORRERY_OK;
    if (baud_ != kSpeed9600.baud) {
        status = link_.command("CB", {kSpeed9600.code});
        line_->setBaud(kSpeed9600.baud);
        baud_ = kSpeed9600.baud;
    }
    if (quitKind == 2)
        status = link_.command("QX", {});
    else if (quitKind == 1)
        status = link_.command("QR", {});
    // Quit kind 0 (between the two halves of a shot) leaves the camera as it is.
    return status;
}

Status Qv10Camera::setSpeed(int index) {
    if (index < 0 || index > 5) return ORRERY_BAD_ARGUMENT;
    Speed speed = speedForIndex(index);
    for (int i = index; speed.baud > maxBaud_ && i > 0; --i) speed = speedForIndex(i - 1);
    failedRates_.clear();
    // A port or cable that cannot carry a rate: the next slower one, down to 9600.
    for (;;) {
        if (speed.baud == baud_) return link_.ping();
        bool carried = true;
        Status status = changeSpeed(speed, carried);
        if (status == ORRERY_OK || carried) return status;
        failedRates_.push_back(speed.baud);
        if (speed.baud == kSpeed9600.baud) return status;
        speed = slowerSpeed(speed);
    }
}

Status Qv10Camera::changeSpeed(Speed speed, bool& carried) {
    carried = true;
    // A rate the host's port cannot make is never asked of the camera.
    bool portTakesIt = line_->setBaud(speed.baud);
    line_->setBaud(baud_);
    if (!portTakesIt) {
        carried = false;
        return ORRERY_UNSUPPORTED;
    }
    if (Status s = link_.command("CB", {speed.code})) return s;
    line_->setBaud(speed.baud);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // An idle camera answers a ping at once: no need to wait the full receive time-out.
    struct ShortWait {
        Link& link;
        int saved;
        ~ShortWait() { link.setReceiveTimeout(saved); }
    } shortWait{link_, link_.receiveTimeout()};
    link_.setReceiveTimeout(std::min(shortWait.saved, kSpeedPingMs));
    if (link_.ping() == ORRERY_OK) {
        baud_ = speed.baud;
        return ORRERY_OK;
    }
    // The camera switched but its answers do not come through: send it back
    // to the rate that worked, unheard, and check it is there.
    carried = false;
    Speed old = kSpeed9600;
    for (int i = 0; i <= 5; ++i)
        if (speedForIndex(i).baud == baud_) old = speedForIndex(i);
    commandBlind("CB", {old.code});
    line_->setBaud(baud_);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    line_->drain(30);
    Status back = link_.ping();
    if (back != ORRERY_OK) carried = true;  // the camera is lost: no slower try
    return back != ORRERY_OK ? back : Status(ORRERY_TIMEOUT);
}

void Qv10Camera::commandBlind(const char* letters, std::initializer_list<uint8_t> parameters) {
    std::vector<uint8_t> bytes = {uint8_t(letters[0]), uint8_t(letters[1])};
    bytes.insert(bytes.end(), parameters.begin(), parameters.end());
    line_->writeByte(kEnq, 100);
    line_->drain(50);
    line_->write(bytes, 100);
    line_->drain(50);
    line_->writeByte(kAck, 100);
    line_->drain(50);
}

std::string Qv10Camera::lineState() const {
    std::string text = "at " + std::to_string(baud_) + " baud";
    for (int rate : failedRates_) text += ", " + std::to_string(rate) + " did not carry";
    return text;
}

Status Qv10Camera::frameCount(int& count) {
    uint8_t n = 0;
    Status s = link_.command("MP", {}, &n, 1);
    count = n;
    return s;
}

Status Qv10Camera::checkFrame(int frame) {
    int count = 0;
    if (Status s = frameCount(count)) return s;
    return frame >= 1 && frame <= count ? ORRERY_OK : ORRERY_BAD_ARGUMENT;
}

Status Qv10Camera::selectFrame(int frame) {
    if (Status s = checkFrame(frame)) return s;
    if (Status s = link_.command("DA", {uint8_t(frame)})) return s;
    return link_.command("DL", {});
}

Status Qv10Camera::showFrame(int frame) {
    if (Status s = checkFrame(frame)) return s;
    return link_.command("DA", {uint8_t(frame)});
}

Status Qv10Camera::pictureKind(int frame, int& kind) {
    if (frame < 1 || frame > int(kMaxFrames)) return ORRERY_BAD_ARGUMENT;
    uint8_t k = 0;
    Status s = link_.command("DY", {2, uint8_t(frame)}, &k, 1);
    kind = k;
    return s;
}

Status Qv10Camera::relocate(int from, int dst) {
    int kind = 0;
    if (Status s = pictureKind(from, kind)) return s;
    if (kind & 1) return ORRERY_REFUSED;  // the camera will not delete a protected frame
    if (Status s = link_.command("DI", {uint8_t(from)})) return s;
    uint8_t attributes = 0;
    if (Status s = link_.command("DY", {2, uint8_t(from)}, &attributes, 1)) return s;
    if (Status s = link_.command("DF", {uint8_t(from), 0xFF})) return s;
    return link_.command("Dj", {uint8_t(dst)});
}

Status Qv10Camera::moveFrame(int from, int to) {
    int count = 0;
    if (Status s = frameCount(count)) return s;
    if (from < 1 || from > count || to < 1 || to > count + 1) return ORRERY_BAD_ARGUMENT;
    // "to" counts before the frame is taken out.
    int dst = to > from ? to - 1 : to;
    if (dst == from) return ORRERY_OK;
    return relocate(from, dst);
}

Status Qv10Camera::copyFrame(int frame, int destination) {
    int kind = 0;
    if (Status s = pictureKind(frame, kind)) return s;
    std::vector<uint8_t> block;
    if (Status s = readBlock(frame, (kind & 2) != 0, TransferWatch{}, block)) return s;
    if (!(kind & 2)) block.resize(kStandardBlockBytes, 0);
    return writeBlock(destination, block, TransferWatch{});
}

Status Qv10Camera::shutter(int& reply) {
    int saved = link_.receiveTimeout();
    link_.setReceiveTimeout(std::max(saved, kShutterMs));
    uint8_t answer = 0;
    Status s = link_.command("DR", {}, &answer, 1);
    link_.setReceiveTimeout(saved);
    reply = answer == kShutterTaken ? 6 : 21;
    return s;
}

Status Qv10Camera::thumbnail(int frame, const TransferWatch& watch, Picture& out) {
    if (Status s = selectFrame(frame)) return s;
    if (Status s = link_.command("MK", {})) return s;
    TransferWatch thumbWatch = watch;
    thumbWatch.progressStatus = [](std::span<const uint8_t>) { return blocksFor(kThumbnailBytes); };
    std::vector<uint8_t> data;
    if (Status s = link_.receiveData(data, thumbWatch)) return s;
    return decodeThumbnail(data, out) ? ORRERY_OK : ORRERY_BAD_DATA;
}

Status Qv10Camera::readBlock(int frame, bool fine, const TransferWatch& watch, std::vector<uint8_t>& out) {
    out.clear();
    if (Status s = selectFrame(frame)) return s;
    if (Status s = link_.command(fine ? "Mg" : "MG", {})) return s;
    // The header in the first packet tells the block's length, hence the total.
    TransferWatch blockWatch = watch;
    blockWatch.progressStatus = [fine](std::span<const uint8_t> soFar) {
        size_t length = declaredLength(soFar, fine);
        return std::min<intptr_t>(blocksFor(length ? length : kStandardBlockBytes), 0x7FFF);
    };
    std::vector<uint8_t> data;
    if (Status s = link_.receiveData(data, blockWatch)) return s;
    size_t length = fine ? fineBlockLength(data) : standardBlockLength(data);
    if (length == 0 || length > 0xFFFF) return ORRERY_BAD_DATA;
    data.resize(length);
    out = std::move(data);
    return ORRERY_OK;
}

Status Qv10Camera::writeBlock(int destination, std::span<const uint8_t> block, const TransferWatch& watch) {
    if (block.empty()) return ORRERY_BAD_ARGUMENT;
    int count = 0;
    if (Status s = frameCount(count)) return s;
    if (count >= int(kMaxFrames)) return ORRERY_REFUSED;
    if (destination != kAfterLast && (destination < 1 || destination > count + 1)) return ORRERY_BAD_ARGUMENT;
    if (Status s = link_.command("MH", {})) return s;
    if (Status s = link_.sendData(block, watch)) return s;
    if (Status s = link_.command("DJ", {})) return s;
    // The camera appends the picture only when it accepted the block.
    int after = 0;
    if (Status s = frameCount(after)) return s;
    if (after != count + 1) return ORRERY_REFUSED;
    if (destination == kAfterLast || destination == after) return ORRERY_OK;
    return relocate(after, destination);
}

Status Qv10Camera::deleteFrames(const std::vector<int>& ascending) {
    int count = 0;
    if (Status s = frameCount(count)) return s;
    for (size_t i = 0; i < ascending.size(); ++i) {
        if (ascending[i] < 1 || ascending[i] > count || (i > 0 && ascending[i] <= ascending[i - 1]))
            return ORRERY_BAD_ARGUMENT;
    }
    // Check every frame before deleting any, so a refusal changes nothing.
    for (int frame : ascending) {
        int kind = 0;
        if (Status s = pictureKind(frame, kind)) return s;
        if (kind & 1) return ORRERY_REFUSED;
    }
    // Later frames move down one number: delete from the back.
    for (auto it = ascending.rbegin(); it != ascending.rend(); ++it)
        if (Status s = link_.command("DF", {uint8_t(*it), 0xFF})) return s;
    return ORRERY_OK;
}

Status Qv10Camera::eraseAll() { return link_.command("DD", {}); }

Status Qv10Camera::state(int& value) {
    uint8_t bytes[2] = {};
    Status s = link_.command("DS", {2}, bytes, 2);
    value = (bytes[0] << 8) | bytes[1];
    return s;
}

Status Qv10Camera::fineCapable(bool& fine) {
    uint8_t model[4] = {};
    Status s = link_.command("SU", {}, model, 4);
    fine = modelTakesFine(uint32_t(model[0]) << 24 | uint32_t(model[1]) << 16 | uint32_t(model[2]) << 8 | model[3]);
    return s;
}

Status Qv10Camera::shootingCheck(int& value) {
    int count = 0;
    Status s = frameCount(count);
    value = std::max(0, int(kMaxFrames) - count);
    return s;
}

}  // namespace orrery::qv
