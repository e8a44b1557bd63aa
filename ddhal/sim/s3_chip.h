// A model of the S3 765 as far as Vortal32 drives it: video memory, the 64 KB memory-mapped register
// window and the streams window, the aperture control port with its banking bits, the VGA registers
// the driver touches (CRTC, DAC read-back, input status with a vertical retrace on the model's
// clock), the 2D engine (rectangle fills, screen-to-screen copies either way, colour-compare copies)
// with its busy and FIFO status bits, and the streams processor registers with the time of every
// write. Misuse that real hardware would punish (an access through a closed or wrong window half, a
// port change with interrupts enabled) is counted as a fault.
#pragma once

#include "ddhal/sim/virtual_clock.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ddhal::sim {

struct ChipConfig {
    size_t videoMemoryBytes = 4u << 20;
    double refreshHz = 60.0;
    double retraceFraction = 0.05;   // part of each frame spent in vertical retrace
    uint16_t controlPort = 0x54E8;   // 0: no candidate port answers
    uint8_t controlPortValue = 0x08; // bits 2 and 3 both set (0x0C) makes the whole window reachable
    bool streamsOn = false;          // CR67 bits 2 and 3
    bool oldStartAddress = false;    // display start extension in CR31/CR51 rather than CR69
    uint32_t fifoControl = 0x00010000; // streams register 0x81EC at power-up
    uint32_t width = 640;
    uint32_t height = 480;
    uint32_t bitsPerPixel = 8;       // 8: palette, 16: 5-6-5, 32: 8-8-8
    uint32_t pitch = 640;            // bytes per row of the engine's grid and of the screen
    VirtualClock::Mode clockMode = VirtualClock::Mode::Virtual;
    int64_t accessStepNs = 1000;
    int64_t engineNsPerPixel = 0;    // how long the engine stays busy after a command
};

struct PortWrite {
    uint16_t port;
    uint8_t value;
    bool interruptsDisabled;
};

struct RegisterWrite {
    uint32_t reg;  // I/O port number of the register (offset in the whole 64 KB window)
    int bytes;
    uint32_t value;
};

struct StreamsWrite {
    uint32_t reg;
    uint32_t value;
    int64_t time;
    bool inRetrace;
    int64_t sinceRetraceStart;  // ns since the latest retrace began
};

// A read of the input status register that found a retrace begun since the read before.
struct RetraceStartSeen {
    int64_t time;
    int64_t nextAccess;  // time of the next access to the chip, -1 while there is none
};

struct CrtcWrite {
    uint8_t index;
    uint8_t value;
    bool inRetrace;
};

struct EngineOp {
    enum Kind { Fill, Copy } kind;
    int srcX, srcY, dstX, dstY;
    int width, height;
    bool increasingX, increasingY;
    bool colourCompare;
    uint32_t colour;  // fill colour, or the compare colour of a keyed copy
};

class S3Chip {
public:
    explicit S3Chip(const ChipConfig& config);

    const ChipConfig& config() const { return config_; }
    VirtualClock& clock() { return clock_; }

    // Memory the host maps for the driver.
    uint8_t* videoMemory() { return vram_.data(); }
    const uint8_t* videoMemory() const { return vram_.data(); }
    size_t videoMemorySize() const { return vram_.size(); }
    uint8_t* registerWindow() { return registerWindow_.data(); }
    uint8_t* streamsWindow() { return streamsWindow_.data(); }

    // Host entry points.
    uint8_t portIn(uint16_t port);
    void portOut(uint16_t port, uint8_t value);
    void setInterruptsDisabled(bool disabled);
    bool interruptsDisabled() const { return interruptsDisabled_; }
    bool deviceRead(const volatile void* address, int bytes, uint32_t* value);
    bool deviceWrite(volatile void* address, int bytes, uint32_t value);

    // Retrace timing on the model's clock.
    int64_t framePeriodNs() const;
    bool inRetrace() const;
    int64_t sinceRetraceStart() const;  // ns since the latest retrace began (may be in the display period)
    void advanceToRetraceStart();       // to the first moment of the next retrace
    void advanceToDisplay();            // to just after the end of the current or next retrace
    void advance(int64_t ns) { clock_.advance(ns); }

