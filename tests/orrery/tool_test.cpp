// orrery-tool on a machine with no camera: the virtual camera answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
}

TEST_F(OrreryToolRun, HelpAndWrongArguments) {
    std::string out;
    ASSERT_EQ(run("help", out), 0);
    for (const char* command : {"devices", "use camera", "emulate FOLDER", "speed INDEX"})
        EXPECT_NE(out.find(command), std::string::npos) << command;
    for (const char* wrong : {"", "bogus", "info extra", "get", "get x y.bmp", "thumb 1", "delete", "delete 0",
                              "move 1", "use", "use camera", "use camera nonsense", "use printer x", "emulate",
                              "speed 6", "shoot now", "put a.bmp --at"})
        EXPECT_EQ(run(wrong, out), 2) << "'" << wrong << "': " << out;
}

TEST_F(OrreryToolRun, DevicesListsTheTestScannerAndUseStoresChoices) {
    char pattern[] = "/tmp/orrery-tool-sane-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string sane = pattern;
    std::ofstream(sane + "/dll.conf") << "test\n";
    std::string out;
    ASSERT_EQ(run("use scanner test:1", out), 0) << out;
    // A line of the user's own stays.
    std::ofstream(home_ + "/.config/orrery/orrery.conf", std::ios::app) << "# mine\nsane.config_dir = " << sane << "\n";
    ASSERT_EQ(run("devices", out), 0) << out;
    EXPECT_NE(out.find("* virtual"), std::string::npos) << out;
    EXPECT_NE(out.find("  test:0 "), std::string::npos) << out;
    EXPECT_NE(out.find("* test:1 "), std::string::npos) << out;
    ASSERT_EQ(run("use camera 'gphoto2:Directory Browse@disk:" + home_ + "'", out), 0) << out;
    ASSERT_EQ(run("use video test", out), 0) << out;
    std::ifstream in(home_ + "/.config/orrery/orrery.conf");
    std::string conf((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(conf.find("scanner = test:1\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("# mine\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("camera = gphoto2\ngphoto2.model = Directory Browse\ngphoto2.port = disk:" + home_), std::string::npos) << conf;
    EXPECT_NE(conf.find("video = test\n"), std::string::npos) << conf;
    ASSERT_EQ(run("devices", out), 0) << out;
    EXPECT_NE(out.find("* gphoto2:Directory Browse@disk:" + home_), std::string::npos) << out;
    EXPECT_NE(out.find("* test "), std::string::npos) << out;
    std::filesystem::remove_all(sane);
}

TEST_F(OrreryToolRun, EmulatorOnAPseudoTerminalServesAnotherProcess) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        execl(ORRERY_TOOL, ORRERY_TOOL, "emulate", (home_ + "/frames").c_str(), (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    std::string path;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') path += c;
    close(fds[0]);
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    std::string out;
    EXPECT_EQ(run("use camera qv10:" + path, out), 0) << out;
    EXPECT_EQ(run("frames", out), 0) << out;
    EXPECT_EQ(out.rfind("4 frames", 0), 0u) << out;
    EXPECT_EQ(run("speed 5", out), 0) << out;
    EXPECT_NE(out.find("at 115200 baud"), std::string::npos) << out;
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(std::filesystem::exists(home_ + "/frames/index.txt"));
}

}  // namespace
