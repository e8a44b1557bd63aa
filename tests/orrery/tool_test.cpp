// orrery-tool on a machine with no camera: the virtual camera answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class OrreryToolRun : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orrery-tool-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(home_); }
    // Runs the tool in a fresh home; returns the exit status, output in out.
    int run(const std::string& args, std::string& out) {
        std::string command = "env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME=" + home_ + " " ORRERY_TOOL " " + args +
                              " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        out.clear();
        char buffer[256];
        while (pipe && fgets(buffer, sizeof buffer, pipe)) out += buffer;
        int status = pipe ? pclose(pipe) : -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string identify(const std::string& file) {
        std::string out;
        FILE* pipe = popen(("identify -format '%wx%h' " + file + " 2>&1").c_str(), "r");
        char buffer[128];
        while (pipe && fgets(buffer, sizeof buffer, pipe)) out += buffer;
        if (pipe) pclose(pipe);
        return out;
    }
    std::string home_;
};

TEST_F(OrreryToolRun, FreshMachineSeesTheVirtualCamera) {
    std::string out;
    ASSERT_EQ(run("info", out), 0) << out;
    EXPECT_NE(out.find("version 258"), std::string::npos) << out;
    EXPECT_NE(out.find("virtual QV-10"), std::string::npos) << out;
    ASSERT_EQ(run("frames", out), 0) << out;
    EXPECT_EQ(out.rfind("4 frames", 0), 0u) << out;
    ASSERT_EQ(run("get 1 " + home_ + "/x.bmp", out), 0) << out;
    ASSERT_EQ(run("thumb 1 " + home_ + "/t.bmp", out), 0) << out;
    // ImageMagick reads what we wrote.
    EXPECT_EQ(identify(home_ + "/x.bmp"), "640x480");
    EXPECT_EQ(identify(home_ + "/t.bmp"), "52x36");
}

TEST_F(OrreryToolRun, PutMoveDeleteAndFailures) {
    std::string out;
    ASSERT_EQ(run("get 2 " + home_ + "/two.bmp", out), 0) << out;
    ASSERT_EQ(run("put " + home_ + "/two.bmp --at 1", out), 0) << out;
    ASSERT_EQ(run("frames", out), 0);
    EXPECT_EQ(out.rfind("5 frames", 0), 0u) << out;
    ASSERT_EQ(run("move 1 6", out), 0) << out;
    ASSERT_EQ(run("delete 5 1", out), 0) << out;
    ASSERT_EQ(run("frames", out), 0);
    EXPECT_EQ(out.rfind("3 frames", 0), 0u) << out;
    ASSERT_EQ(run("shoot", out), 0) << out;
    // Failures: status 1, the status in hexadecimal, and no half file.
    EXPECT_EQ(run("get 9 " + home_ + "/none.bmp", out), 1);
    EXPECT_NE(out.find("0xFFFA"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(home_ + "/none.bmp"));
    EXPECT_FALSE(std::filesystem::exists(home_ + "/none.bmp.part"));
    std::ofstream(home_ + "/bad.bmp") << "not a bitmap";
    EXPECT_EQ(run("put " + home_ + "/bad.bmp", out), 1);
    EXPECT_EQ(run("scan " + home_ + "/s.bmp", out), 1);  // no scanner configured here
    EXPECT_EQ(run("bogus", out), 2);
}

}  // namespace
