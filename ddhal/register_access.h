// Reaching the S3 765's registers. Every register access of the driver goes through here, so the
// banking of the 64 KB window in two halves and the streams-window enable happen in one place.
#pragma once

#include <cstdint>

namespace ddhal {

// VGA registers inside the register window (offset = I/O port number).
constexpr uint32_t kDacReadIndex = 0x3C7;
constexpr uint32_t kDacData = 0x3C9;
constexpr uint32_t kCrtcIndex = 0x3D4;
constexpr uint32_t kCrtcData = 0x3D5;
constexpr uint32_t kInputStatus = 0x3DA;
constexpr uint8_t kRetraceBit = 0x08;

// 2D engine registers.
constexpr uint32_t kCurY = 0x82E8;
constexpr uint32_t kCurX = 0x86E8;
constexpr uint32_t kDestYAxStp = 0x8AE8;
constexpr uint32_t kDestXDiaStp = 0x8EE8;
constexpr uint32_t kMajAxisPcnt = 0x96E8;
constexpr uint32_t kGpStatCmd = 0x9AE8;
constexpr uint32_t kFrgdColor = 0xA6E8;
constexpr uint32_t kColorCmp = 0xB2E8;
constexpr uint32_t kFrgdMix = 0xBAE8;
constexpr uint32_t kMultifuncCntl = 0xBEE8;

constexpr uint16_t kStatusBusy = 0x200;
constexpr uint16_t kStatusFifo800 = 0x800;
constexpr uint16_t kStatusFifo4000 = 0x4000;
constexpr uint16_t kStatusFifo8000 = 0x8000;

void writeRegister8(uint32_t reg, uint8_t value);
void writeRegister16(uint32_t reg, uint16_t value);
uint8_t readRegister8(uint32_t reg);
uint16_t readRegister16(uint32_t reg);
void writeStreams(uint32_t reg, uint32_t value);
uint32_t readStreams(uint32_t reg);

// CRTC helpers over the operations above: index to 0x3D4, data through 0x3D5.
uint8_t readCrtc(uint8_t index);
void writeCrtc(uint8_t index, uint8_t value);  // one word write to 0x3D4

bool inRetrace();
void waitRetraceStart();          // wait out any retrace in progress, then for the next to begin
void waitEngineIdle();
void waitStatusClear(uint16_t bit);
bool streamsProcessorOn();        // CR67 bits 2 and 3 both set

}  // namespace ddhal
