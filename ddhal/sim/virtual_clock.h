// The model's sense of time, in nanoseconds. In virtual mode time stands still except when the
// driver touches the chip (each access costs a fixed step) or a test moves it on, so every run is
// reproducible. In real mode it follows the monotonic clock, for measurements against real time.
#pragma once

#include <cstdint>

namespace ddhal::sim {

class VirtualClock {
public:
    enum class Mode { Virtual, Real };

    explicit VirtualClock(Mode mode = Mode::Virtual, int64_t accessStepNs = 1000);

    int64_t now() const;
    void access();  // one chip access: time moves on by the access step (virtual mode)
    void advance(int64_t ns);
    // Real mode: the longest time between two accesses since the reset, which is how long the
    // driver could have looked away from the chip (for instance while the scheduler ran others).
    int64_t longestAccessGap() const { return longestGap_; }
    void resetAccessGap();
    Mode mode() const { return mode_; }
    int64_t accessStep() const { return step_; }

private:
    Mode mode_;
    int64_t step_;
    int64_t virtualNow_ = 0;
    int64_t realOrigin_ = 0;
    int64_t lastAccess_ = -1;
    int64_t longestGap_ = 0;
};

}  // namespace ddhal::sim
