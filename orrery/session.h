// The library's state between requests: its settings, the open camera link
// and the gamma flag, and the dispatch of the request table.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "orrery/core/camera_device.h"
#include "orrery/core/config.h"

namespace orrery {

class Session {
public:
    static Session& instance();
    intptr_t handle(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4);

private:
    Status openLink(int receiveMs, int sendMs, bool gamma);
    Status closeLink(int quitKind);
    Status readThumbnail(int frame, GlobalHandle* out, OrreryCallback callback);
    Status readBlock(int frame, bool fine, GlobalHandle* out, uint16_t* size, OrreryCallback callback);
    Status writeBlock(intptr_t destination, GlobalHandle block, size_t size, OrreryCallback callback);
    Status decode(GlobalHandle* out, GlobalHandle block, size_t size, bool fine);
    Status encode(GlobalHandle dib, GlobalHandle* out, uint32_t* size, bool fine);
    Status deleteFrames(const uint8_t* frames);
    int capabilities();
    intptr_t describe(char* buffer, size_t size);

    std::mutex mutex_;
    Config config_;
    std::unique_ptr<CameraDevice> camera_;
    bool gamma_ = false;
};

}  // namespace orrery
