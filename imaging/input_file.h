// A picture file opened for reading: pieces read at an offset, or the whole
// file read once into picture-sized memory. Never mapped: a file another
// program cuts short meanwhile gives a short read, not SIGBUS.
#pragma once

#include "imaging/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace imaging {

// Picture-sized memory: blocks of a few megabytes are given transparent huge
// pages, which the kernel faults in 2 MB at a time instead of 4 KB.
uint8_t* allocateLarge(size_t size, bool zeroed);
// Gives huge pages to the aligned inside of a block not yet touched.
void adviseHugePages(void* memory, size_t size);

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // kSuccess, kErrBadFileName, kErrFileNotFound, kErrFileOpen.
    int open(const std::string& path);
    size_t size() const { return m_size; }
    // Reads size bytes at offset: kSuccess, or kErrFileRead when the file
    // ends first.
    int readAt(size_t offset, uint8_t* to, size_t size) const;
    // The whole file in memory the caller owns (malloc'd, freed with free):
    // kSuccess, kErrNoMemory, kErrFileRead.
    int readAll(PixelMemory& bytes) const;

private:
    int m_fd = -1;
    size_t m_size = 0;
};

}  // namespace imaging
