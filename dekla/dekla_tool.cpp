// dekla-tool [--board-present | --board-absent] IN.reg OUT.reg
//
// Runs DelDisplay over a registry export instead of the live registry: loads
// IN into the hive, calls the export of libDekla.so the way a setup program
// would (loaded at run time, found beside this program), and writes the hive
// to OUT. Without a flag the presence port is read from the hardware.
//
// Exit status: 0 done (the result is printed), 1 the library, the port or the
// output failed, 2 bad arguments or an unreadable or malformed IN. Nothing is
// written unless DelDisplay ran.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "dekla/host.h"
#include "dekla/regedit4.h"

namespace {

// The export uses the standard (callee pops) convention where that differs.
#if defined(__i386__)
using DelDisplayFn = uint32_t(__attribute__((stdcall)) *)(uint32_t, uint32_t, uint32_t);
#else
using DelDisplayFn = uint32_t (*)(uint32_t, uint32_t, uint32_t);
#endif

int usage() {
  std::fprintf(stderr, "usage: dekla-tool [--board-present | --board-absent] IN.reg OUT.reg\n");
  return 2;
}

std::string libraryBesideProgram() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "libDekla.so";  // the program's $ORIGIN run path finds it
  std::string exe(path, static_cast<std::size_t>(n));
  return exe.substr(0, exe.rfind('/') + 1) + "libDekla.so";
}

bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return !in.bad();
}

// Writes beside the target and renames, so a failed write leaves OUT as it was.
bool writeFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush()) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int arg = 1;
  if (arg < argc && std::string(argv[arg]) == "--board-present") {
    dekla::supplyPortByte(0x14);
    ++arg;
  } else if (arg < argc && std::string(argv[arg]) == "--board-absent") {
    dekla::supplyPortByte(0x00);
    ++arg;
  }
  if (argc - arg != 2 || argv[arg][0] == '-') return usage();
  const std::string inPath = argv[arg], outPath = argv[arg + 1];

  std::string text;
  if (!readFile(inPath, text)) {
    std::fprintf(stderr, "dekla-tool: %s: cannot read the file\n", inPath.c_str());
    return 2;
  }
  dekla::Hive hive;
  dekla::ParseError error;
  if (!dekla::readRegedit4(text, hive, error)) {
    std::fprintf(stderr, "dekla-tool: %s:%d: %s\n", inPath.c_str(), error.line, error.message.c_str());
    return 2;
  }
  dekla::setHostHive(std::move(hive));

  const std::string library = libraryBesideProgram();
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "dekla-tool: cannot load %s: %s\n", library.c_str(), dlerror());
    return 1;
  }
  auto delDisplay = reinterpret_cast<DelDisplayFn>(dlsym(handle, "DelDisplay"));
  if (!delDisplay) {
    std::fprintf(stderr, "dekla-tool: %s has no DelDisplay export\n", library.c_str());
    dlclose(handle);
    return 1;
  }
  const uint32_t result = delDisplay(0, 0, 0);
  dlclose(handle);

  // Without the port the board counts as absent; say so rather than pass that off as a result.
  if (const std::string portError = dekla::lastPortError(); !portError.empty()) {
    std::fprintf(stderr, "dekla-tool: %s; use --board-present or --board-absent\n", portError.c_str());
    return 1;
  }
  if (!writeFile(outPath, dekla::writeRegedit4(dekla::hostHive()))) {
    std::fprintf(stderr, "dekla-tool: %s: cannot write the file\n", outPath.c_str());
    return 1;
  }
  std::printf("DelDisplay: %u\n", result);
  return 0;
}
