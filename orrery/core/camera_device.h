// What the request table needs from a camera. The QV-10 driver and the
// libgphoto2 backend implement it; statuses are the table's (orrery.h).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "orrery/core/blocks.h"
#include "orrery/core/picture.h"
#include "orrery/orrery.h"

namespace orrery {

// How a block transfer reports. Without a callback line errors are retried
// five times and then given up.
struct TransferWatch {
    OrreryCallback callback = nullptr;
    // The progress status sent with each good block, from the bytes so far.
    std::function<intptr_t(std::span<const uint8_t>)> progressStatus;
};

constexpr int kAfterLast = 0;  // a destination frame meaning "append"

class CameraDevice {
public:
    virtual ~CameraDevice() = default;

    virtual Status close(int quitKind) = 0;
    virtual Status setSpeed(int index) = 0;
    virtual Status frameCount(int& count) = 0;
    virtual Status showFrame(int frame) = 0;
    // The frame goes in front of frame "to" (count + 1: to the end).
    virtual Status moveFrame(int from, int to) = 0;
    // A copy of the frame becomes frame "destination" (kAfterLast: appended).
    virtual Status copyFrame(int frame, int destination) = 0;
    virtual Status shutter(int& reply) = 0;  // 6 taken, 21 refused
    virtual Status thumbnail(int frame, const TransferWatch& watch, Picture& out) = 0;
    virtual Status readBlock(int frame, bool fine, const TransferWatch& watch, std::vector<uint8_t>& out) = 0;
    virtual Status writeBlock(int destination, std::span<const uint8_t> block, const TransferWatch& watch) = 0;
    virtual Status deleteFrames(const std::vector<int>& ascending) = 0;
    virtual Status eraseAll() = 0;
    virtual Status state(int& value) = 0;  // bit 0x40: not in record mode
    virtual Status fineCapable(bool& fine) = 0;
    virtual Status pictureKind(int frame, int& kind) = 0;  // bit 1 protected, bit 2 fine
    virtual Status shootingCheck(int& value) = 0;
    // How the line runs, for the tools ("at 57600 baud ..."); empty when it has no speed.
    virtual std::string lineState() const { return {}; }
};

}  // namespace orrery
