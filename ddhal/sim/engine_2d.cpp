// The 2D engine of the model. It draws on video memory seen as a grid of screen pixels whose rows
// are one pitch long, pixel by pixel in the order the direction bits give, so a copy onto an
// overlapping area in the wrong direction smears exactly as the hardware would.
#include "ddhal/sim/s3_chip.h"

namespace ddhal::sim {

namespace {

constexpr uint16_t kCmdTypeMask = 0xE000;
constexpr uint16_t kCmdRectFill = 0x4000;
constexpr uint16_t kCmdBitBlt = 0xC000;
constexpr uint16_t kCmdDraw = 0x0010;
constexpr uint16_t kCmdIncreasingX = 0x0020;
constexpr uint16_t kCmdIncreasingY = 0x0080;

constexpr uint16_t kMixSourceMask = 0x60;
constexpr uint16_t kMixSourceForeground = 0x20;
constexpr uint16_t kMixSourceVideo = 0x60;
constexpr uint16_t kMixReplace = 0x07;

constexpr uint16_t kMiscCompare = 0x100;
constexpr uint16_t kMiscUpperWord = 0x10;  // 32-bit modes: colour registers take their high half

}  // namespace

void S3Chip::setColourHalf(uint32_t& colour, uint16_t value) const {
    if (config_.bitsPerPixel == 32 && (engine_.misc & kMiscUpperWord))
        colour = (colour & 0xFFFF) | static_cast<uint32_t>(value) << 16;
    else
        colour = (colour & 0xFFFF0000u) | value;
}

void S3Chip::writeEngine(uint32_t reg, uint16_t value) {
    Engine& e = engine_;
    switch (reg) {
    case 0x82E8: e.curY = value & 0xFFF; break;
    case 0x86E8: e.curX = value & 0xFFF; break;
    case 0x8AE8: e.destY = value & 0xFFF; break;
    case 0x8EE8: e.destX = value & 0xFFF; break;
    case 0x96E8: e.majorAxis = value & 0xFFF; break;
    case 0x9AE8: executeCommand(value); break;
    case 0xA6E8: setColourHalf(e.frgdColor, value); break;
    case 0xB2E8: setColourHalf(e.colorCmp, value); break;
    case 0xBAE8: e.frgdMix = value; break;
    case 0xBEE8:
        switch (value >> 12) {
        case 0x0: e.minorAxis = value & 0xFFF; break;
        case 0xA: e.pixelControl = value & 0xFFF; break;
        case 0xE: e.misc = value & 0xFFF; break;
        default: fault("unmodelled MULTIFUNC_CNTL sub-register"); break;
        }
        break;
    default:
        fault("write to unmodelled engine register");
        break;
    }
}

uint32_t S3Chip::pixelAt(int x, int y) const {
    const uint32_t bytes = config_.bitsPerPixel / 8;
    const size_t at = static_cast<size_t>(y) * config_.pitch + static_cast<size_t>(x) * bytes;
    if (at + bytes > vram_.size())
        return 0;
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(vram_[at + i]) << (8 * i);
    return v;
}

void S3Chip::putPixel(int x, int y, uint32_t value) {
    const uint32_t bytes = config_.bitsPerPixel / 8;
    const size_t at = static_cast<size_t>(y) * config_.pitch + static_cast<size_t>(x) * bytes;
    if (at + bytes > vram_.size()) {
        fault("engine drew past the end of video memory");
        return;
    }
    for (uint32_t i = 0; i < bytes; ++i)
        vram_[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void S3Chip::executeCommand(uint16_t command) {
    Engine& e = engine_;
    if (!(command & kCmdDraw))
        return;
    const int width = e.majorAxis + 1;
    const int height = e.minorAxis + 1;
    const bool incX = command & kCmdIncreasingX;
    const bool incY = command & kCmdIncreasingY;
    const int stepX = incX ? 1 : -1;
    const int stepY = incY ? 1 : -1;
    if ((e.frgdMix & 0x0F) != kMixReplace)
        fault("unmodelled mix");
    // Colours are as wide as a screen pixel; 32-bit modes load the high half separately.
    const uint32_t mask = config_.bitsPerPixel >= 32 ? 0xFFFFFFFF : (1u << config_.bitsPerPixel) - 1;

    const uint16_t type = command & kCmdTypeMask;
    if (type == kCmdRectFill) {
        if ((e.frgdMix & kMixSourceMask) != kMixSourceForeground)
            fault("fill without the foreground colour as source");
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i)
                putPixel(e.curX + i * stepX, e.curY + j * stepY, e.frgdColor & mask);
        engineOps_.push_back({EngineOp::Fill, e.curX, e.curY, e.curX, e.curY, width, height, incX, incY, false,
                              e.frgdColor});
    } else if (type == kCmdBitBlt) {
        if ((e.frgdMix & kMixSourceMask) != kMixSourceVideo)
            fault("copy without video memory as source");
        const bool compare = (e.misc & kMiscCompare) != 0;
        for (int j = 0; j < height; ++j) {
            for (int i = 0; i < width; ++i) {
                const uint32_t p = pixelAt(e.curX + i * stepX, e.curY + j * stepY);
                // Colour compare: source pixels of the compare colour are left out.
                if (compare && p == (e.colorCmp & mask))
                    continue;
                putPixel(e.destX + i * stepX, e.destY + j * stepY, p);
            }
        }
        engineOps_.push_back({EngineOp::Copy, e.curX, e.curY, e.destX, e.destY, width, height, incX, incY, compare,
                              e.colorCmp});
    } else {
        fault("unmodelled engine command");
        return;
    }
    e.busyUntil = clock_.now() + config_.engineNsPerPixel * width * height;
}

}  // namespace ddhal::sim
