// The QV-10 driver: the request table's camera operations in terms of the
// camera's serial commands (see protocol.h and link.h).
#pragma once

#include <memory>
#include <string>

#include "orrery/core/camera_device.h"
#include "orrery/qv10/link.h"
#include "orrery/qv10/protocol.h"
#include "orrery/qv10/serial_line.h"
#include "orrery/qv10/virtual_qv10.h"

namespace orrery::qv {

class Qv10Camera : public CameraDevice {
public:
    // Opens the port at 9600 8N1 and waits for the camera's ACK to a ping.
    // A virtual camera passed in lives as long as the link.
    static std::unique_ptr<Qv10Camera> open(const std::string& port, int receiveMs, int sendMs, int maxBaud,
                                            std::unique_ptr<VirtualQv10> virtualCamera, Status& status);
    ~Qv10Camera() override;

    Status close(int quitKind) override;
    Status setSpeed(int index) override;
    Status frameCount(int& count) override;
    Status showFrame(int frame) override;
    Status moveFrame(int from, int to) override;
    Status copyFrame(int frame, int destination) override;
    Status shutter(int& reply) override;
    Status thumbnail(int frame, const TransferWatch& watch, Picture& out) override;
    Status readBlock(int frame, bool fine, const TransferWatch& watch, std::vector<uint8_t>& out) override;
    Status writeBlock(int destination, std::span<const uint8_t> block, const TransferWatch& watch) override;
    Status deleteFrames(const std::vector<int>& ascending) override;
    Status eraseAll() override;
    Status state(int& value) override;
    Status fineCapable(bool& fine) override;
    Status pictureKind(int frame, int& kind) override;
    Status shootingCheck(int& value) override;

    std::string lineState() const override;
    int baud() const { return baud_; }

private:
    Qv10Camera(std::unique_ptr<SerialLine> line, int receiveMs, int sendMs, int maxBaud,
               std::unique_ptr<VirtualQv10> virtualCamera);
    Status checkFrame(int frame);
    Status selectFrame(int frame);
    // DI, DY 02, DF, Dj: the frame is taken out and put back at position dst.
    Status relocate(int from, int dst);
    // One speed change: Ok, or the failure; carried tells a line that did
    // not carry the new rate (the camera is back at the old one).
    Status changeSpeed(Speed speed, bool& carried);
    // Sends a command without waiting for answers: to reach a camera whose
    // replies do not arrive.
    void commandBlind(const char* letters, std::initializer_list<uint8_t> parameters);

    std::unique_ptr<VirtualQv10> virtual_;  // outlives the line: declared first
    std::unique_ptr<SerialLine> line_;
    Link link_;
    int maxBaud_;
    int baud_ = 9600;
    std::vector<int> failedRates_;  // rates tried that the line did not carry
    bool closed_ = false;
};

}  // namespace orrery::qv