    // What tests and the demo look at or arrange.
    uint8_t crtc(uint8_t index) const { return crtc_[index]; }
    void setCrtc(uint8_t index, uint8_t value) { crtc_[index] = value; }
    uint32_t crtcStartAddress() const;  // bytes into video memory
    uint8_t controlPortValue() const { return controlPortValue_; }
    void setPaletteEntry(uint8_t index, uint8_t red6, uint8_t green6, uint8_t blue6);
    std::array<uint8_t, 3> paletteEntry(uint8_t index) const { return palette_[index]; }
    uint32_t streams(uint32_t reg) const;  // as last written
    // As the streams processor uses it now: its registers are latched at the start of each frame
    // (the end of the vertical retrace), so a write shows from the next frame on.
    uint32_t shownStreams(uint32_t reg) const;
    void holdStatusBits(uint16_t bits, int64_t ns);  // FIFO or busy bits read as set for a while
    uint16_t status() const;

    const std::vector<PortWrite>& portWrites() const { return portWrites_; }
    const std::vector<RegisterWrite>& registerWrites() const { return registerWrites_; }
    const std::vector<StreamsWrite>& streamsWrites() const { return streamsWrites_; }
    const std::vector<CrtcWrite>& crtcWrites() const { return crtcWrites_; }
    const std::vector<EngineOp>& engineOps() const { return engineOps_; }
    const std::vector<RetraceStartSeen>& retraceStartsSeen() const { return retraceStartsSeen_; }
    const std::vector<std::string>& faults() const { return faults_; }
    uint64_t statusReads() const { return statusReads_; }
    void clearLogs();

private:
    void fault(const std::string& what);
    void access();  // every access through a port or a window
    int64_t latchAfter(int64_t time) const;  // start of the first frame after `time`
    bool registerOffset(size_t windowOffset, uint32_t* reg);
    uint32_t readRegister(uint32_t reg, int bytes);
    void writeRegister(uint32_t reg, int bytes, uint32_t value);
    void writeEngine(uint32_t reg, uint16_t value);
    void setColourHalf(uint32_t& colour, uint16_t value) const;
    void executeCommand(uint16_t command);
    uint32_t pixelAt(int x, int y) const;
    void putPixel(int x, int y, uint32_t value);

    ChipConfig config_;
    VirtualClock clock_;
    std::vector<uint8_t> vram_;
    std::vector<uint8_t> registerWindow_;
    std::vector<uint8_t> streamsWindow_;

    uint8_t controlPortValue_;
    bool interruptsDisabled_ = false;

    std::array<uint8_t, 256> crtc_{};
    uint8_t crtcIndex_ = 0;
    std::array<std::array<uint8_t, 3>, 256> palette_{};
    uint8_t dacReadIndex_ = 0;
    int dacComponent_ = 0;

    struct Engine {
        uint16_t curX = 0, curY = 0, destX = 0, destY = 0;
        uint16_t majorAxis = 0, minorAxis = 0;
        uint16_t pixelControl = 0, misc = 0;
        uint32_t frgdColor = 0, colorCmp = 0;
        uint16_t frgdMix = 0;
        int64_t busyUntil = 0;
    } engine_;
    uint16_t heldBits_ = 0;
    int64_t heldUntil_ = 0;

    std::array<uint32_t, 32> streams_{};
    std::array<uint32_t, 32> streamsBefore_{};  // the value shown until the latest write is latched
    std::array<int64_t, 32> streamsWritten_{};   // time of the latest write

    std::vector<PortWrite> portWrites_;
    std::vector<RegisterWrite> registerWrites_;
    std::vector<StreamsWrite> streamsWrites_;
    std::vector<CrtcWrite> crtcWrites_;
    std::vector<EngineOp> engineOps_;
    std::vector<RetraceStartSeen> retraceStartsSeen_;
    bool retraceReadClear_ = false;
    std::vector<std::string> faults_;
    uint64_t statusReads_ = 0;
};

}  // namespace ddhal::sim
