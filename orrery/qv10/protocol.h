// Facts of the QV-10's serial protocol shared by the driver and the virtual
// camera: control bytes, the two checksums, packet framing and speed codes.
//
// A command is two ASCII letters and a fixed number of parameter bytes. The
// camera answers with the bitwise NOT of the 8-bit sum of those bytes; the
// host confirms with ACK and then reads the command's fixed-size result.
// Data moves in packets: STX, 16-bit big-endian length, data, ETB (more) or
// ETX (last), and NOT of the 8-bit sum of length bytes, data and terminator.
// An empty ETX packet ends a transfer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace orrery::qv {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kEnq = 0x05;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kDc2 = 0x12;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kEtb = 0x17;

constexpr size_t kPacketSize = 128;
constexpr size_t kMaxFrames = 96;
constexpr size_t kThumbnailBytes = 2808;     // 52 x 36 Y, 26 x 18 Cb and Cr
constexpr size_t kStandardBlockBytes = 21120;  // the camera's slot for one picture

inline uint8_t commandChecksum(std::span<const uint8_t> bytes) {
    uint8_t sum = 0;
    for (uint8_t b : bytes) sum = uint8_t(sum + b);
    return uint8_t(~sum);
}

// Checksum over the length bytes, the data and the terminator.
inline uint8_t packetChecksum(std::span<const uint8_t> data, uint8_t terminator) {
    uint8_t sum = uint8_t((data.size() >> 8) + (data.size() & 0xFF) + terminator);
    for (uint8_t b : data) sum = uint8_t(sum + b);
    return uint8_t(~sum);
}

inline std::vector<uint8_t> framePacket(std::span<const uint8_t> data, bool last) {
    std::vector<uint8_t> packet;
    packet.reserve(data.size() + 5);
    uint8_t terminator = last ? kEtx : kEtb;
    packet.push_back(kStx);
    packet.push_back(uint8_t(data.size() >> 8));
    packet.push_back(uint8_t(data.size() & 0xFF));
    packet.insert(packet.end(), data.begin(), data.end());
    packet.push_back(terminator);
    packet.push_back(packetChecksum(data, terminator));
    return packet;
}

// Parameter bytes that follow each command's two letters; -1 for an unknown command.
int parameterCount(char first, char second);

// Speed code for the camera's CB command and the host's line rate.
struct Speed {
    uint8_t code;
    int baud;
};
constexpr Speed kSpeed9600{46, 9600};
// Speed index 0..5 as the program stores it; indices 4 and 5 name rates a PC
// UART cannot make, so they use the camera's fastest standard rate.
Speed speedForIndex(int index);
// The next slower standard speed (9600 stays 9600).
Speed slowerSpeed(Speed speed);
// The line rate a CB code selects; 0 for a code of no standard rate.
int baudForCode(uint8_t code);

}  // namespace orrery::qv
