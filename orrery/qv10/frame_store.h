// The virtual camera's memory: its frames kept in a folder.
//   index.txt      one line a frame, in frame order: "<stem> <flags>",
//                  flags "-" or any of "p" (protected) and "f" (fine)
//   <stem>.blk     the picture block as the camera sends it
//   <stem>.thm     the 2808-byte thumbnail
// Every change rewrites the index through a temporary file and a rename.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orrery::qv {

struct StoredFrame {
    std::string stem;
    bool isProtected = false;
    bool fine = false;
};

class FrameStore {
public:
    explicit FrameStore(std::string folder);

    // Reads the index; a missing folder or index is an empty camera.
    bool load();
    bool exists() const;
    const std::string& folder() const { return folder_; }

    size_t count() const { return frames_.size(); }
    const StoredFrame& frame(size_t index) const { return frames_[index]; }
    std::vector<uint8_t> block(size_t index) const;
    std::vector<uint8_t> thumbnail(size_t index) const;

    // Writes the files, then inserts at index (count() appends).
    bool insert(size_t index, const std::vector<uint8_t>& block, const std::vector<uint8_t>& thumbnail, bool fine);
    // Takes the frame out of the order; its files stay until forget().
    StoredFrame take(size_t index);
    void put(size_t index, const StoredFrame& frame);
    void setProtected(size_t index, bool on);
    // Removes the files of frames no longer in the order.
    void collect();
    bool save() const;

private:
    std::string pathOf(const std::string& stem, const char* extension) const;
    std::string newStem() const;

    std::string folder_;
    std::vector<StoredFrame> frames_;
};

}  // namespace orrery::qv
