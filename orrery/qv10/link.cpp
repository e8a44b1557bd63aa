#include "orrery/qv10/link.h"

#include <chrono>
#include <thread>

#include "orrery/qv10/protocol.h"

namespace orrery::qv {

namespace {

constexpr int kPingTries = 5;
constexpr int kCommandTries = 3;
constexpr int kDefaultErrorRetries = 5;
// Even a callback that always says "retry" cannot keep one packet going forever.
constexpr int kMaxErrorsPerPacket = 64;
constexpr int kStrayQuietMs = 30;
constexpr size_t kMaxPacketLength = 0x1000;

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

Status Link::ping() {
    int timeouts = 0;
    for (int attempt = 0; attempt < kPingTries; ++attempt) {
        if (!line_.writeByte(kEnq, sendMs_)) return ORRERY_TIMEOUT;
        int reply = line_.readByte(receiveMs_);
        if (reply == kAck || reply == kEnq) return ORRERY_OK;
        if (reply == SerialLine::kBroken) return ORRERY_NO_DEVICE;
        if (reply == SerialLine::kTimedOut) {
            // A silent line: one more try, then report the time-out.
            if (++timeouts >= 2) return ORRERY_TIMEOUT;
            continue;
        }
        if (reply == kNak) {
            pause(100);  // busy
            continue;
        }
        line_.drain(kStrayQuietMs);
    }
    return ORRERY_LINE_FRAMING;
}

Status Link::transaction(const char* letters, std::initializer_list<uint8_t> parameters, uint8_t* result,
                         size_t resultLength) {
    std::vector<uint8_t> bytes = {uint8_t(letters[0]), uint8_t(letters[1])};
    bytes.insert(bytes.end(), parameters.begin(), parameters.end());
    if (Status s = ping()) return s;
    if (!line_.write(bytes, sendMs_)) return ORRERY_TIMEOUT;
    int checksum = line_.readByte(receiveMs_);
    if (checksum == SerialLine::kTimedOut) return ORRERY_TIMEOUT;
    if (checksum < 0) return ORRERY_NO_DEVICE;
    if (checksum != commandChecksum(bytes)) {
        // Garbled on the way: do not confirm, so the camera drops it.
        line_.drain(kStrayQuietMs);
        return ORRERY_LINE_CHECKSUM;
    }
    if (!line_.writeByte(kAck, sendMs_)) return ORRERY_TIMEOUT;
    for (size_t i = 0; i < resultLength; ++i) {
        int b = line_.readByte(receiveMs_);
        if (b == SerialLine::kTimedOut) return ORRERY_TIMEOUT;
        if (b < 0) return ORRERY_NO_DEVICE;
        result[i] = uint8_t(b);
    }
    return ORRERY_OK;
}

Status Link::command(const char* letters, std::initializer_list<uint8_t> parameters, uint8_t* result,
                     size_t resultLength) {
    Status status = ORRERY_OK;
    for (int attempt = 0; attempt < kCommandTries; ++attempt) {
        status = transaction(letters, parameters, result, resultLength);
        if (status != ORRERY_LINE_CHECKSUM && status != ORRERY_LINE_FRAMING) return status;
    }
    return status;
}

Link::Packet Link::readPacket(std::vector<uint8_t>& data) {
    int start = line_.readByte(receiveMs_);
    if (start == SerialLine::kTimedOut || start == SerialLine::kBroken) return Packet::kTimedOut;
    if (start != kStx) return Packet::kFraming;
    uint8_t head[2];
    for (uint8_t& b : head) {
        int v = line_.readByte(receiveMs_);
        if (v < 0) return Packet::kTimedOut;
        b = uint8_t(v);
    }
    size_t length = size_t(head[0]) << 8 | head[1];
    if (length > kMaxPacketLength) return Packet::kFraming;
    data.resize(length);
    for (uint8_t& b : data) {
        int v = line_.readByte(receiveMs_);
        if (v < 0) return Packet::kTimedOut;
        b = uint8_t(v);
    }
    int terminator = line_.readByte(receiveMs_);
    int sum = line_.readByte(receiveMs_);
    if (terminator < 0 || sum < 0) return Packet::kTimedOut;
    if (terminator != kEtx && terminator != kEtb) return Packet::kFraming;
    if (sum != packetChecksum(data, uint8_t(terminator))) return Packet::kBadChecksum;
    if (terminator == kEtb) return Packet::kGood;
    return length == 0 ? Packet::kEnd : Packet::kLast;
}

intptr_t Link::askAboutError(const TransferWatch& watch, intptr_t position, Status status, int& errors) {
    ++errors;
    if (errors > kMaxErrorsPerPacket) return ORRERY_GIVE_UP;
    if (watch.callback) return watch.callback(position, status);
    return errors <= kDefaultErrorRetries ? ORRERY_RETRY : ORRERY_GIVE_UP;
}

Status Link::receiveData(std::vector<uint8_t>& out, const TransferWatch& watch) {
    out.clear();
    if (!line_.writeByte(kDc2, sendMs_)) return ORRERY_TIMEOUT;
    intptr_t blocks = 0;
    int errors = 0;
    std::vector<uint8_t> data;
    for (;;) {
        Packet packet = readPacket(data);
        if (packet == Packet::kTimedOut || packet == Packet::kBadChecksum || packet == Packet::kFraming) {
            Status status = packet == Packet::kTimedOut      ? ORRERY_TIMEOUT
                            : packet == Packet::kBadChecksum ? ORRERY_LINE_CHECKSUM
                                                             : ORRERY_LINE_FRAMING;
            if (packet == Packet::kFraming) line_.drain(kStrayQuietMs);
            if (askAboutError(watch, blocks, status, errors) == ORRERY_GIVE_UP) {
                out.clear();
                return status;
            }
            if (!line_.writeByte(kNak, sendMs_)) return ORRERY_TIMEOUT;
            continue;
        }
        if (!line_.writeByte(kAck, sendMs_)) return ORRERY_TIMEOUT;
        errors = 0;
        if (packet == Packet::kEnd) return ORRERY_OK;
        out.insert(out.end(), data.begin(), data.end());
        ++blocks;
        if (watch.callback) {
            intptr_t status = watch.progressStatus ? watch.progressStatus(out) : 0;
            if (watch.callback(blocks, status) == ORRERY_GIVE_UP) {
                out.clear();
                return ORRERY_CANCELLED;
            }
        }
        if (packet == Packet::kLast) {
            // A last packet with data may still be followed by the empty one.
            if (readPacket(data) == Packet::kEnd) line_.writeByte(kAck, sendMs_);
            return ORRERY_OK;
        }
    }
}

Status Link::sendData(std::span<const uint8_t> data, const TransferWatch& watch) {
    int errors = 0;
    for (;;) {
        int ready = line_.readByte(receiveMs_);
        if (ready == kDc2) break;
        if (ready == kNak) return ORRERY_REFUSED;  // the camera will not take a picture now
        Status status = ready == SerialLine::kTimedOut ? ORRERY_TIMEOUT : ORRERY_LINE_FRAMING;
        if (askAboutError(watch, 0, status, errors) == ORRERY_GIVE_UP) return status;
    }
    size_t packets = (data.size() + kPacketSize - 1) / kPacketSize;
    for (size_t index = 0; index <= packets; ++index) {
        bool end = index == packets;
        std::span<const uint8_t> chunk =
            end ? std::span<const uint8_t>() : data.subspan(index * kPacketSize, std::min(kPacketSize, data.size() - index * kPacketSize));
        std::vector<uint8_t> packet = framePacket(chunk, end);
        errors = 0;
        for (;;) {
            if (!line_.write(packet, sendMs_)) return ORRERY_TIMEOUT;
            int reply = line_.readByte(receiveMs_);
            if (reply == kAck) break;
            Status status = reply == kNak                   ? ORRERY_LINE_CHECKSUM
                            : reply == SerialLine::kTimedOut ? ORRERY_TIMEOUT
                                                             : ORRERY_LINE_FRAMING;
            if (status == ORRERY_LINE_FRAMING) line_.drain(kStrayQuietMs);
            if (askAboutError(watch, intptr_t(index), status, errors) == ORRERY_GIVE_UP) {
                // An ENQ makes the camera drop what it has received so far.
                ping();
                return status;
            }
        }
        if (!end && watch.callback && watch.callback(intptr_t(index), 0) == ORRERY_GIVE_UP) {
            ping();
            return ORRERY_CANCELLED;
        }
    }
    return ORRERY_OK;
}

}  // namespace orrery::qv
