// ImageMagick as an independent judge of what we read and write.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/pixels.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace imaging::testing {

inline const char* kMagick = "/usr/bin/convert";

inline bool run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

// A folder of this test process's own, made on first use and removed when
// the process ends, so tests running side by side never share a file.
inline const std::string& scratchFolder() {
    static const std::string folder = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/quillon-test-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    static const struct Removal {
        ~Removal() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } removal;
    return folder;
}

inline std::string scratchPath(const std::string& name) { return scratchFolder() + "/" + name; }

struct Rgb8Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

inline bool readPpm(const std::string& path, Rgb8Picture& out) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> out.width >> out.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255) return false;
    out.rgb.resize(size_t(out.width) * out.height * 3);
    return bool(in.read(reinterpret_cast<char*>(out.rgb.data()), std::streamsize(out.rgb.size())));
}

inline bool writePpm(const std::string& path, const Rgb8Picture& p) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << p.width << " " << p.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(p.rgb.data()), std::streamsize(p.rgb.size()));
    return bool(out);
}

// The picture as the eye sees it: top row first, whatever the row order.
inline Rgb8Picture toRgb8(const Bitmap& b) {
    Rgb8Picture p{b.width, b.height, {}};
    p.rgb.reserve(size_t(b.width) * b.height * 3);
    for (int y = 0; y < b.height; ++y) {
        const uint8_t* row = b.storedRow(b.isBottomUp() ? b.height - 1 - y : y);
        for (int x = 0; x < b.width; ++x) {
            const Rgb c = readPixel(b, row, x);
            p.rgb.push_back(c.r), p.rgb.push_back(c.g), p.rgb.push_back(c.b);
        }
    }
    return p;
}

// How another program sees a file, as 8-bit RGB.
inline bool magickRead(const std::string& file, Rgb8Picture& out, const std::string& format = "") {
    const std::string ppm = file + ".ppm";
    if (!run(std::string(kMagick) + " " + format + "'" + file + "' -depth 8 ppm:'" + ppm + "'")) return false;
    const bool ok = readPpm(ppm, out);
    std::remove(ppm.c_str());
    return ok;
}

// Largest channel difference; -1 when the sizes differ.
inline int maxDifference(const Rgb8Picture& a, const Rgb8Picture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return -1;
    int worst = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) worst = std::max(worst, std::abs(int(a.rgb[i]) - int(b.rgb[i])));
    return worst;
}

// A photograph-like test picture of odd size with smooth and sharp parts.
inline Rgb8Picture testScene(int width = 37, int height = 23) {
    Rgb8Picture p{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            p.rgb.push_back(uint8_t(x * 255 / (width - 1)));
            p.rgb.push_back(uint8_t(y * 255 / (height - 1)));
            p.rgb.push_back(uint8_t(((x / 4 + y / 4) & 1) ? 220 : 30));
        }
    return p;
}

}  // namespace imaging::testing
