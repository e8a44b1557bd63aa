#include "ddhal/sim/s3_chip.h"

#include <climits>
#include <cstdio>

namespace ddhal::sim {

namespace {

constexpr size_t kWindowBytes = 0x10000;

constexpr uint8_t kBankBits = 0x0C;
constexpr uint8_t kBankLow = 0x00;
constexpr uint8_t kBankHigh = 0x04;
constexpr uint8_t kStreamsBits = 0xA0;

std::string hex(uint32_t v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", v);
    return buffer;
}

}  // namespace

S3Chip::S3Chip(const ChipConfig& config)
    : config_(config),
      clock_(config.clockMode, config.accessStepNs),
      vram_(config.videoMemoryBytes, 0),
      registerWindow_(kWindowBytes, 0),
      streamsWindow_(kWindowBytes, 0),
      controlPortValue_(config.controlPortValue) {
    crtc_[0x67] = config.streamsOn ? 0x0C : 0x00;
    streams_[(0x81EC - 0x8180) / 4] = config.fifoControl;
    // The 16-bit driver's mode set leaves the primary stream's stride in the low half.
    streams_[(0x81D8 - 0x8180) / 4] = config.pitch & 0xFFF;
    streamsBefore_ = streams_;
    streamsWritten_.fill(INT64_MIN / 2);
}

int64_t S3Chip::latchAfter(int64_t time) const {
    const int64_t period = framePeriodNs();
    return (time >= 0 ? time / period + 1 : 0) * period;
}

uint32_t S3Chip::shownStreams(uint32_t reg) const {
    if (reg < 0x8180 || reg > 0x81FC)
        return 0;
    const size_t i = (reg - 0x8180) / 4;
    return clock_.now() >= latchAfter(streamsWritten_[i]) ? streams_[i] : streamsBefore_[i];
}

void S3Chip::fault(const std::string& what) { faults_.push_back(what); }

void S3Chip::access() {
    clock_.access();
    if (!retraceStartsSeen_.empty() && retraceStartsSeen_.back().nextAccess < 0)
        retraceStartsSeen_.back().nextAccess = clock_.now();
}

void S3Chip::clearLogs() {
    portWrites_.clear();
    registerWrites_.clear();
    streamsWrites_.clear();
    crtcWrites_.clear();
    engineOps_.clear();
    faults_.clear();
    retraceStartsSeen_.clear();
    statusReads_ = 0;
}

uint8_t S3Chip::portIn(uint16_t port) {
    access();
    if (config_.controlPort != 0 && port == config_.controlPort)
        return controlPortValue_;
    return 0xFF;
}

void S3Chip::portOut(uint16_t port, uint8_t value) {
    access();
    portWrites_.push_back({port, value, interruptsDisabled_});
    if (config_.controlPort == 0 || port != config_.controlPort) {
        fault("write to port " + hex(port) + " where no board answers");
        return;
    }
    if (!interruptsDisabled_)
        fault("aperture control port changed with interrupts enabled");
    controlPortValue_ = value;
}

void S3Chip::setInterruptsDisabled(bool disabled) {
    if (disabled == interruptsDisabled_)
        fault(disabled ? "interrupts disabled twice" : "interrupts enabled while enabled");
    interruptsDisabled_ = disabled;
}

// Which register a byte of the register window reaches, given the aperture control port now:
// bits 2 and 3 both set open the whole 64 KB; 00 shows the low half and 01 the high half in the
// window's first 32 KB; 10 is the resting state, in which the window reaches nothing.
bool S3Chip::registerOffset(size_t windowOffset, uint32_t* reg) {
    const uint8_t bank = controlPortValue_ & kBankBits;
    if (bank == kBankBits) {
        *reg = static_cast<uint32_t>(windowOffset);
        return true;
    }
    if (windowOffset >= 0x8000) {
        fault("banked access beyond the 32 KB window at offset " + hex(static_cast<uint32_t>(windowOffset)));
        return false;
    }
    if (bank == kBankLow) {
        *reg = static_cast<uint32_t>(windowOffset);
        return true;
    }
    if (bank == kBankHigh) {
        *reg = static_cast<uint32_t>(windowOffset) | 0x8000;
        return true;
    }
    fault("access through the closed register window at offset " + hex(static_cast<uint32_t>(windowOffset)));
    return false;
}

bool S3Chip::deviceRead(const volatile void* address, int bytes, uint32_t* value) {
    const auto* a = static_cast<const volatile uint8_t*>(address);
    const volatile uint8_t* regs = registerWindow_.data();
    const volatile uint8_t* streamsBase = streamsWindow_.data();
    if (a >= regs && a < regs + kWindowBytes) {
        access();
        uint32_t reg = 0;
        *value = registerOffset(static_cast<size_t>(a - regs), &reg) ? readRegister(reg, bytes) : 0xFFFFFFFF;
        return true;
    }
    if (a >= streamsBase && a < streamsBase + kWindowBytes) {
        access();
        const auto offset = static_cast<uint32_t>(a - streamsBase);
        if ((controlPortValue_ & kStreamsBits) != kStreamsBits || bytes != 4) {
            fault("streams read without the streams window open at " + hex(offset));
            *value = 0xFFFFFFFF;
            return true;
        }
        *value = streams(offset | 0x8000);
        return true;
    }
    return false;
}

bool S3Chip::deviceWrite(volatile void* address, int bytes, uint32_t value) {
    auto* a = static_cast<volatile uint8_t*>(address);
    volatile uint8_t* regs = registerWindow_.data();
    volatile uint8_t* streamsBase = streamsWindow_.data();
    if (a >= regs && a < regs + kWindowBytes) {
        access();
        uint32_t reg = 0;
        if (registerOffset(static_cast<size_t>(a - regs), &reg))
            writeRegister(reg, bytes, value);
        return true;
    }
    if (a >= streamsBase && a < streamsBase + kWindowBytes) {
        access();
        const auto offset = static_cast<uint32_t>(a - streamsBase);
        const bool direct = (controlPortValue_ & kBankBits) == kBankBits;
        if ((controlPortValue_ & kStreamsBits) != kStreamsBits || bytes != 4 || (offset & 3)) {
            fault("streams write without the streams window open at " + hex(offset));
            return true;
        }
        if (!direct && offset >= 0x8000) {
            fault("banked streams write beyond the 32 KB window at " + hex(offset));
            return true;
        }
        const uint32_t reg = offset | 0x8000;
        if (reg < 0x8180 || reg > 0x81FC) {
            fault("write to unknown streams register " + hex(reg));
            return true;
        }
        const size_t i = (reg - 0x8180) / 4;
        if (clock_.now() >= latchAfter(streamsWritten_[i]))
            streamsBefore_[i] = streams_[i];
        streams_[i] = value;
        streamsWritten_[i] = clock_.now();
        streamsWrites_.push_back({reg, value, clock_.now(), inRetrace(), sinceRetraceStart()});
        return true;
    }
    return false;
}

int64_t S3Chip::framePeriodNs() const { return static_cast<int64_t>(1e9 / config_.refreshHz + 0.5); }

// Each frame is a display period followed by the retrace.
bool S3Chip::inRetrace() const {
    const int64_t period = framePeriodNs();
    const int64_t phase = clock_.now() % period;
    return phase >= period - static_cast<int64_t>(period * config_.retraceFraction);
}

int64_t S3Chip::sinceRetraceStart() const {
    const int64_t period = framePeriodNs();
    const int64_t retraceStart = period - static_cast<int64_t>(period * config_.retraceFraction);
    const int64_t phase = clock_.now() % period;
    return phase >= retraceStart ? phase - retraceStart : phase + period - retraceStart;
}

void S3Chip::advanceToRetraceStart() {
    const int64_t period = framePeriodNs();
    const int64_t retraceStart = period - static_cast<int64_t>(period * config_.retraceFraction);
    const int64_t phase = clock_.now() % period;
    clock_.advance(phase < retraceStart ? retraceStart - phase : period - phase + retraceStart);
}

void S3Chip::advanceToDisplay() {
    const int64_t period = framePeriodNs();
    const int64_t retraceStart = period - static_cast<int64_t>(period * config_.retraceFraction);
    const int64_t phase = clock_.now() % period;
    if (phase >= retraceStart)
        clock_.advance(period - phase + 1);
}

uint32_t S3Chip::crtcStartAddress() const {
    uint32_t a = crtc_[0x0C] << 8 | crtc_[0x0D];
    if (config_.oldStartAddress)
        a |= ((crtc_[0x31] >> 4) & 0x3) << 16 | (crtc_[0x51] & 0x3) << 18;
    else
        a |= (crtc_[0x69] & 0x0F) << 16;
    return a * 4;
}

void S3Chip::setPaletteEntry(uint8_t index, uint8_t red6, uint8_t green6, uint8_t blue6) {
    palette_[index] = {static_cast<uint8_t>(red6 & 0x3F), static_cast<uint8_t>(green6 & 0x3F),
                       static_cast<uint8_t>(blue6 & 0x3F)};
}

uint32_t S3Chip::streams(uint32_t reg) const {
    if (reg < 0x8180 || reg > 0x81FC)
        return 0;
    return streams_[(reg - 0x8180) / 4];
}

void S3Chip::holdStatusBits(uint16_t bits, int64_t ns) {
    heldBits_ = bits;
    heldUntil_ = clock_.now() + ns;
}

uint16_t S3Chip::status() const {
    uint16_t s = 0;
    const int64_t now = clock_.now();
    if (now < engine_.busyUntil)
        s |= 0x200;
    if (now < heldUntil_)
        s |= heldBits_;
    return s;
}

uint32_t S3Chip::readRegister(uint32_t reg, int bytes) {
    switch (reg) {
    case 0x3DA: {
        const bool retrace = inRetrace();
        if (retrace && retraceReadClear_)
            retraceStartsSeen_.push_back({clock_.now(), -1});
        retraceReadClear_ = !retrace;
        return retrace ? 0x08 : 0x00;
    }
    case 0x3D4:
        return crtcIndex_;
    case 0x3D5:
        return crtc_[crtcIndex_];
    case 0x3C9: {
        const uint8_t v = palette_[dacReadIndex_][dacComponent_];
        if (++dacComponent_ == 3) {
            dacComponent_ = 0;
            ++dacReadIndex_;
        }
        return v;
    }
    case 0x9AE8:
        ++statusReads_;
        return status();
    default:
        fault("read of unmodelled register " + hex(reg));
        return bytes == 1 ? 0xFF : 0xFFFF;
    }
}

void S3Chip::writeRegister(uint32_t reg, int bytes, uint32_t value) {
    registerWrites_.push_back({reg, bytes, value});
    if (reg == 0x3D4) {
        crtcIndex_ = static_cast<uint8_t>(value);
        if (bytes == 2) {
            crtc_[crtcIndex_] = static_cast<uint8_t>(value >> 8);
            crtcWrites_.push_back({crtcIndex_, static_cast<uint8_t>(value >> 8), inRetrace()});
        }
        return;
    }
    if (reg == 0x3D5) {
        crtc_[crtcIndex_] = static_cast<uint8_t>(value);
        crtcWrites_.push_back({crtcIndex_, static_cast<uint8_t>(value), inRetrace()});
        return;
    }
    if (reg == 0x3C7) {
        dacReadIndex_ = static_cast<uint8_t>(value);
        dacComponent_ = 0;
        return;
    }
    if (reg >= 0x8000) {
        if (bytes != 2)
            fault("byte write to engine register " + hex(reg));
        writeEngine(reg, static_cast<uint16_t>(value));
        return;
    }
    fault("write to unmodelled register " + hex(reg));
}

}  // namespace ddhal::sim
