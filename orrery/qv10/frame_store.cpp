#include "orrery/qv10/frame_store.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace orrery::qv {

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool writeAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    return !ec;
}

}  // namespace

FrameStore::FrameStore(std::string folder) : folder_(std::move(folder)) {}

// The error_code forms throughout: a bad folder (too long a name, no
// permission) is a camera that does not answer, never an exception.
bool FrameStore::exists() const {
    std::error_code ec;
    return fs::exists(fs::path(folder_) / "index.txt", ec);
}

bool FrameStore::load() {
    frames_.clear();
    std::ifstream in(fs::path(folder_) / "index.txt");
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        StoredFrame frame;
        std::string flags;
        if (!(fields >> frame.stem)) continue;
        fields >> flags;
        frame.isProtected = flags.find('p') != std::string::npos;
        frame.fine = flags.find('f') != std::string::npos;
        frames_.push_back(frame);
    }
    return true;
}

std::string FrameStore::pathOf(const std::string& stem, const char* extension) const {
    return (fs::path(folder_) / (stem + extension)).string();
}

std::string FrameStore::newStem() const {
    std::set<std::string> used;
    for (const StoredFrame& f : frames_) used.insert(f.stem);
    for (int n = 1;; ++n) {
        char stem[16];
        std::snprintf(stem, sizeof stem, "f%05d", n);
        std::error_code ec;
        if (!used.count(stem) && !fs::exists(pathOf(stem, ".blk"), ec) && !ec) return stem;
        if (ec) return {};
    }
}

std::vector<uint8_t> FrameStore::block(size_t index) const { return readAll(pathOf(frames_[index].stem, ".blk")); }

std::vector<uint8_t> FrameStore::thumbnail(size_t index) const {
    return readAll(pathOf(frames_[index].stem, ".thm"));
}

bool FrameStore::insert(size_t index, const std::vector<uint8_t>& block, const std::vector<uint8_t>& thumbnail,
                        bool fine) {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    StoredFrame frame{newStem(), false, fine};
    if (frame.stem.empty() || !writeAll(pathOf(frame.stem, ".blk"), block) || !writeAll(pathOf(frame.stem, ".thm"), thumbnail))
        return false;
    put(index, frame);
    return save();
}

StoredFrame FrameStore::take(size_t index) {
    StoredFrame frame = frames_[index];
    frames_.erase(frames_.begin() + long(index));
    return frame;
}

void FrameStore::put(size_t index, const StoredFrame& frame) {
    if (index > frames_.size()) index = frames_.size();
    frames_.insert(frames_.begin() + long(index), frame);
}

void FrameStore::setProtected(size_t index, bool on) { frames_[index].isProtected = on; }

void FrameStore::collect() {
    std::set<std::string> live;
    for (const StoredFrame& f : frames_) live.insert(f.stem);
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        fs::path p = it->path();
        std::error_code removeError;
        if ((p.extension() == ".blk" || p.extension() == ".thm") && !live.count(p.stem().string()))
            fs::remove(p, removeError);
    }
}

bool FrameStore::save() const {
    std::string text;
    for (const StoredFrame& f : frames_) {
        std::string flags;
        if (f.isProtected) flags += 'p';
        if (f.fine) flags += 'f';
        text += f.stem + " " + (flags.empty() ? "-" : flags) + "\n";
    }
    std::error_code ec;
    fs::create_directories(folder_, ec);
    return writeAll((fs::path(folder_) / "index.txt").string(), std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace orrery::qv
