// orrery-tool: the capture-device library from the command line.
// Exit status 0 on success; on failure the status in hexadecimal and a short
// reason on standard error, and status 1; wrong arguments give the usage and 2.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <signal.h>
#include <map>

#include "gmem/global_memory.h"
#include "orrery/core/config.h"
#include "orrery/gphoto/gphoto_camera.h"
#include "orrery/orrery.h"
#include "orrery/qv10/qv10_camera.h"
#include "orrery/qv10/virtual_qv10.h"
#include "orrery/sane/sane_scanner.h"
#include "orrery/tool/bmp_file.h"
#include "orrery/video/video_source.h"

namespace {

constexpr int kReceiveMs = 10000, kSendMs = 1000, kGamma = 1;

intptr_t call(intptr_t request, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0) {
    return OrreryEntry(request, a1, a2, a3, a4);
}

const char* reason(unsigned status) {
    switch (status) {
    case ORRERY_NO_MEMORY: return "out of memory";
    case ORRERY_BUSY: return "busy with another request";
    case ORRERY_INTERNAL: return "internal failure";
    case ORRERY_NO_DEVICE: return "no device answers";
    case ORRERY_BAD_DATA: return "the picture data is damaged";
    case ORRERY_UNSUPPORTED: return "the device cannot do this";
    case ORRERY_REFUSED: return "the device refused (protected frame, memory full or PLAY switch)";
    case ORRERY_BAD_ARGUMENT: return "bad argument";
    case ORRERY_NOT_OPEN: return "no camera link";
    case ORRERY_CANCELLED: return "cancelled";
    case ORRERY_LINE_FRAMING: return "line error (framing)";
    case ORRERY_LINE_CHECKSUM: return "line error (checksum)";
    case ORRERY_TIMEOUT: return "time-out";
    default: return "communication failure";
    }
}

int fail(unsigned status, const std::string& what) {
    std::fprintf(stderr, "orrery-tool: %s: 0x%04X %s\n", what.c_str(), status & 0xFFFF, reason(status & 0xFFFF));
    return 1;
}

int failText(const std::string& text) {
    std::fprintf(stderr, "orrery-tool: %s\n", text.c_str());
    return 1;
}

const char kUsage[] =
    "usage: orrery-tool COMMAND [ARGUMENTS]\n"
    "  help                     this text\n"
    "  info                     the library's version, capabilities and chosen devices\n"
    "  devices                  the cameras, scanners and video devices that answer (* chosen)\n"
    "  use camera NAME          choose the camera: virtual, auto, qv10:PORT, gphoto2 (autodetect)\n"
    "                           or gphoto2:MODEL@PORT as devices lists it\n"
    "  use scanner NAME         choose the scanner: a SANE device name, auto or none\n"
    "  use video NAME           choose the video device: a device path, test, auto or none\n"
    "  frames                   the camera's frames\n"
    "  get N OUT.bmp [--fine]   frame N as a picture\n"
    "  thumb N OUT.bmp          frame N's thumbnail\n"
    "  put IN.bmp [--at N] [--fine]  send a picture, after the last frame or in front of frame N\n"
    "  delete N...              delete frames\n"
    "  move FROM TO             move frame FROM in front of frame TO\n"
    "  speed INDEX              set the line speed 0..5 and say which rate the line runs at\n"
    "  shoot                    release the shutter\n"
    "  scan OUT.bmp             scan with the chosen scanner's defaults\n"
    "  video OUT.bmp            one frame of the chosen video device\n"
    "  emulate FOLDER           run the virtual QV-10 with its frames in FOLDER on a pseudo-terminal\n"
    "                           and print the device path; runs until interrupted\n"
    "The choices go to the library's settings file, $XDG_CONFIG_HOME/orrery/orrery.conf\n"
    "(else ~/.config/orrery/orrery.conf).\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool number(const char* text, int& out) {
    char* end = nullptr;
    long n = std::strtol(text, &end, 10);
    if (!end || *end || n < 1 || n > 0xFFFF) return false;
    out = int(n);
    return true;
}

