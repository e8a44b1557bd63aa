// The host's side of the QV-10 line: ping, command transactions and data
// packets with ACK/NAK, reporting to the caller's transfer callback.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <vector>

#include "orrery/core/camera_device.h"
#include "orrery/orrery.h"
#include "orrery/qv10/serial_line.h"

namespace orrery::qv {

using orrery::TransferWatch;

class Link {
public:
    Link(SerialLine& line, int receiveMs, int sendMs) : line_(line), receiveMs_(receiveMs), sendMs_(sendMs) {}

    Status ping();
    // Ping, send letters and parameters, check the camera's checksum, confirm
    // with ACK and read resultLength bytes into result.
    Status command(const char* letters, std::initializer_list<uint8_t> parameters, uint8_t* result = nullptr,
                   size_t resultLength = 0);
    // After a download command: DC2, then packets until the empty ETX packet.
    Status receiveData(std::vector<uint8_t>& out, const TransferWatch& watch);
    // After an upload command: wait for the camera's DC2, send the packets.
    Status sendData(std::span<const uint8_t> data, const TransferWatch& watch);

    SerialLine& line() { return line_; }
    int receiveTimeout() const { return receiveMs_; }
    void setReceiveTimeout(int ms) { receiveMs_ = ms; }

private:
    enum class Packet { kGood, kLast, kEnd, kTimedOut, kBadChecksum, kFraming };
    Packet readPacket(std::vector<uint8_t>& data);
    // The callback's answer to a line error, or the default policy's.
    intptr_t askAboutError(const TransferWatch& watch, intptr_t position, Status status, int& errors);
    Status transaction(const char* letters, std::initializer_list<uint8_t> parameters, uint8_t* result,
                       size_t resultLength);

    SerialLine& line_;
    int receiveMs_;
    int sendMs_;
};

}  // namespace orrery::qv
