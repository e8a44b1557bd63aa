// What a host process controls in libdekla_win95, the stand-in for the Windows
// 95 services the cleaner calls: the hive behind the registry calls and the
// byte the board's presence port answers with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "dekla/hive.h"

#define DEKLA_HOST_API __attribute__((visibility("default")))

namespace dekla {

// Installs the hive the registry calls work on. Every open handle is closed.
DEKLA_HOST_API void setHostHive(Hive hive);
DEKLA_HOST_API Hive& hostHive();
// Handles opened or created and not yet closed (predefined keys do not count).
DEKLA_HOST_API std::size_t openKeyCount();

// With a byte, every port read answers it; without, ports are read from the hardware.
DEKLA_HOST_API void supplyPortByte(std::optional<uint8_t> byte);
// Why the last port read failed; empty when it succeeded.
DEKLA_HOST_API std::string lastPortError();

}  // namespace dekla