// Opens the camera link for the lifetime of the object and closes it, leaving the camera on.
struct Link {
    unsigned status;
    Link() : status(unsigned(call(ORRERY_OPEN_LINK, kReceiveMs, kSendMs, kGamma)) & 0xFFFF) {}
    ~Link() { call(ORRERY_CLOSE_LINK, 1); }
};

intptr_t progress(intptr_t position, intptr_t status) {
    if (status >= 0xFFFD) std::fprintf(stderr, "line error 0x%04lX at block %ld, retrying\n", long(status), long(position));
    return status >= 0xFFFD ? ORRERY_RETRY : ORRERY_GO_ON;
}

int info() {
    std::printf("version %ld\n", long(call(ORRERY_VERSION) & 0xFFFF));
    std::printf("board %s\n", call(ORRERY_INIT_BOARDS) ? "present" : "absent");
    long caps = long(call(ORRERY_CAPABILITIES));
    std::printf("capabilities 0x%lX (camera %s, calibration %s)\n", caps, caps & 4 ? "yes" : "no", caps & 8 ? "yes" : "no");
    char text[2048] = {};
    call(ORRERY_DESCRIBE, intptr_t(text), sizeof text);
    std::fputs(text, stdout);
    return 0;
}

int frames() {
    Link link;
    if (link.status) return fail(link.status, "open link");
    intptr_t count = call(ORRERY_FRAME_COUNT);
    if (count < 0) return fail(unsigned(count), "frame count");
    std::printf("%ld frames\n", long(count));
    for (int frame = 1; frame <= count; ++frame) {
        intptr_t kind = call(ORRERY_PICTURE_KIND, frame);
        std::printf("%d %s%s\n", frame, kind & 2 ? "fine" : "standard", kind & 1 ? " protected" : "");
    }
    return 0;
}

int get(int frame, const std::string& out, bool fine) {
    Link link;
    if (link.status) return fail(link.status, "open link");
    if (call(ORRERY_PICTURE_KIND, frame) & 2) fine = true;
    GlobalHandle block = 0;
    uint16_t size = 0;
    intptr_t status = call(ORRERY_READ_BLOCK, frame | (fine ? 1 << 16 : 0), intptr_t(&block), intptr_t(&size),
                           intptr_t(&progress));
    if (status) return fail(unsigned(status), "read frame " + std::to_string(frame));
    GlobalHandle dib = 0;
    status = call(fine ? ORRERY_DECODE_FINE : ORRERY_DECODE_STANDARD, intptr_t(&dib), intptr_t(block), size);
    gmemFree(block);
    if (status) return fail(unsigned(status), "decode frame " + std::to_string(frame));
    std::string error;
    bool ok = orrery_tool::writeBmp(out, dib, error);
    gmemFree(dib);
    return ok ? 0 : failText(error);
}

int thumb(int frame, const std::string& out) {
    Link link;
    if (link.status) return fail(link.status, "open link");
    GlobalHandle dib = 0;
    intptr_t status = call(ORRERY_READ_THUMBNAIL, frame, intptr_t(&dib), intptr_t(&progress));
    if (status) return fail(unsigned(status), "thumbnail " + std::to_string(frame));
    std::string error;
    bool ok = orrery_tool::writeBmp(out, dib, error);
    gmemFree(dib);
    return ok ? 0 : failText(error);
}

int put(const std::string& in, int at, bool fine) {
    std::string error;
    GlobalHandle dib = orrery_tool::readBmpForSending(in, error);
    if (!dib) return failText(error);
    GlobalHandle block = 0;
    uint32_t size = 0;
    intptr_t status = call(fine ? ORRERY_ENCODE_FINE : ORRERY_ENCODE_STANDARD, intptr_t(dib), intptr_t(&block), intptr_t(&size));
    gmemFree(dib);
    if (status) return fail(unsigned(status), "encode " + in);
    Link link;
    if (link.status) {
        gmemFree(block);
        return fail(link.status, "open link");
    }
    call(ORRERY_SELECT_MODE, 128);
    status = call(ORRERY_WRITE_BLOCK, at > 0 ? at : -1, intptr_t(block), size, intptr_t(&progress));
    gmemFree(block);
    if (status) return fail(unsigned(status), "write");
    return 0;
}

