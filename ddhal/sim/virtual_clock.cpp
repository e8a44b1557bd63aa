#include "ddhal/sim/virtual_clock.h"

#include <time.h>

namespace ddhal::sim {

namespace {
int64_t monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
}  // namespace

VirtualClock::VirtualClock(Mode mode, int64_t accessStepNs)
    : mode_(mode), step_(accessStepNs), realOrigin_(monotonicNs()) {}

int64_t VirtualClock::now() const {
    return mode_ == Mode::Real ? monotonicNs() - realOrigin_ + virtualNow_ : virtualNow_;
}

void VirtualClock::access() {
    if (mode_ == Mode::Virtual) {
        virtualNow_ += step_;
        return;
    }
    const int64_t t = now();
    if (lastAccess_ >= 0 && t - lastAccess_ > longestGap_)
        longestGap_ = t - lastAccess_;
    lastAccess_ = t;
}

void VirtualClock::resetAccessGap() {
    lastAccess_ = -1;
    longestGap_ = 0;
}

void VirtualClock::advance(int64_t ns) { virtualNow_ += ns; }

}  // namespace ddhal::sim
