// The binding to the capture-device library liborrery32.so and its one entry
// OrreryEntry: loaded at start-up, its version, board and capability answers
// decide which capture commands the program offers.
#pragma once

#include <QLibrary>
#include <QString>
#include <cstdint>

namespace quillon {

class UiPort;

enum class BindOutcome { Bound, NotLoaded, NoEntry, WrongVersion, NoBoard };

constexpr int kOrreryVersion = 258;  // 0x0102
constexpr intptr_t kCapabilityCamera = 4;
constexpr intptr_t kCapabilityCalibration = 8;

class CaptureLibrary {
public:
    using Entry = intptr_t (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);

    CaptureLibrary() = default;
    ~CaptureLibrary() { unload(); }
    CaptureLibrary(const CaptureLibrary&) = delete;
    CaptureLibrary& operator=(const CaptureLibrary&) = delete;

    // Loads the library at path: a missing library or entry says nothing; a
    // wrong version shows 5059 and a missing board 5061, and the library is
    // freed. Only Bound leaves it loaded, with its capabilities read.
    BindOutcome bind(const QString& path, UiPort& ui);
    void unload();

    bool loaded() const { return m_entry != nullptr; }
    bool camera() const { return m_camera; }
    bool calibration() const { return m_calibration; }
    intptr_t call(intptr_t request, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0, intptr_t a4 = 0) const;

private:
    QLibrary m_library;
    Entry m_entry = nullptr;
    bool m_camera = false;
    bool m_calibration = false;
};

// Where the program looks for the library: beside the executable's build
// tree (../lib), beside the executable, then the system's library path.
QString defaultCaptureLibraryPath();

}  // namespace quillon