int remove(const std::vector<int>& frames) {
    std::set<int> sorted(frames.begin(), frames.end());
    std::vector<uint8_t> list;
    for (int f : sorted) {
        if (f > 254) return failText("frame numbers end at 254");
        list.push_back(uint8_t(f));
    }
    list.push_back(255);
    Link link;
    if (link.status) return fail(link.status, "open link");
    intptr_t status = call(ORRERY_DELETE_FRAMES, intptr_t(list.data()));
    return status ? fail(unsigned(status), "delete") : 0;
}

int move(int from, int to) {
    Link link;
    if (link.status) return fail(link.status, "open link");
    intptr_t status = call(ORRERY_MOVE_FRAME, from, to);
    return status ? fail(unsigned(status), "move") : 0;
}

int shoot() {
    Link link;
    if (link.status) return fail(link.status, "open link");
    intptr_t state = call(ORRERY_CAMERA_STATE);
    if ((state & 0xFF00) == 0xFF00) return fail(0xFFFF, "camera state");
    if (state & 0x40) return failText("the camera is not in record mode (switch at PLAY)");
    intptr_t reply = call(ORRERY_SHUTTER);
    if (reply == 6) {
        std::printf("taken: frame %ld\n", long(call(ORRERY_FRAME_COUNT)));
        return 0;
    }
    return reply == 21 ? fail(ORRERY_REFUSED, "shutter") : fail(unsigned(reply), "shutter");
}

int speed(int index) {
    Link link;
    if (link.status) return fail(link.status, "open link");
    intptr_t status = call(ORRERY_SET_SPEED, index);
    if (status) return fail(unsigned(status), "speed " + std::to_string(index));
    char text[2048] = {};
    call(ORRERY_DESCRIBE, intptr_t(text), sizeof text);
    std::string first(text, std::strcspn(text, "\n"));
    std::printf("%s\n", first.c_str());
    return 0;
}

void row(bool chosen, const std::string& name, const std::string& what) {
    std::printf("  %c %-32s %s\n", chosen ? '*' : ' ', name.c_str(), what.c_str());
}

int devices() {
    orrery::Config config = orrery::Config::load();
    std::string camera = config.text("camera", "auto");
    std::string port = config.text("qv10.port");
    bool qv10 = camera == "qv10" || (camera == "auto" && !port.empty());
    std::printf("cameras:\n");
    row(!qv10 && camera != "gphoto2", "virtual",
        "virtual QV-10 in " + config.text("virtual.folder", orrery::Config::defaultVirtualFolder()));
    if (!port.empty()) {
        orrery::Status status = ORRERY_OK;
        auto link = orrery::qv::Qv10Camera::open(port, 500, 500, 9600, nullptr, status);
        if (link) link->close(1);
        row(qv10, "qv10:" + port, std::string("QV-10 on a serial port, ") + (link ? "answers" : "does not answer"));
    }
    std::string model = config.text("gphoto2.model"), gport = config.text("gphoto2.port");
    bool listed = false;
    for (const orrery::GphotoDetected& found : orrery::detectGphotoCameras()) {
        bool chosen = camera == "gphoto2" && (model.empty() || (model == found.model && gport == found.port));
        row(chosen, "gphoto2:" + found.model + "@" + found.port, "libgphoto2");
        listed = listed || chosen;
    }
    if (camera == "gphoto2" && !listed)
        row(true, "gphoto2:" + model + "@" + gport, "libgphoto2, not detected (serial and folder cameras never are)");
    std::printf("scanners:\n");
    std::string scanner = orrery::SaneScanner::chosenDevice(config);
    for (const orrery::ScannerInfo& found : orrery::SaneScanner::devices(config))
        row(found.name == scanner, found.name, found.vendor + " " + found.model);
    std::printf("video:\n");
    std::string video = orrery::VideoSource::chosenSource(config);
    for (const orrery::VideoDevice& found : orrery::VideoSource::devices()) row(found.path == video, found.path, found.name);
    row(video == "test", "test", "GStreamer test source");
    return 0;
}

