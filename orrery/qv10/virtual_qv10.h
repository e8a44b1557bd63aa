// The virtual QV-10: the camera's side of the serial protocol, answering on a
// pseudo-terminal, with its frames in a folder (see frame_store.h). The
// driver opens devicePath() like any serial port, so the real protocol code
// runs against it. Faults can be injected for tests.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace orrery::qv {

struct VirtualFaults {
    int badChecksumEvery = 0;   // every Nth data packet (either way) has a bad checksum
    int silentFromPacket = 0;   // at this data packet (1-based) the camera falls silent...
    int silentMs = 0;           // ...for this long; negative: for good
    bool mute = false;          // the camera never answers at all
    int maxBaud = 0;            // above this rate the camera's answers are lost (0: any rate)
};

struct VirtualOptions {
    std::string folder;
    bool fineModel = false;     // answers as a QV-100 (fine pictures) instead of a QV-10
    bool playSwitch = false;    // the REC/PLAY switch stands at PLAY
    bool seedPictures = true;   // fill an empty, new folder with sample pictures
    VirtualFaults faults;
};

class VirtualQv10 {
public:
    // Opens the pseudo-terminal and starts answering; nullptr on failure.
    static std::unique_ptr<VirtualQv10> start(const VirtualOptions& options, std::string& error);
    ~VirtualQv10();

    const std::string& devicePath() const { return devicePath_; }

    // Fills the folder with the sample pictures when it holds no camera yet.
    static bool seed(const std::string& folder);

private:
    VirtualQv10() = default;
    void run();

    VirtualOptions options_;
    std::string devicePath_;
    int master_ = -1;
    int slave_ = -1;
    int wake_ = -1;
    std::thread thread_;
};

}  // namespace orrery::qv
