#include "ddhal/register_access.h"

#include "ddhal/driver_state.h"
#include "ddhal/platform/platform.h"

namespace ddhal {

namespace {

using namespace platform;

// Aperture control port bits: 2 and 3 select the half of the register window (both set: the whole
// window at once); 5 and 7 open the streams window.
void andOrControlPort(uint8_t andMask, uint8_t orMask) {
    const uint16_t port = gShared.controlPort;
    outp(port, static_cast<uint8_t>((inp(port) & andMask) | orMask));
}

// Banks the half holding reg into the window and returns its address there. Interrupts stay off
// until leaveBank(), so nothing else runs with the aperture half switched.
volatile uint8_t* enterBank(uint32_t reg) {
    disableInterrupts();
    if (reg < 0x8000) {
        andOrControlPort(0xF3, 0x00);
    } else {
        reg &= ~0x8000u;
        andOrControlPort(0xF7, 0x04);
    }
    return gShared.registerWindow + reg;
}

void leaveBank() {
    andOrControlPort(0xFB, 0x08);
    enableInterrupts();
}

template <typename T>
void writeRegister(uint32_t reg, T value) {
    if (gShared.directMode) {
        if constexpr (sizeof(T) == 1)
            mmioWrite8(gShared.registerWindow + reg, value);
        else
            mmioWrite16(gShared.registerWindow + reg, value);
        return;
    }
    volatile uint8_t* at = enterBank(reg);
    if constexpr (sizeof(T) == 1)
        mmioWrite8(at, value);
    else
        mmioWrite16(at, value);
    leaveBank();
}

template <typename T>
T readRegister(uint32_t reg) {
    if (gShared.directMode) {
        if constexpr (sizeof(T) == 1)
            return mmioRead8(gShared.registerWindow + reg);
        else
            return mmioRead16(gShared.registerWindow + reg);
    }
    volatile uint8_t* at = enterBank(reg);
    T value;
    if constexpr (sizeof(T) == 1)
        value = mmioRead8(at);
    else
        value = mmioRead16(at);
    leaveBank();
    return value;
}

volatile uint8_t* streamsAddress(uint32_t reg) {
    if (!gShared.directMode)
        reg &= ~0x8000u;
    return gShared.streamsWindow + (reg & ~3u);
}

}  // namespace

void writeRegister8(uint32_t reg, uint8_t value) { writeRegister<uint8_t>(reg, value); }
void writeRegister16(uint32_t reg, uint16_t value) { writeRegister<uint16_t>(reg, value); }
uint8_t readRegister8(uint32_t reg) { return readRegister<uint8_t>(reg); }
uint16_t readRegister16(uint32_t reg) { return readRegister<uint16_t>(reg); }

void writeStreams(uint32_t reg, uint32_t value) {
    volatile uint8_t* at = streamsAddress(reg);
    disableInterrupts();
    andOrControlPort(0xFF, 0xA0);
    mmioWrite32(at, value);
    andOrControlPort(0x5F, 0x00);
    enableInterrupts();
}

uint32_t readStreams(uint32_t reg) {
    volatile uint8_t* at = streamsAddress(reg);
    disableInterrupts();
    andOrControlPort(0xFF, 0xA0);
    const uint32_t value = mmioRead32(at);
    andOrControlPort(0x5F, 0x00);
    enableInterrupts();
    return value;
}

uint8_t readCrtc(uint8_t index) {
    writeRegister8(kCrtcIndex, index);
    return readRegister8(kCrtcData);
}

void writeCrtc(uint8_t index, uint8_t value) {
    writeRegister16(kCrtcIndex, static_cast<uint16_t>(index | (value << 8)));
}

bool inRetrace() { return (readRegister8(kInputStatus) & kRetraceBit) != 0; }

void waitRetraceStart() {
    while (inRetrace()) {
    }
    while (!inRetrace()) {
    }
}

void waitStatusClear(uint16_t bit) {
    while (readRegister16(kGpStatCmd) & bit) {
    }
}

void waitEngineIdle() { waitStatusClear(kStatusBusy); }

bool streamsProcessorOn() { return (readCrtc(0x67) & 0x0C) == 0x0C; }

}  // namespace ddhal
