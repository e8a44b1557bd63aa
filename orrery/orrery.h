// The capture-device library's one entry point and the values that cross it.
//
// OrreryEntry(request, a1, a2, a3, a4) serves every request of the table below.
// Arguments and the result are pointer-sized so that pointers and global
// memory handles travel in them. A status uses only the low 16 bits:
// 0 success, 0xFEFC out of memory, anything else a communication failure.
// Pictures and picture blocks come back as global memory blocks
// (gmem/global_memory.h); the receiver frees them.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum OrreryRequest {
    ORRERY_VERSION = 0,           // -> 258
    ORRERY_VIDEO_CAPTURE = 2,     // a1 parent QWidget* (0: no dialog) -> packed DIB or 0
    ORRERY_SCAN = 3,              // a1 parent QWidget* (0: no dialog) -> packed DIB or 0
    ORRERY_CALIBRATE = 5,         // a1 parent QWidget*
    ORRERY_INIT_BOARDS = 9,       // -> non-zero when a device can answer
    ORRERY_CAPABILITIES = 11,     // -> bit 4 camera, bit 8 calibration
    ORRERY_OPEN_LINK = 12,        // a1 receive timeout ms, a2 send timeout ms, a3 gamma flag
    ORRERY_CLOSE_LINK = 13,       // a1 quit kind: 2 power off, 1 leave on, 0 between shots
    ORRERY_SELECT_MODE = 14,      // a1 128 before writing, 64 before reading
    ORRERY_SET_SPEED = 15,        // a1 speed index 0..5
    ORRERY_FRAME_COUNT = 16,      // -> 0..96, negative on failure
    ORRERY_SHOW_FRAME = 17,       // a1 frame
    ORRERY_COPY_FRAME = 18,       // a1 frame, a2 destination (0xFFFF after the last)
    ORRERY_MOVE_FRAME = 19,       // a1 from, a2 to (the frame goes in front of "to")
    ORRERY_SHUTTER = 20,          // -> 6 taken, 21 refused, else a status
    ORRERY_READ_THUMBNAIL = 21,   // a1 frame, a2 GlobalHandle* out DIB, a3 callback
    ORRERY_READ_BLOCK = 22,       // a1 frame | fine << 16, a2 GlobalHandle* out, a3 uint16_t* size, a4 callback
    ORRERY_WRITE_BLOCK = 23,      // a1 destination (-1 after the last), a2 block, a3 size, a4 callback
    ORRERY_DECODE_STANDARD = 24,  // a1 GlobalHandle* out DIB, a2 block, a3 size
    ORRERY_ENCODE_STANDARD = 25,  // a1 packed 640x480 24-bit DIB, a2 GlobalHandle* out, a3 uint32_t* size
    ORRERY_DELETE_FRAMES = 27,    // a1 const uint8_t* ascending frames ended by 255
    ORRERY_ERASE_ALL = 28,
    ORRERY_CAMERA_STATE = 29,     // -> high byte 0xFF failure; bit 0x40 not in record mode
    ORRERY_FINE_CAPABLE = 30,     // -> non-zero when the camera takes fine pictures
    ORRERY_PICTURE_KIND = 32,     // a1 frame -> bit 1 protected, bit 2 fine
    ORRERY_SHOOTING_CHECK = 33,   // -> bit 15 failure; else frames still free
    ORRERY_DECODE_FINE = 34,
    ORRERY_ENCODE_FINE = 35,
    // Our own addition for tools: a1 char* buffer, a2 its size. Fills a
    // line per backend ("camera: ...", "scanner: ...", "video: ...") saying
    // what the settings choose and whether it answers; returns the length.
    ORRERY_DESCRIBE = 0x100,
};

enum OrreryStatus {
    ORRERY_OK = 0,
    ORRERY_NO_MEMORY = 0xFEFC,
    ORRERY_BUSY = 0xFFF3,           // a request is already running on this thread (a call from a callback)
    ORRERY_NO_DEVICE = 0xFFF4,      // nothing configured answers, or the port cannot be opened
    ORRERY_INTERNAL = 0xFFF5,       // the library failed inside (a caught fault, not the device)
    ORRERY_BAD_DATA = 0xFFF7,       // a block or picture that cannot be decoded
    ORRERY_UNSUPPORTED = 0xFFF8,    // the device has no way to do this
    ORRERY_REFUSED = 0xFFF9,        // the device said no (protected frame, memory full, PLAY switch)
    ORRERY_BAD_ARGUMENT = 0xFFFA,
    ORRERY_NOT_OPEN = 0xFFFB,       // no camera link
    ORRERY_CANCELLED = 0xFFFC,      // the callback gave up on a progress report
    ORRERY_LINE_FRAMING = 0xFFFD,   // line error: lost start byte, bad length, stray byte
    ORRERY_LINE_CHECKSUM = 0xFFFE,  // line error: checksum mismatch or NAK
    ORRERY_TIMEOUT = 0xFFFF,
};

// Answers of a transfer callback.
enum OrreryAnswer {
    ORRERY_GO_ON = 1,
    ORRERY_GIVE_UP = 2,
    ORRERY_RETRY = 4,
};

// Called during requests 21, 22 and 23 with the current 128-byte block as
// position and a status: a progress status (21: the block count, always below
// 0x800; 22: the block count, below 0x8000; 23: 0) or a line error
// 0xFFFD / 0xFFFE / 0xFFFF.
typedef intptr_t (*OrreryCallback)(intptr_t position, intptr_t status);

// Re-entry: a call made on the thread whose request is still running (from
// a transfer callback or a dialog of the library) answers at once: version
// and capabilities as usual, request 17 is queued and carried out when the
// running request ends, every other request fails with ORRERY_BUSY (in the
// request's failure form: negative for 16 and 20, 0 for a picture).
// Calls from other threads wait for the running request.
intptr_t OrreryEntry(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4);

#ifdef __cplusplus
}
#endif
