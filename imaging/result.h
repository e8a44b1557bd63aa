// The imaging library's result codes: 1 is success, negatives are errors.
// These integers are the only currency across the library's edge; the program
// maps them to messages (the message group is noted beside each code).
#pragma once

namespace imaging {

enum Result : int {
    kSuccess = 1,
    kErrNoMemory = -1,          // memory
    kErrNoBitmap = -2,          // other: the record has no pixels
    kErrMemoryTooLow = -3,      // memory
    kErrFileSeek = -4,          // file access
    kErrFileWrite = -5,         // writing
    kErrFileGone = -6,          // file access
    kErrFileRead = -7,          // file access: short read, truncated file
    kErrBadFileName = -8,       // file access
    kErrFileFormat = -9,        // invalid format: not a file of that format
    kErrFileNotFound = -10,     // file access
    kErrBadParameter = -13,     // other
    kErrFileOpen = -14,         // file access
    kErrUnknownCompression = -15,  // corrupt or mismatched
    kErrFeature = -16,          // corrupt or mismatched: a feature we do not read
    kErrCorrupt = -19,          // corrupt or mismatched: bad data inside the file
    kErrImageType = -12,        // the format cannot hold this picture
    kErrCompressionParam = -23, // invalid compression parameter
    kErrBadRect = -24,          // invalid region
    kErrRectOutside = -25,      // invalid region
    kErrBadBits = -27,          // invalid bit depth
    kErrNoPalette = -63,        // no palette information
    kErrPaletteSize = -64,      // no palette information
};

}  // namespace imaging
