// A byte stream over a serial port or a pseudo-terminal, with time-outs.
// The driver opens a port by path (8N1, raw, no flow control); the virtual
// camera wraps the master side of its pseudo-terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orrery::qv {

class SerialLine {
public:
    enum : int { kTimedOut = -1, kBroken = -2 };

    // Takes ownership of fd.
    explicit SerialLine(int fd);
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Opens a port at 9600 8N1, raw, no flow control. Returns nullptr-like
    // line (fd < 0) on failure; errorText says why.
    static SerialLine* open(const std::string& path, std::string& errorText);

    // The cable's level converter draws power from DTR (held on) and needs
    // RTS off. A pseudo-terminal has no modem lines: that is not an error.
    bool holdModemLines();
    bool setBaud(int baud);

    bool write(std::span<const uint8_t> bytes, int timeoutMs);
    bool writeByte(uint8_t byte, int timeoutMs) { return write({&byte, 1}, timeoutMs); }
    // One byte, or kTimedOut / kBroken.
    int readByte(int timeoutMs);
    // Discards input until the line has been quiet for quietMs.
    void drain(int quietMs);
    void discardInput();

    // A readable wakeFd makes a waiting read return kBroken (used to stop a thread).
    void setWakeFd(int wakeFd) { wake_ = wakeFd; }

    int fd() const { return fd_; }
    bool isPseudoTerminal() const { return pty_; }

private:
    int fd_;
    int wake_ = -1;
    bool pty_ = false;
    uint8_t buffer_[512];
    size_t head_ = 0, tail_ = 0;
};

}  // namespace orrery::qv
