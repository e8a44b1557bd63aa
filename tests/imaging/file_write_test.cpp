// Saving over a file: a failed write keeps the old file, and a write keeps
// what the user set on the file (read-only, mode, owner, symbolic and hard
// links), also where no temporary file can be made beside it.
#include "imaging/file_io.h"
#include "imaging/result.h"
#include "tests/imaging/oracle.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace imaging {
namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const std::string& path, const std::string& text, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << text;
    ::chmod(path.c_str(), mode);
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

class FileWrite : public ::testing::Test {
protected:
    void SetUp() override {
        folder = testing::scratchPath("write");
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    }
    void TearDown() override {
        ::chmod(folder.c_str(), 0755);
        std::filesystem::remove_all(folder);
    }
    std::string at(const std::string& name) const { return folder + "/" + name; }
    std::string folder;
};

TEST_F(FileWrite, ReadOnlyFileIsRefusedAndKept) {
    put(at("a.bmp"), "old", 0444);
    EXPECT_EQ(writeWholeFile(at("a.bmp"), bytesOf("new")), kErrFileWrite);
    EXPECT_EQ(contentsOf(at("a.bmp")), "old");
    EXPECT_EQ(modeOf(at("a.bmp")), 0444u);
    EXPECT_EQ(namesIn(folder).size(), 1u);
}

TEST_F(FileWrite, ReplacedFileKeepsItsModeAndNewFileGetsTheUsualOne) {
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0751)}) {
        put(at("a.bmp"), "old", mode);
        ASSERT_EQ(writeWholeFile(at("a.bmp"), bytesOf("new")), kSuccess);
        EXPECT_EQ(contentsOf(at("a.bmp")), "new");
        EXPECT_EQ(modeOf(at("a.bmp")), mode);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_EQ(writeWholeFile(at("fresh.bmp"), bytesOf("new")), kSuccess);
    EXPECT_EQ(modeOf(at("fresh.bmp")), 0666u & ~mask);
}

