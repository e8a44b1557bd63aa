// Video frames through GStreamer: v4l2src for a real device, videotestsrc
// for "test". Frames arrive as 640 x 480 RGB.
#pragma once

#include <memory>
#include <string>

#include "orrery/core/blocks.h"
#include "orrery/core/config.h"
#include "orrery/core/picture.h"

namespace orrery {

constexpr int kVideoWidth = 640, kVideoHeight = 480;

class VideoSource {
public:
    // The source the settings name: "" for none. "auto" is /dev/video0 when it exists.
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

// One frame with no dialog; 0 when there is no source. Drops the first
// frames, which a camera takes while its exposure settles.
GlobalHandle grabVideoFrame(const Config& config);

}  // namespace orrery
