#include "orrery/qv10/serial_line.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace orrery::qv {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : int(left);
}

speed_t speedConstant(int baud) {
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return 0;
    }
}

// Unix98 pseudo-terminal slaves have majors 136..143.
bool isPty(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    unsigned major = ::major(st.st_rdev);
    return (major >= 136 && major <= 143) || major == 5;
}

}  // namespace

SerialLine::SerialLine(int fd) : fd_(fd), pty_(fd >= 0 && isPty(fd)) {}

SerialLine::~SerialLine() {
    if (fd_ >= 0) ::close(fd_);
}

SerialLine* SerialLine::open(const std::string& path, std::string& errorText) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        errorText = path + ": " + std::strerror(errno);
        return nullptr;
    }
    termios tio {};
    if (tcgetattr(fd, &tio) != 0) {
        errorText = path + ": not a serial port";
        ::close(fd);
        return nullptr;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        errorText = path + ": cannot set 9600 8N1";
        ::close(fd);
        return nullptr;
    }
    auto* line = new SerialLine(fd);
    if (!line->holdModemLines()) {
        errorText = path + ": cannot set DTR/RTS";
        delete line;
        return nullptr;
    }
    tcflush(fd, TCIOFLUSH);
    return line;
}

bool SerialLine::holdModemLines() {
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    bool ok = ioctl(fd_, TIOCMBIS, &dtr) == 0 && ioctl(fd_, TIOCMBIC, &rts) == 0;
    if (!ok && (errno == ENOTTY || errno == EINVAL) && pty_) return true;
    return ok;
}

bool SerialLine::setBaud(int baud) {
    speed_t speed = speedConstant(baud);
    termios tio {};
    if (speed == 0 || tcgetattr(fd_, &tio) != 0) return false;
    tcdrain(fd_);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return false;
    // Some systems drop the modem lines on a speed change.
    return holdModemLines();
}

bool SerialLine::write(std::span<const uint8_t> bytes, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd pfd{fd_, POLLOUT, 0};
        int left = remainingMs(deadline);
        if (left == 0) return false;
        if (poll(&pfd, 1, left) < 0 && errno != EINTR) return false;
    }
    return true;
}

int SerialLine::readByte(int timeoutMs) {
    if (head_ < tail_) return buffer_[head_++];
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ssize_t n = ::read(fd_, buffer_, sizeof buffer_);
        if (n > 0) {
            head_ = 1;
            tail_ = size_t(n);
            return buffer_[0];
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return kBroken;
        int left = remainingMs(deadline);
        if (left == 0) return kTimedOut;
        pollfd pfd[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
        int r = poll(pfd, wake_ >= 0 ? 2 : 1, left);
        if (r < 0 && errno != EINTR) return kBroken;
        if (r > 0 && wake_ >= 0 && (pfd[1].revents & POLLIN)) return kBroken;
        // A hung-up pty master reports POLLHUP without data.
        if (r > 0 && (pfd[0].revents & (POLLHUP | POLLERR)) && !(pfd[0].revents & POLLIN)) return kBroken;
    }
}

void SerialLine::drain(int quietMs) {
    head_ = tail_ = 0;
    while (readByte(quietMs) >= 0) {
    }
}

void SerialLine::discardInput() {
    head_ = tail_ = 0;
    tcflush(fd_, TCIFLUSH);
}

}  // namespace orrery::qv
