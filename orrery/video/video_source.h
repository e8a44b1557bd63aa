// Video frames through GStreamer: v4l2src and a decoder (cameras that send
// only MJPEG) for a real device, videotestsrc for "test" (video.test_size
// WxH and video.test_rate N/D shape it). Frames keep the camera's aspect,
// fitted inside 640 x 480, as RGB.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "orrery/core/blocks.h"
#include "orrery/core/config.h"
#include "orrery/core/picture.h"

namespace orrery {

constexpr int kVideoWidth = 640, kVideoHeight = 480;

struct VideoDevice {
    std::string path;  // what the "video" setting takes, e.g. /dev/video0
    std::string name;  // what the device calls itself
};

class VideoSource {
public:
    // Capture devices GStreamer's device monitor finds.
    static std::vector<VideoDevice> devices();
    // The source the settings name: "" for none. "auto" is the first device found.
    static std::string chosenSource(const Config& config);
    // Starts the pipeline; nullptr when the source cannot play (error says why).
    static std::unique_ptr<VideoSource> start(const Config& config, std::string& error);
    ~VideoSource();

    // The next frame, waiting at most timeoutMs.
    bool pull(Picture& out, int timeoutMs);
    const std::string& description() const { return description_; }

private:
    VideoSource() = default;
    void* pipeline_ = nullptr;
    void* sink_ = nullptr;
    std::string description_;
};

// Frames a camera takes while its exposure settles; dropped before a still.
constexpr int kSettleFrames = 10;

// One frame with no dialog; 0 when there is no source. Drops the first
// frames, which a camera takes while its exposure settles.
GlobalHandle grabVideoFrame(const Config& config);

}  // namespace orrery
