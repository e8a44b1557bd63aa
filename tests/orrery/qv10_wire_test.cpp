// The bytes on the serial line, checked against the camera's documented
// values by a scripted camera written here, apart from the driver's own
// checksum and framing code (a mistake made on both sides of the virtual
// camera would pass every other test). Faults are injected on the line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "orrery_fixture.h"

using namespace orrery_test;

namespace {

using Bytes = std::vector<uint8_t>;

// The checksum of a data packet, written out from the protocol notes:
// NOT of the 8-bit sum of both length bytes, the data and the terminator.
uint8_t packetSum(const Bytes& data, uint8_t terminator) {
    unsigned sum = (data.size() >> 8) + (data.size() & 0xFF) + terminator;
    for (uint8_t b : data) sum += b;
    return uint8_t(~sum & 0xFF);
}

Bytes packet(const Bytes& data, uint8_t terminator, uint8_t start = 0x02) {
    Bytes p = {start, uint8_t(data.size() >> 8), uint8_t(data.size() & 0xFF)};
    p.insert(p.end(), data.begin(), data.end());
    p.push_back(terminator);
    p.push_back(packetSum(data, terminator));
    return p;
}

const Bytes kEndPacket = {0x02, 0x00, 0x00, 0x03, 0xFC};

std::string hex(const Bytes& b) {
    std::string s;
    char t[4];
    for (uint8_t v : b) std::snprintf(t, sizeof t, "%02X ", v), s += t;
    return s;
}

// The camera's side of a pseudo-terminal, played from a script in a thread.
class ScriptedCamera {
public:
    ScriptedCamera() {
        termios raw {};
        cfmakeraw(&raw);
        char name[128] = {};
        if (openpty(&master_, &slave_, name, &raw, nullptr) == 0) path_ = name;
    }
    ~ScriptedCamera() {
        if (thread_.joinable()) thread_.join();
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
    }
    const std::string& path() const { return path_; }

    void play(std::function<void(ScriptedCamera&)> script) {
        thread_ = std::thread([this, script] {
            try {
                script(*this);
            } catch (const std::string& why) {
                failure_ = why;
            }
        });
    }
    // Waits for the script's end; the failure, or "" when it ran through.
    std::string finish() {
        if (thread_.joinable()) thread_.join();
        return failure_;
    }

    // The host must send exactly these bytes next.
    void expect(const Bytes& bytes, const std::string& what) {
        Bytes got;
        for (size_t i = 0; i < bytes.size(); ++i) {
            int b = readByte();
            if (b < 0) throw what + ": expected " + hex(bytes) + "got " + hex(got) + "then nothing";
            got.push_back(uint8_t(b));
            if (got.back() != bytes[i]) throw what + ": expected " + hex(bytes) + "got " + hex(got);
        }
    }
    void send(const Bytes& bytes) {
        if (write(master_, bytes.data(), bytes.size()) != ssize_t(bytes.size())) throw std::string("cannot write");
    }
    // A command: ping answered, the letters and parameters, our checksum, the host's ACK, the result.
    void command(const Bytes& command, uint8_t checksum, const Bytes& result = {}) {
        std::string name(command.begin(), command.begin() + 2);
        expect({0x05}, name + " ping");
        send({0x06});
        expect(command, name);
        send({checksum});
        expect({0x06}, name + " confirmation");
        send(result);
    }
    int readByte(int ms = 3000) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0) return -1;
        uint8_t b = 0;
        return read(master_, &b, 1) == 1 ? b : -1;
    }
    // Reads one packet from the host and checks its framing and sum.
    Bytes readPacket(const std::string& what) {
        Bytes head;
        for (int i = 0; i < 3; ++i) head.push_back(uint8_t(readByte()));
        if (head[0] != 0x02) throw what + ": no STX: " + hex(head);
        Bytes data(size_t(head[1]) << 8 | head[2]);
        for (uint8_t& b : data) b = uint8_t(readByte());
        uint8_t terminator = uint8_t(readByte()), sum = uint8_t(readByte());
        if (sum != packetSum(data, terminator)) throw what + ": bad packet sum";
        data.push_back(terminator);
        return data;
    }