TEST_F(FileWrite, ReplacedFileKeepsItsOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    put(at("a.bmp"), "old", 0640);
    ASSERT_EQ(::chown(at("a.bmp").c_str(), 4321, 4322), 0);
    ASSERT_EQ(writeWholeFile(at("a.bmp"), bytesOf("new")), kSuccess);
    struct stat st {};
    ASSERT_EQ(::stat(at("a.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(FileWrite, SymbolicLinkStaysAndTheFileItNamesIsReplaced) {
    ASSERT_EQ(::mkdir(at("real").c_str(), 0755), 0);
    put(at("real/a.bmp"), "old", 0600);
    ASSERT_EQ(::symlink("real/a.bmp", at("link.bmp").c_str()), 0);
    ASSERT_EQ(::symlink("link.bmp", at("chain.bmp").c_str()), 0);
    ASSERT_EQ(writeWholeFile(at("chain.bmp"), bytesOf("new")), kSuccess);
    EXPECT_EQ(contentsOf(at("real/a.bmp")), "new");
    EXPECT_EQ(modeOf(at("real/a.bmp")), 0600u);
    struct stat st {};
    ASSERT_EQ(::lstat(at("link.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::lstat(at("chain.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    // A link to a file not made yet makes that file.
    ASSERT_EQ(::symlink("real/b.bmp", at("ahead.bmp").c_str()), 0);
    ASSERT_EQ(writeWholeFile(at("ahead.bmp"), bytesOf("made")), kSuccess);
    EXPECT_EQ(contentsOf(at("real/b.bmp")), "made");
    ASSERT_EQ(::lstat(at("ahead.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(FileWrite, HardLinksAllSeeTheNewFile) {
    put(at("a.bmp"), "old old old");
    ASSERT_EQ(::link(at("a.bmp").c_str(), at("b.bmp").c_str()), 0);
    ASSERT_EQ(writeWholeFile(at("a.bmp"), bytesOf("new")), kSuccess);
    EXPECT_EQ(contentsOf(at("a.bmp")), "new");
    EXPECT_EQ(contentsOf(at("b.bmp")), "new");
    struct stat a {}, b {};
    ::stat(at("a.bmp").c_str(), &a);
    ::stat(at("b.bmp").c_str(), &b);
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(a.st_nlink, 2u);
    EXPECT_EQ(namesIn(folder).size(), 2u);
}

TEST_F(FileWrite, WritableFileInAFolderThatTakesNoNewName) {
    put(at("a.bmp"), "old old old");
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    EXPECT_EQ(writeWholeFile(at("a.bmp"), bytesOf("new")), kSuccess);
    EXPECT_EQ(contentsOf(at("a.bmp")), "new");
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"a.bmp"});
    if (::geteuid() != 0) {  // root makes files in any folder
        EXPECT_EQ(writeWholeFile(at("b.bmp"), bytesOf("new")), kErrFileWrite);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"a.bmp"});
    }
}

TEST_F(FileWrite, NamesAsLongAsTheFolderTakes) {
    // 255 bytes: the longest name; one in multi-byte characters too.
    std::string ascii(251, 'x');
    ascii += ".bmp";
    std::string wide;
    while (wide.size() + 3 <= 251) wide += "\xE7\x94\xBB";  // 画
    wide += ".bmp";
    for (const std::string& name : {ascii, wide}) {
        put(at(name), "old", 0600);
        ASSERT_EQ(writeWholeFile(at(name), bytesOf("new")), kSuccess) << name.size();
        EXPECT_EQ(contentsOf(at(name)), "new");
        EXPECT_EQ(modeOf(at(name)), 0600u);
        ASSERT_EQ(::unlink(at(name).c_str()), 0);
    }
    EXPECT_TRUE(namesIn(folder).empty());
}

// ---- A disk that fills up while writing -----------------------------------------

// Runs in a child process: it mounts a small tmpfs in a mount namespace of
// its own (as root, or as the root of a user namespace), or when neither is
// allowed limits the size of the files it may write, so that writes fail as
// on a full disk. Returns the first fault found, or nothing.
std::string fullDiskFaults(const std::string& folder, bool& mounted) {
    mounted = false;
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    bool isolated = ::unshare(CLONE_NEWNS) == 0;
    if (!isolated && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
        auto write = [](const char* file, const std::string& text) {
            std::ofstream(file) << text;
        };
        write("/proc/self/setgroups", "deny");
        write("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        write("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
        isolated = true;
    }
    if (isolated && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") == 0)
        mounted = true;
    ::signal(SIGXFSZ, SIG_IGN);
    if (!mounted) {
        const rlimit limit{64 * 1024, 64 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return "no way to fill a disk";
    }

    const std::string file = folder + "/a.bmp", twin = folder + "/twin.bmp";
    const std::string old(20000, 'o');
    if (writeWholeFile(file, bytesOf(old)) != kSuccess) return "the first write failed";
    if (mounted) {  // fill what is left of the disk
        std::ofstream filler(folder + "/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), std::streamsize(block.size()))) {
        }
    }
    const std::vector<uint8_t> large(100000, 'n');
    if (writeWholeFile(file, large) != kErrFileWrite) return "the write past the disk's room succeeded";
    if (contentsOf(file) != old) return "the old file was damaged";
    // The same for a file of two names, written in place.
    if (::link(file.c_str(), twin.c_str()) != 0) return "no hard link";
    if (writeWholeFile(file, large) != kErrFileWrite) return "the in-place write succeeded";
    if (contentsOf(file) != old || contentsOf(twin) != old) return "the linked file was damaged";
    const size_t expected = mounted ? 3 : 2;
    if (namesIn(folder).size() != expected) return "a temporary file was left behind";
    return "";
}

TEST_F(FileWrite, FullDiskKeepsTheOldFile) {
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(channel[0]);
        bool mounted = false;
        std::string faults = fullDiskFaults(folder, mounted);
        faults = std::string(mounted ? "tmpfs" : "size limit") + ":" + faults;
        if (::write(channel[1], faults.data(), faults.size()) < 0) ::_exit(2);
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, size_t(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const size_t colon = report.find(':');
    ASSERT_NE(colon, std::string::npos);
    std::cout << "full disk made with a " << report.substr(0, colon) << "\n";
    EXPECT_EQ(report.substr(colon + 1), "");
}

}  // namespace
}  // namespace imaging
