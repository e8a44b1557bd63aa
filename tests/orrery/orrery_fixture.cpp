#include "orrery_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "orrery/core/blocks.h"

namespace fs = std::filesystem;

namespace orrery_test {

intptr_t call(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4) {
    return OrreryEntry(request, a1, a2, a3, a4);
}

int Recorder::errors(intptr_t status) const {
    int n = 0;
    for (const Report& r : reports) n += r.status == status;
    return n;
}

int Recorder::progress() const {
    int n = 0;
    for (const Report& r : reports) n += r.status < 0x8000;
    return n;
}

Recorder& recorder() {
    static Recorder r;
    return r;
}

intptr_t recordingCallback(intptr_t position, intptr_t status) {
    Recorder& r = recorder();
    r.reports.push_back({position, status});
    bool error = status == ORRERY_LINE_FRAMING || status == ORRERY_LINE_CHECKSUM || status == ORRERY_TIMEOUT;
    return error ? r.errorAnswer : r.progressAnswer;
}

void OrreryTest::SetUp() {
    char pattern[] = "/tmp/orrery-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
    recorder() = Recorder{};
    configure();
}

void OrreryTest::TearDown() {
    call(ORRERY_CLOSE_LINK, 1);
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void OrreryTest::configure(const std::string& extra) {
    fs::create_directories(root_ + "/config/orrery");
    std::ofstream conf(root_ + "/config/orrery/orrery.conf", std::ios::trunc);
    conf << "camera = virtual\nvirtual.folder = " << cameraFolder() << "\n" << extra << "\n";
}

void OrreryTest::open(int receiveMs) {
    ASSERT_EQ(call(ORRERY_OPEN_LINK, receiveMs, 1000, 0) & 0xFFFF, ORRERY_OK);
}

int OrreryTest::count() { return int(call(ORRERY_FRAME_COUNT)); }

std::vector<uint8_t> OrreryTest::block(int frame) {
    bool fine = (call(ORRERY_PICTURE_KIND, frame) & 2) != 0;
    GlobalHandle handle = 0;
    uint16_t size = 0;
    intptr_t status = call(ORRERY_READ_BLOCK, frame | (fine ? 1 << 16 : 0), intptr_t(&handle), intptr_t(&size), 0);
    EXPECT_EQ(status, ORRERY_OK) << "frame " << frame;
    if (status != ORRERY_OK) return {};
    auto* p = static_cast<uint8_t*>(gmemLock(handle));
    std::vector<uint8_t> bytes(p, p + size);
    gmemUnlock(handle);
    gmemFree(handle);
    return bytes;
}

std::vector<std::vector<uint8_t>> OrreryTest::blocks() {
    std::vector<std::vector<uint8_t>> all;
    int n = count();
    for (int frame = 1; frame <= n; ++frame) all.push_back(block(frame));
    return all;
}

GlobalHandle OrreryTest::encode(const orrery::Picture& picture, bool fine) {
    GlobalHandle dib = sendDib(picture);
    GlobalHandle block = 0;
    uint32_t size = 0;
    EXPECT_EQ(call(fine ? ORRERY_ENCODE_FINE : ORRERY_ENCODE_STANDARD, intptr_t(dib), intptr_t(&block), intptr_t(&size)),
              ORRERY_OK);
    gmemFree(dib);
    return block;
}

orrery::Picture OrreryTest::decode(const std::vector<uint8_t>& block, bool fine) {
    GlobalHandle handle = orrery::allocateBlock(block);
    GlobalHandle dib = 0;
    EXPECT_EQ(call(fine ? ORRERY_DECODE_FINE : ORRERY_DECODE_STANDARD, intptr_t(&dib), intptr_t(handle),
                   intptr_t(block.size())),
              ORRERY_OK);
    gmemFree(handle);
    return takeDib(dib);
}

orrery::Picture takeDib(GlobalHandle dib) {
    orrery::Picture picture;
    if (!dib) return picture;
    auto* p = static_cast<const uint8_t*>(gmemLock(dib));
    EXPECT_TRUE(orrery::dibToPicture({p, gmemSize(dib)}, false, picture));
    gmemUnlock(dib);
    gmemFree(dib);
    return picture;
}

std::string saneConfigFolder() {
    struct Folder {
        std::string path;
        Folder() {
            char pattern[] = "/tmp/orrery-sane-XXXXXX";
            if (!mkdtemp(pattern)) return;
            path = pattern;
            std::ofstream(path + "/dll.conf") << "test\n";
            std::ofstream(path + "/test.conf") << "number_of_devices 2\n";
        }
        ~Folder() {
            std::error_code ec;
            if (!path.empty()) fs::remove_all(path, ec);
        }
    };
    static Folder folder;
    return folder.path;
}

GlobalHandle sendDib(const orrery::Picture& picture) {
    // A plain DIB is bottom-up; flipping the picture first puts the top row first.
    orrery::Picture flipped(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(flipped.row(y), picture.row(picture.height - 1 - y), size_t(picture.width) * 3);
    return orrery::pictureToDib(flipped);
}

double meanDifference(const orrery::Picture& a, const orrery::Picture& b) {
    if (a.width != b.width || a.height != b.height) return 1e9;
    double total = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) total += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return total / double(a.rgb.size());
}

// Smooth, distinct pictures: the top half differs from the bottom half so a
// flipped picture shows, and the seed shifts the colours.
orrery::Picture testPicture(int seed) {
    orrery::Picture p(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* px = p.row(y) + x * 3;
            px[0] = uint8_t((x * 255 / 639 + seed * 40) % 256);
            px[1] = uint8_t(y < 240 ? 200 : 40);
            px[2] = uint8_t((y * 255 / 479 + seed * 90) % 256);
        }
    return p;
}

}  // namespace orrery_test
