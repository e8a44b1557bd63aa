// How a picture file becomes an image object and how an image object is
// written: the reader or writer for each file type, the screen's settings
// handed to the imaging library, and the save-format table's depth rules.
//
// Every function leaves its result in the last imaging result (1 success,
// negative code); the callers show it with the error reporter.
#pragma once

#include "imaging/file_io.h"

#include <QString>

#include <optional>

namespace quillon {

class CImageObject;
class UiPort;

// The screen that pictures are opened for: its depth (bits per pixel times
// planes) and dots per inch. The program sets it at start-up.
struct ScreenInfo {
    int depth = 24;
    int xDpi = 96;
    int yDpi = 96;
};
void setScreenInfo(const ScreenInfo& info);
ScreenInfo screenInfo();

// Replaces the object's picture with the file's. A JPEG named ".JPG" in any
// case goes to JPEGRead; other files get the screen's resolution as file
// options, their information is read, and Load does the rest.
bool openPicture(CImageObject& object, const QString& path);
// The dispatcher, by the file's content: a GIF (whatever its name) to the own
// GIF reader, a JPEG named ".JPG" to JPEGRead, anything else (".jpeg" too,
// and a PNG named ".jpg") to the imaging library. On success the object owns
// the picture, runs the size tail and, with redraw, the refresh tail.
bool loadPicture(CImageObject& object, const QString& path, int bits, int option1, int option2,
                 bool redraw);
// File information: the GIF reader's header for GIF files, the imaging
// library's otherwise.
bool readPictureInfo(const QString& path, imaging::FileInfo& info);

// The writer dispatcher. Code 2: the GIF writer (pictures of 8 bits or fewer,
// else -12); codes 10 and 100: JPEGWrite, 100 progressive; others: the imaging
// library at the picture's own resolution. On success the format code of
// origin becomes the code written.
bool savePicture(CImageObject& object, const QString& path, int formatCode, int bits, int quality);
// Maps a save-format index (1 to 20) through the table and saves; with a UI
// port a failure is reported there.
bool savePictureOfView(CImageObject& object, const QString& path, int formatIndex, int quality,
                       bool progressive, UiPort* ui = nullptr);

// The document's refusals before saving: GIF for a 24-bit picture, JPEG for
// a picture that is not 24-bit. The message to show, or nothing.
std::optional<QString> saveRefusal(int formatIndex, int pictureBits);
// "正しい拡張子を付けてください": shown for a file name whose extension is not in the table.
QString wrongExtensionMessage();

}  // namespace quillon