private:
    int master_ = -1, slave_ = -1;
    std::string path_;
    std::thread thread_;
    std::string failure_;
};

// A transfer callback that, like the camera album moving its focus, asks the
// camera to show frame 2 while the transfer runs.
intptr_t shownDuringTransfer = -1;
intptr_t showingCallback(intptr_t position, intptr_t status) {
    if (shownDuringTransfer == -1) shownDuringTransfer = call(ORRERY_SHOW_FRAME, 2);
    return recordingCallback(position, status);
}

class OrreryQv10Wire : public OrreryTest {
protected:
    void SetUp() override {
        OrreryTest::SetUp();
        ASSERT_FALSE(camera_.path().empty());
        configure("camera = qv10\nqv10.port = " + camera_.path());
    }
    void openLink() { ASSERT_EQ(call(ORRERY_OPEN_LINK, 500, 500, 0), ORRERY_OK); }
    ScriptedCamera camera_;
};

TEST_F(OrreryQv10Wire, PacketSumsOfTheNotes) {
    EXPECT_EQ(packet({}, 0x03), kEndPacket);
    // Checksums quoted in the notes follow from the same rule for commands.
    auto commandSum = [](const Bytes& b) {
        unsigned s = 0;
        for (uint8_t v : b) s += v;
        return uint8_t(~s & 0xFF);
    };
    EXPECT_EQ(commandSum({'Q', 'R'}), 0x5C);
    EXPECT_EQ(commandSum({'M', 'P'}), 0x62);
}

TEST_F(OrreryQv10Wire, CommandsCarryTheDocumentedChecksums) {
    camera_.play([](ScriptedCamera& c) {
        c.expect({0x05}, "opening ping");
        c.send({0x06});
        c.command({'M', 'P'}, 0x62, {3});                         // frame count
        c.command({'M', 'P'}, 0x62, {3});                         // show frame 2: checked first
        c.command({'D', 'A', 2}, 0x7A - 2);                      // DA n: 0x7A - n
        c.command({'D', 'Y', 2, 3}, 0x60 - 3, {2});               // DY 02 n: 0x60 - n, kind 2 = fine
        c.command({'Q', 'R'}, 0x5C);                              // close, camera left on
    });
    openLink();
    EXPECT_EQ(call(ORRERY_FRAME_COUNT), 3);
    EXPECT_EQ(call(ORRERY_SHOW_FRAME, 2), ORRERY_OK);
    EXPECT_EQ(call(ORRERY_PICTURE_KIND, 3), 2);
    EXPECT_EQ(call(ORRERY_CLOSE_LINK, 1), ORRERY_OK);
    EXPECT_EQ(camera_.finish(), "");
}

