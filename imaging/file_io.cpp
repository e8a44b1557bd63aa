#include "imaging/file_io.h"

#include "imaging/codec_table.h"
#include "imaging/codecs/bmp.h"
#include "imaging/depth.h"
#include "imaging/input_file.h"
#include "imaging/result.h"

#include <filesystem>
#include <fstream>
#include <mutex>

namespace imaging {
namespace {

// Set by the program's thread, read by readers on thumbnail workers too.
std::mutex optionsLock;
FileOptions currentOptions;

}  // namespace

void setFileOptions(const FileOptions& value) {
    std::lock_guard lock(optionsLock);
    currentOptions = value;
}

FileOptions fileOptions() {
    std::lock_guard lock(optionsLock);
    return currentOptions;
}

int readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    if (path.empty()) return kErrBadFileName;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return kErrFileNotFound;
    if (std::filesystem::is_directory(path, error)) return kErrFileOpen;
    std::ifstream in(path, std::ios::binary);
    if (!in) return kErrFileOpen;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return kErrFileSeek;
    if (size > std::streamoff(kMaxBytes) * 2) return kErrNoMemory;
    in.seekg(0);
    bytes.resize(size_t(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) return kErrFileRead;
    return kSuccess;
}

int fileInfo(const std::string& path, FileInfo& info) {
    // A BMP's headers say all about it: for it a first piece of the file is
    // read; the other readers may look further (a Photo CD file's size says
    // which resolutions it holds) and get the whole file. Files are read,
    // never mapped: a file cut short by another program while it is read
    // gives a short read, where a mapping would give SIGBUS.
    constexpr size_t kFirstPiece = 64 * 1024;
    InputFile file;
    int status = file.open(path);
    if (status != kSuccess) return status;
    std::vector<uint8_t> first(std::min(file.size(), kFirstPiece));
    status = file.readAt(0, first.data(), first.size());
    if (status != kSuccess) return status;
    const Codec* codec = codecForData(first.data(), first.size());
    if (!codec || !codec->readInfo) return kErrFileFormat;
    info = FileInfo{};
    if (codec->read == bmp::read || first.size() == file.size()) {
        status = codec->readInfo(first.data(), first.size(), info);
    } else {
        PixelMemory bytes;
        status = file.readAll(bytes);
        if (status == kSuccess) status = codec->readInfo(bytes.get(), file.size(), info);
    }
    if (status == kSuccess) info.formatCode = codec->formatCode;
    return status;
}

int load(const std::string& path, Bitmap& bitmap, int bits) {
    InputFile file;
    int status = file.open(path);
    if (status != kSuccess) return status;
    uint8_t magic[64] = {};
    const size_t magicSize = std::min(file.size(), sizeof magic);
    status = file.readAt(0, magic, magicSize);
    if (status != kSuccess) return status;
    Bitmap result;
    if (bmp::probe(magic, magicSize)) {
        // Plain rows go from the file straight into the picture.
        status = bmp::readFile(file, result);
    } else {
        // The others decode from the file's bytes read into memory once.
        PixelMemory bytes;
        status = file.readAll(bytes);
        if (status != kSuccess) return status;
        const Codec* codec = codecForData(bytes.get(), file.size());
        if (!codec || !codec->read) return kErrFileFormat;
        status = codec->read(bytes.get(), file.size(), result);
        if (status == kSuccess) result.formatCode = uint8_t(codec->formatCode);
    }
    if (status != kSuccess) return status;
    const FileOptions options = fileOptions();
    if (result.xResolution <= 0) result.xResolution = options.xResolution;
    if (result.yResolution <= 0) result.yResolution = options.yResolution;
    if (bits != 0 && bits != result.bitsPerPixel) {
        status = changeColorDepth(result, result, bits, depth::kNearest);
        if (status != kSuccess) return status;
    }
    // Keep the caller's flag bits (16-bit display and the like).
    result.flags |= bitmap.flags & ~flag::kAllocated;
    bitmap = std::move(result);
    return kSuccess;
}

int save(const std::string& path, const Bitmap& bitmap, int formatCode, int bits, int quality) {
    if (!bitmap.hasPixels()) return kErrNoBitmap;
    const Codec* codec = codecForCode(formatCode);
    if (!codec || !codec->write) return kErrFileFormat;
    if (bits == 0) bits = bitmap.bitsPerPixel;
    if (!isValidDepth(bits)) return kErrBadBits;
    const Bitmap* picture = &bitmap;
    Bitmap converted;
    if (bits != bitmap.bitsPerPixel || !codec->writesDepth(bits)) {
        int target = bits;
        if (!codec->writesDepth(target)) target = target > 8 ? 24 : 8;
        if (!codec->writesDepth(target)) return kErrBadBits;
        const int status = changeColorDepth(converted, bitmap, target, depth::kNearest);
        if (status != kSuccess) return status;
        picture = &converted;
    }
    std::vector<uint8_t> bytes;
    if (codec->write == bmp::write && bmp::rowsAsStored(*picture)) {
        // The rows go out from the picture's memory as they are, the last
        // row first for a top-down picture.
        const int status = bmp::writeHeaders(*picture, bytes);
        if (status != kSuccess) return status;
        std::vector<ByteSpan> parts{{bytes.data(), bytes.size()}};
        if (picture->isBottomUp()) {
            parts.push_back({picture->storedRow(0), picture->byteCount()});
        } else {
            for (int y = picture->height - 1; y >= 0; --y)
                parts.push_back({picture->storedRow(y), size_t(picture->bytesPerLine)});
        }
        return writeWholeFile(path, parts);
    }
    // Room for about the picture's size, on huge pages before the writer
    // touches it; writers that need more grow past it.
    bytes.reserve(picture->byteCount() + 65536);
    adviseHugePages(bytes.data(), bytes.capacity());
    const int status = codec->write(*picture, bytes);
    if (status != kSuccess) return status;
    (void)quality;
    return writeWholeFile(path, bytes);
}

}  // namespace imaging
