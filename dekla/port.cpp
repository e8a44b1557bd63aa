#include "dekla/port.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "dekla/host.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#include <sys/io.h>
#define DEKLA_HAVE_PORTS 1
#endif

namespace dekla {
namespace {

struct PortState {
  std::mutex mutex;
  std::optional<uint8_t> supplied;
  std::string error;
};

PortState& portState() {
  static PortState state;
  return state;
}

}  // namespace

void supplyPortByte(std::optional<uint8_t> byte) {
  PortState& s = portState();
  std::lock_guard lock(s.mutex);
  s.supplied = byte;
}

std::string lastPortError() {
  PortState& s = portState();
  std::lock_guard lock(s.mutex);
  return s.error;
}

}  // namespace dekla

extern "C" int ReadPortByte(uint16_t port, uint8_t* value) {
  dekla::PortState& s = dekla::portState();
  std::lock_guard lock(s.mutex);
  s.error.clear();
  if (s.supplied) {
    *value = *s.supplied;
    return 1;
  }
  char message[160];
#ifdef DEKLA_HAVE_PORTS
  // ioperm grants this process the one port; it needs root (CAP_SYS_RAWIO).
  if (ioperm(port, 1, 1) == 0) {
    *value = inb(port);
    ioperm(port, 1, 0);
    return 1;
  }
  const int fault = errno;
  std::snprintf(message, sizeof message, "cannot read I/O port 0x%04X: %s%s", port, std::strerror(fault),
                fault == EPERM ? " (direct port access needs root)" : "");
#else
  std::snprintf(message, sizeof message, "cannot read I/O port 0x%04X: no port access on this system", port);
#endif
  s.error = message;
  return 0;
}
