// File information, load and save by format code, over the codec table.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imaging {

// Resolution given to pictures whose file has none (the screen's, normally).
struct FileOptions {
    int xResolution = kDefaultResolution;
    int yResolution = kDefaultResolution;
    int flags = 1;
};
void setFileOptions(const FileOptions& options);
FileOptions fileOptions();

struct FileInfo {
    int width = 0;
    int height = 0;
    int bits = 0;
    int formatCode = 0;
    int xResolution = 0;
    int yResolution = 0;
};

// The format is found from the file's contents, not its name.
int fileInfo(const std::string& path, FileInfo& info);
// Reads the picture; bits 0 keeps the file's depth. The record is replaced
// only on success.
int load(const std::string& path, Bitmap& bitmap, int bits = 0);
// Writes the picture in the format of that code at that depth (0: the
// picture's), through writeWholeFile once the whole file is encoded.
int save(const std::string& path, const Bitmap& bitmap, int formatCode, int bits = 0,
         int quality = 0);

// Reads a whole file into memory: kErrFileNotFound, kErrFileOpen, kErrFileRead.
int readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
// Writes bytes over a file so that a failed write leaves the old file as it
// was, and the file keeps its mode, owner, links and symbolic link. A file
// without a write bit, or one we may not write, is refused (kErrFileWrite);
// a missing folder gives kErrFileNotFound.
int writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// The same for a file made of parts written one after another (headers and a
// picture's rows as they lie in memory, without a copy).
struct ByteSpan {
    const uint8_t* data;
    size_t size;
};
int writeWholeFile(const std::string& path, const std::vector<ByteSpan>& parts);

}  // namespace imaging
