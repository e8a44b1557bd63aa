// libFuzzer target for the QV-10 line: the input is what the camera sends
// after a download command (packets with lengths, terminators and
// checksums, stray bytes, silence at the end), read by the host's link.
#include "orrery/qv10/link.h"

#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 60000) return 0;  // stays within the socket's buffer
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return 0;
    const int bigBuffer = 1 << 20;
    setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &bigBuffer, sizeof bigBuffer);
    setsockopt(ends[0], SOL_SOCKET, SO_SNDBUF, &bigBuffer, sizeof bigBuffer);
    size_t at = 0;
    while (at < size) {
        const ssize_t n = write(ends[1], data + at, size - at);
        if (n <= 0) break;
        at += size_t(n);
    }
    shutdown(ends[1], SHUT_WR);  // then the line is quiet for good
    {
        orrery::qv::SerialLine line(ends[0]);
        orrery::qv::Link link(line, 5, 5);
        std::vector<uint8_t> out;
        orrery::TransferWatch watch;  // the default policy answers line errors
        link.receiveData(out, watch);
        if (out.size() > size) __builtin_trap();  // nothing made up
    }
    close(ends[1]);
    return 0;
}
