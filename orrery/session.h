// The library's state between requests: its settings, the open camera link
// and the gamma flag, and the dispatch of the request table.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "orrery/core/camera_device.h"
#include "orrery/core/config.h"

namespace orrery {

class Session {
public:
    static Session& instance();
    // Serves one request; never throws (see orrery.h for re-entry).
    intptr_t handle(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4);

    // The value a request returns when it fails with status: the status
    // itself, or the request's own failure form (negative count, 0 picture...).
    static intptr_t failure(intptr_t request, Status status);

private:
    intptr_t dispatch(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4);
    intptr_t reentered(intptr_t request, intptr_t a1);
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
    // The thread whose request is running; a call from it is a re-entry.
    std::atomic<std::thread::id> owner_{};
    std::optional<int> queuedShowFrame_;
    int capabilities_ = -1;  // the last answer, for re-entrant calls
    Config config_;
    std::unique_ptr<CameraDevice> camera_;
    bool gamma_ = false;
};

}  // namespace orrery
