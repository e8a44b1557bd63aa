// A picture file opened for reading, read once: its headers from a lazy
// mapping (only the pages a reader looks at come in), and its bytes read
// into memory or straight into the picture's rows.
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
    // The whole file as a read-only mapping that lives as long as this
    // object; pages come in as they are looked at. A file that cannot be
    // mapped (a pipe, an empty file) is read instead.
    int view(const uint8_t*& data);

private:
    int m_fd = -1;
    size_t m_size = 0;
    void* m_mapping = nullptr;
    PixelMemory m_read;  // the bytes of a file that could not be mapped
};

}  // namespace imaging
