// dekla-tool [--board-present | --board-absent] [--full] [--code-page 932|1252] IN.reg OUT.reg
//
// Runs DelDisplay over a registry export instead of the live registry: loads
// IN into the hive, calls the export of libDekla.so the way a setup program
// would (loaded at run time, found beside this program), prints each display
// adapter it removed or disabled and then its result, and writes OUT: a
// REGEDIT4 script holding only the changes, which the registry editor of the
// machine the export came from can import; with --full the whole cleaned
// registry instead. Without a board flag the presence port is read from the
// hardware.
//
// Exit status: 0 done (the result is printed), 1 the library, the port or the
// output failed, 2 bad arguments or an unreadable or malformed IN. Nothing is
// written unless DelDisplay ran.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dekla/host.h"
#include "dekla/regedit4.h"

namespace {

// The export uses the standard (callee pops) convention where that differs.
#if defined(__i386__)
using DelDisplayFn = uint32_t(__attribute__((stdcall)) *)(uint32_t, uint32_t, uint32_t);
#else
using DelDisplayFn = uint32_t (*)(uint32_t, uint32_t, uint32_t);
#endif

const char kUsage[] =
    "usage: dekla-tool [--board-present | --board-absent] [--full] [--code-page 932|1252] IN.reg OUT.reg\n"
    "Runs DelDisplay over the registry export IN.reg, lists each display adapter it removed or\n"
    "disabled, prints its result and writes OUT.reg.\n"
    "  --board-present    answer the presence port as a board would (0x14)\n"
    "  --board-absent     answer the presence port as without a board\n"
    "                     (without either, the port is read from the hardware)\n"
    "  --full             write the whole cleaned registry, not only the changes\n"
    "  --code-page N      the export's code page: 932 Shift-JIS (default) or 1252 single-byte\n"
    "  --help             this text\n"
    "OUT.reg is by default a REGEDIT4 script of the changes: [-KEY] for each removed adapter and\n"
    "the CSConfigFlags of each disabled one, in the export's code page, for the registry editor.\n"
    "Exit status: 0 done, 1 the library, the port or OUT failed, 2 bad arguments or input.\n";

int usage() {
  std::fputs(kUsage, stderr);
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
// An existing OUT keeps its mode, a symbolic link is followed, and a read-only
// OUT is refused rather than replaced.
bool writeFile(const std::string& requested, const std::string& text) {
  std::string path = requested;
  mode_t mode = 0644;
  struct stat st{};
  if (stat(requested.c_str(), &st) == 0) {
    if (!(st.st_mode & 0222) || access(requested.c_str(), W_OK) != 0) return false;
    mode = st.st_mode & 07777;
    if (char* real = realpath(requested.c_str(), nullptr)) {
      path = real;
      std::free(real);
    }
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = fchmod(fd, mode) == 0;
  for (std::size_t done = 0; ok && done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = fsync(fd) == 0 && ok;
  ok = close(fd) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

std::string stringOf(const std::vector<uint8_t>& data) {
  std::string s(data.begin(), data.end());
  while (!s.empty() && s.back() == '\0') s.pop_back();
  return s;
}

std::shared_ptr<dekla::Key> walk(const dekla::Hive& hive, std::initializer_list<std::string_view> path) {
  std::shared_ptr<dekla::Key> key;
  const dekla::Key* at = &hive.root(dekla::Root::LocalMachine);
  for (std::string_view name : path) {
    key = at->findSubkey(name);
    if (!key) return nullptr;
    at = key.get();
  }
  return key;
}

std::string classOf(const dekla::Key& instance) {
  const dekla::Value* v = instance.findValue("Class");
  return v ? "class \"" + stringOf(v->data) + "\"" : "no class";
}

// The adapters the run changed: instances under Enum that went, and instances
// whose CSConfigFlags in profile 0001 came or changed.
void printChanges(const dekla::Hive& before, const dekla::Hive& after) {
  const std::string enumPath = "HKEY_LOCAL_MACHINE\\Enum\\";
  if (auto oldEnum = walk(before, {"Enum"})) {
    auto newEnum = walk(after, {"Enum"});
    for (const auto& e : oldEnum->subkeys())
      for (const auto& d : e->subkeys())
        for (const auto& i : d->subkeys())
          if (!newEnum || !walk(after, {"Enum", e->name(), d->name(), i->name()}))
            std::printf("removed: %s%s\\%s\\%s (%s)\n", enumPath.c_str(), e->name().c_str(), d->name().c_str(),
                        i->name().c_str(), classOf(*i).c_str());
  }
  if (auto profile = walk(after, {"Config", "0001", "Enum"})) {
    for (const auto& e : profile->subkeys())
      for (const auto& d : e->subkeys())
        for (const auto& i : d->subkeys()) {
          const dekla::Value* flags = i->findValue("CSConfigFlags");
          if (!flags) continue;
          auto old = walk(before, {"Config", "0001", "Enum", e->name(), d->name(), i->name()});
          const dekla::Value* oldFlags = old ? old->findValue("CSConfigFlags") : nullptr;
          if (oldFlags && oldFlags->type == flags->type && oldFlags->data == flags->data) continue;
          auto instance = walk(after, {"Enum", e->name(), d->name(), i->name()});
          std::printf("disabled: %s%s\\%s\\%s (%s) in profile 0001\n", enumPath.c_str(), e->name().c_str(),
                      d->name().c_str(), i->name().c_str(), instance ? classOf(*instance).c_str() : "no class");
        }
  }
}

}  // namespace

int main(int argc, char** argv) {
  int arg = 1;
  bool boardGiven = false, full = false, codePageGiven = false;
  dekla::CodePage codePage = dekla::CodePage::ShiftJis;
  for (; arg < argc && argv[arg][0] == '-'; ++arg) {
    const std::string option = argv[arg];
    if (option == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((option == "--board-present" || option == "--board-absent") && !boardGiven) {
      dekla::supplyPortByte(option == "--board-present" ? 0x14 : 0x00);
      boardGiven = true;
    } else if (option == "--full" && !full) {
      full = true;
    } else if (option == "--code-page" && !codePageGiven && arg + 1 < argc) {
      const std::string page = argv[++arg];
      if (page != "932" && page != "1252") return usage();
      codePage = page == "932" ? dekla::CodePage::ShiftJis : dekla::CodePage::SingleByte;
      codePageGiven = true;
    } else {
      return usage();
    }
  }
  if (argc - arg != 2) return usage();
  const std::string inPath = argv[arg], outPath = argv[arg + 1];

  std::string text;
  if (!readFile(inPath, text)) {
    std::fprintf(stderr, "dekla-tool: %s: cannot read the file\n", inPath.c_str());
    return 2;
  }
  dekla::Hive hive;
  dekla::ParseError error;
  if (!dekla::readRegedit4(text, hive, error, codePage)) {
    std::fprintf(stderr, "dekla-tool: %s:%d: %s\n", inPath.c_str(), error.line, error.message.c_str());
    return 2;
  }
  // The run changes the installed hive; a second reading is the registry as it was.
  dekla::Hive before;
  dekla::readRegedit4(text, before, error, codePage);
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
  const dekla::Hive& after = dekla::hostHive();
  const std::string written = full ? dekla::writeRegedit4(after, codePage)
                                   : dekla::writeRegedit4Patch(before, after, codePage);
  if (!writeFile(outPath, written)) {
    std::fprintf(stderr, "dekla-tool: %s: cannot write the file\n", outPath.c_str());
    return 1;
  }
  printChanges(before, after);
  std::printf("DelDisplay: %u\n", result);
  return 0;
}
