// orrery-tool: the capture-device library from the command line.
// Exit status 0 on success; on failure the status in hexadecimal and a short
// reason on standard error, and status 1.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "gmem/global_memory.h"
#include "orrery/orrery.h"
#include "orrery/tool/bmp_file.h"

namespace {

constexpr int kReceiveMs = 10000, kSendMs = 1000, kGamma = 1;

intptr_t call(intptr_t request, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0) {
    return OrreryEntry(request, a1, a2, a3, a4);
}

const char* reason(unsigned status) {
    switch (status) {
    case ORRERY_NO_MEMORY: return "out of memory";
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

int usage() {
    std::fprintf(stderr,
                 "usage: orrery-tool info | frames | get N OUT.bmp [--fine] | thumb N OUT.bmp |\n"
                 "                   put IN.bmp [--at N] [--fine] | delete N... | move FROM TO | shoot |\n"
                 "                   scan OUT.bmp | video OUT.bmp\n");
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
    if (command == "info") return info();
    if (command == "frames") return frames();
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
    if (command == "shoot") return shoot();
    if (command == "scan" && args.size() == 1) return capture(ORRERY_SCAN, args[0]);
    if (command == "video" && args.size() == 1) return capture(ORRERY_VIDEO_CAPTURE, args[0]);
    return usage();
}
