#include "cli/gui_part.h"

#include "cli/commands.h"
#include "cli/console_port.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

namespace quillon::cli {
namespace {

constexpr const char* kPartName = "quillon-cli-gui.so";

// The part sits in the program's own folder.
std::string partPath() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return kPartName;
    std::string path(self, size_t(length));
    const size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + kPartName;
}

}  // namespace

const GuiPart* guiPart(ConsolePort& console) {
    static const GuiPart* part = nullptr;
    if (part) return part;
    const std::string path = partPath();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto entry = handle ? reinterpret_cast<const GuiPart* (*)()>(dlsym(handle, "quillonCliGuiPart"))
                              : nullptr;
    if (!entry) {
        console.error("quillon-cli: cannot load the drawing part " + QString::fromStdString(path) + ": " +
                      QString::fromLocal8Bit(dlerror()));
        return nullptr;
    }
    part = entry();
    return part;
}

namespace gui_part {

int runPrint(const QStringList& arguments, ConsolePort& console) {
    const GuiPart* part = guiPart(console);
    return part ? part->print(arguments, console) : kFailed;
}

int runThumbnail(const QStringList& arguments, ConsolePort& console) {
    const GuiPart* part = guiPart(console);
    return part ? part->thumbnail(arguments, console) : kFailed;
}

int runThumbnails(const QStringList& arguments, ConsolePort& console) {
    const GuiPart* part = guiPart(console);
    return part ? part->thumbnails(arguments, console) : kFailed;
}

}  // namespace gui_part
}  // namespace quillon::cli
