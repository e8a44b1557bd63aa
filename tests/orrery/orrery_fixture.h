// A private configuration and data folder for each test, and small helpers
// for calling the request table and recording transfer callbacks.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gmem/global_memory.h"
#include "orrery/core/picture.h"
#include "orrery/orrery.h"

namespace orrery_test {

intptr_t call(intptr_t request, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0);

// One call of a transfer callback.
struct Report {
    intptr_t position, status;
};

// Records every callback and answers from a script: errors get errorAnswer,
// progress gets progressAnswer.
struct Recorder {
    std::vector<Report> reports;
    intptr_t errorAnswer = ORRERY_RETRY;
    intptr_t progressAnswer = ORRERY_GO_ON;
    int errors(intptr_t status) const;
    int progress() const;
};
Recorder& recorder();
intptr_t recordingCallback(intptr_t position, intptr_t status);

class OrreryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Rewrites orrery.conf: the virtual camera in this test's folder plus extra lines.
    void configure(const std::string& extra = {});
    std::string cameraFolder() const { return root_ + "/camera"; }
    std::string root() const { return root_; }

    // Open with short time-outs and gamma off; expects success.
    void open(int receiveMs = 1000);
    int count();
    // The raw block of a frame (fine flag from its picture kind).
    std::vector<uint8_t> block(int frame);
    // Frames as blocks, for comparing orders.
    std::vector<std::vector<uint8_t>> blocks();
    // Encode a picture as a standard block (21120 bytes) through request 25.
    GlobalHandle encode(const orrery::Picture& picture, bool fine = false);
    // Decode a block through request 24/34.
    orrery::Picture decode(const std::vector<uint8_t>& block, bool fine = false);

private:
    std::string root_;
};

// A SANE configuration folder that knows only the test backend (two
// devices). SANE reads it when it starts, so one folder serves the whole
// process; it is this process's own and goes when the process ends.
std::string saneConfigFolder();

// The packed DIB's picture (bottom-up rows) and free the handle.
orrery::Picture takeDib(GlobalHandle dib);
// A packed DIB of the picture with the rows top row first, as the program sends.
GlobalHandle sendDib(const orrery::Picture& picture);
// Mean absolute difference per channel.
double meanDifference(const orrery::Picture& a, const orrery::Picture& b);
orrery::Picture testPicture(int seed);

}  // namespace orrery_test