TEST_F(OrreryQv10Wire, ThumbnailThroughBusyCameraAndDamagedPackets) {
    // 2808 bytes of mid grey: Y 128, Cb and Cr 0.
    Bytes thumbnail(2808, 0);
    std::fill(thumbnail.begin(), thumbnail.begin() + 1872, 128);
    camera_.play([&thumbnail](ScriptedCamera& c) {
        c.expect({0x05}, "opening ping");
        c.send({0x06});
        // Busy: NAK to the first ping; the host pings again.
        c.expect({0x05}, "ping while busy");
        c.send({0x15});
        c.expect({0x05}, "ping after NAK");
        c.send({0x06});
        c.expect({'M', 'P'}, "MP after busy");
        c.send({0x62});
        c.expect({0x06}, "MP confirmation");
        c.send({3});
        c.command({'D', 'A', 1}, 0x7A - 1);
        c.command({'D', 'L'}, 0x6F);
        c.command({'M', 'K'}, 0x67);
        c.expect({0x12}, "DC2 starting the download");
        for (size_t i = 0; i * 128 < thumbnail.size(); ++i) {
            Bytes data(thumbnail.begin() + long(i * 128), thumbnail.begin() + long(std::min(thumbnail.size(), i * 128 + 128)));
            if (i == 2) {  // framing error: the start byte lost
                c.send(packet(data, 0x17, 0x00));
                c.expect({0x15}, "NAK after a lost STX");
            }
            if (i == 4) {  // a damaged sum
                Bytes bad = packet(data, 0x17);
                bad.back() ^= 0x40;
                c.send(bad);
                c.expect({0x15}, "NAK after a bad sum");
            }
            c.send(packet(data, 0x17));
            c.expect({0x06}, "ACK of packet " + std::to_string(i));
        }
        c.send(kEndPacket);
        c.expect({0x06}, "ACK of the end packet");
        // The frame asked for during the transfer is shown after it.
        c.command({'M', 'P'}, 0x62, {3});
        c.command({'D', 'A', 2}, 0x7A - 2);
        c.command({'Q', 'R'}, 0x5C);
    });
    openLink();
    GlobalHandle dib = 0;
    shownDuringTransfer = -1;
    ASSERT_EQ(call(ORRERY_READ_THUMBNAIL, 1, intptr_t(&dib), intptr_t(&showingCallback)), ORRERY_OK);
    EXPECT_EQ(shownDuringTransfer, ORRERY_OK);
    orrery::Picture thumb = takeDib(dib);
    ASSERT_EQ(thumb.width, 52);
    EXPECT_NEAR(thumb.row(18)[26 * 3], 128, 2);
    EXPECT_EQ(recorder().errors(ORRERY_LINE_FRAMING), 1);
    EXPECT_EQ(recorder().errors(ORRERY_LINE_CHECKSUM), 1);
    EXPECT_EQ(recorder().progress(), 22);
    EXPECT_EQ(call(ORRERY_CLOSE_LINK, 1), ORRERY_OK);
    EXPECT_EQ(camera_.finish(), "");
}

TEST_F(OrreryQv10Wire, UploadEndsWithTheEndPacketAndGarbledCommandsAreNotConfirmed) {
    GlobalHandle block = encode(testPicture(1));
    Bytes sent;
    camera_.play([&sent](ScriptedCamera& c) {
        c.expect({0x05}, "opening ping");
        c.send({0x06});
        c.command({'M', 'P'}, 0x62, {2});
        c.command({'M', 'H'}, 0x6A);
        c.send({0x12});  // ready to take the picture
        for (;;) {
            Bytes data = c.readPacket("upload packet");
            uint8_t terminator = data.back();
            data.pop_back();
            c.send({0x06});
            if (data.empty()) {
                if (terminator != 0x03) throw std::string("the empty packet must end with ETX");
                break;
            }
            if (terminator != 0x17) throw std::string("data packets go on with ETB");
            sent.insert(sent.end(), data.begin(), data.end());
        }
        c.command({'D', 'J'}, 0x71);
        // The count after the upload comes with a garbled checksum: the host
        // must not confirm it but ping and send the command again.
        c.expect({0x05}, "ping");
        c.send({0x06});
        c.expect({'M', 'P'}, "MP");
        c.send({0x00});
        c.expect({0x05}, "a new ping, not ACK, after a garbled checksum");
        c.send({0x06});
        c.expect({'M', 'P'}, "MP again");
        c.send({0x62});
        c.expect({0x06}, "MP confirmation");
        c.send({3});
        c.command({'Q', 'R'}, 0x5C);
    });
    openLink();
    ASSERT_EQ(call(ORRERY_WRITE_BLOCK, -1, intptr_t(block), 21120, 0), ORRERY_OK);
    EXPECT_EQ(call(ORRERY_CLOSE_LINK, 1), ORRERY_OK);
    EXPECT_EQ(camera_.finish(), "");
    ASSERT_EQ(sent.size(), 21120u);
    auto* p = static_cast<const uint8_t*>(gmemLock(block));
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), p));
    gmemUnlock(block);
    gmemFree(block);
}

}  // namespace
