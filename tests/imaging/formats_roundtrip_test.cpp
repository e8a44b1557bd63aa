// Every writer of the save-format table at every depth the table hands it:
// the file reads back to the same pixels at the depth written, and the
// file-information role tells the same size and depth without decoding.
#include "imaging/codec_table.h"
#include "imaging/depth.h"
#include "imaging/file_io.h"
#include "imaging/imaging.h"
#include "tests/imaging/format_cases.h"
#include "tests/imaging/oracle.h"
#include "tests/imaging/test_pictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace imaging {
namespace {

using testing::allDepths;
using testing::codecSaveFormats;

struct RoundTrip {
    int code;
    int pictureBits;
};

std::vector<RoundTrip> allRoundTrips() {
    std::vector<RoundTrip> cases;
    for (const auto& format : codecSaveFormats())
        if (codecForCode(format.code))
            for (int bits : allDepths()) cases.push_back({format.code, bits});
    return cases;
}

class FormatRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(FormatRoundTrip, ReadsBackTheSamePixelsAtTheDepthWritten) {
    const RoundTrip c = GetParam();
    const Bitmap picture = testing::patterned(37, 23, c.pictureBits, c.code);
    const int handed = testing::handedBits(c.code, c.pictureBits);
    const int written = testing::writtenBits(c.code, handed);
    ASSERT_NE(written, 0);
    const std::string path = testing::scratchPath("rt." + testing::extensionOf(c.code));

    ASSERT_EQ(save(path, picture, c.code, handed), kSuccess);
    Bitmap expected;
    ASSERT_EQ(changeColorDepth(expected, picture, written, depth::kNearest), kSuccess);

    FileInfo info;
    ASSERT_EQ(fileInfo(path, info), kSuccess);
    EXPECT_EQ(info.formatCode, c.code);
    Bitmap back;
    ASSERT_EQ(load(path, back), kSuccess);
    std::remove(path.c_str());
    EXPECT_EQ(back.formatCode, c.code);
    // MacPaint pictures are always 576 x 720: ours sits in the top-left corner.
    Bitmap compared;
    if (c.code == 51) {
        EXPECT_EQ(back.width, 576);
        EXPECT_EQ(back.height, 720);
        ASSERT_EQ(copyRect(compared, back, 0, 0, picture.width, picture.height), kSuccess);
    } else {
        compared = std::move(back);
    }
    EXPECT_EQ(info.width, c.code == 51 ? 576 : picture.width);
    EXPECT_EQ(info.height, c.code == 51 ? 720 : picture.height);
    EXPECT_EQ(info.bits, written);
    EXPECT_EQ(compared.bitsPerPixel, written);
    EXPECT_TRUE(testing::samePixels(compared, expected))
        << "largest channel difference " << testing::maxDifference(testing::toRgb8(compared), testing::toRgb8(expected));
}

INSTANTIATE_TEST_SUITE_P(SaveTable, FormatRoundTrip, ::testing::ValuesIn(allRoundTrips()),
                         [](const auto& info) {
                             return std::string(testing::extensionOf(info.param.code)) + "_from_" +
                                    std::to_string(info.param.pictureBits) + "bit";
                         });

}  // namespace
}  // namespace imaging