// "use KIND NAME": the settings that choose the device.
int use(const std::string& kind, const std::string& name) {
    std::map<std::string, std::string> values;
    if (kind == "camera") {
        if (name == "virtual" || name == "auto") {
            values["camera"] = name;
        } else if (name.rfind("qv10:", 0) == 0 && name.size() > 5) {
            values = {{"camera", "qv10"}, {"qv10.port", name.substr(5)}};
        } else if (name == "gphoto2") {
            values = {{"camera", "gphoto2"}, {"gphoto2.model", ""}, {"gphoto2.port", ""}};
        } else if (name.rfind("gphoto2:", 0) == 0 && name.find('@') != std::string::npos) {
            size_t at = name.rfind('@');
            values = {{"camera", "gphoto2"}, {"gphoto2.model", name.substr(8, at - 8)}, {"gphoto2.port", name.substr(at + 1)}};
        } else {
            return usage();
        }
    } else if (kind == "scanner" || kind == "video") {
        values[kind] = name;
    } else {
        return usage();
    }
    std::string error;
    if (!orrery::Config::store(values, error)) return failText(error);
    std::printf("%s = %s in %s\n", kind.c_str(), name.c_str(), orrery::Config::path().c_str());
    return 0;
}

int emulate(const std::string& folder) {
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before the camera's thread starts
    orrery::qv::VirtualOptions options;
    options.folder = folder;
    std::string error;
    std::unique_ptr<orrery::qv::VirtualQv10> camera = orrery::qv::VirtualQv10::start(options, error);
    if (!camera) return failText(error);
    std::printf("%s\n", camera->devicePath().c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    return 0;
}

int capture(int request, const std::string& out) {
    GlobalHandle dib = GlobalHandle(call(request, 0));
    if (!dib) return fail(ORRERY_NO_DEVICE, request == ORRERY_SCAN ? "scan" : "video");
    std::string error;
    bool ok = orrery_tool::writeBmp(out, dib, error);
    gmemFree(dib);
    return ok ? 0 : failText(error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    auto has = [&](const char* option) { return std::find(args.begin(), args.end(), option) != args.end(); };
    int a = 0, b = 0;
    if ((command == "help" || command == "--help" || command == "-h") && args.empty()) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "info" && args.empty()) return info();
    if (command == "devices" && args.empty()) return devices();
    if (command == "use" && args.size() == 2) return use(args[0], args[1]);
    if (command == "emulate" && args.size() == 1) return emulate(args[0]);
    if (command == "speed" && args.size() == 1 && std::strcmp(args[0].c_str(), "0") == 0) return speed(0);
    if (command == "speed" && args.size() == 1 && number(args[0].c_str(), a) && a <= 5) return speed(a);
    if (command == "frames" && args.empty()) return frames();
    if (command == "get" && args.size() >= 2 && number(args[0].c_str(), a)) return get(a, args[1], has("--fine"));
    if (command == "thumb" && args.size() == 2 && number(args[0].c_str(), a)) return thumb(a, args[1]);
    if (command == "put" && !args.empty()) {
        auto at = std::find(args.begin(), args.end(), "--at");
        if (at != args.end() && (at + 1 == args.end() || !number((at + 1)->c_str(), a))) return usage();
        return put(args[0], a, has("--fine"));
    }
    if (command == "delete" && !args.empty()) {
        std::vector<int> list;
        for (const std::string& s : args) {
            if (!number(s.c_str(), a)) return usage();
            list.push_back(a);
        }
        return remove(list);
    }
    if (command == "move" && args.size() == 2 && number(args[0].c_str(), a) && number(args[1].c_str(), b)) return move(a, b);
    if (command == "shoot" && args.empty()) return shoot();
    if (command == "scan" && args.size() == 1) return capture(ORRERY_SCAN, args[0]);
    if (command == "video" && args.size() == 1) return capture(ORRERY_VIDEO_CAPTURE, args[0]);
    return usage();
}
