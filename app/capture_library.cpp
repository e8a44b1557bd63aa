#include "app/capture_library.h"

#include "orrery/orrery.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace quillon {

BindOutcome CaptureLibrary::bind(const QString& path, UiPort& ui) {
    unload();
    m_library.setFileName(path);
    if (!m_library.load()) return BindOutcome::NotLoaded;
    auto entry = reinterpret_cast<Entry>(m_library.resolve("OrreryEntry"));
    if (!entry) {
        m_library.unload();
        return BindOutcome::NoEntry;
    }
    if ((entry(ORRERY_VERSION, 0, 0, 0, 0) & 0xFFFF) != kOrreryVersion) {
        m_library.unload();
        ui.message(loadString(5059), MsgButtons::Ok, MsgIcon::Exclamation);
        return BindOutcome::WrongVersion;
    }
    if (entry(ORRERY_INIT_BOARDS, 0, 0, 0, 0) == 0) {
        ui.message(loadString(5061), MsgButtons::Ok, MsgIcon::Exclamation);
        m_library.unload();
        return BindOutcome::NoBoard;
    }
    const intptr_t caps = entry(ORRERY_CAPABILITIES, 0, 0, 0, 0);
    m_camera = (caps & kCapabilityCamera) != 0;
    m_calibration = (caps & kCapabilityCalibration) != 0;
    m_entry = entry;
    return BindOutcome::Bound;
}

void CaptureLibrary::unload() {
    m_entry = nullptr;
    m_camera = m_calibration = false;
    if (m_library.isLoaded()) m_library.unload();
}

intptr_t CaptureLibrary::call(intptr_t request, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4) const {
    return m_entry ? m_entry(request, a1, a2, a3, a4) : 0;
}

QString defaultCaptureLibraryPath() {
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {dir + QStringLiteral("/../lib/liborrery32.so"),
                                     dir + QStringLiteral("/liborrery32.so")})
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    return QStringLiteral("liborrery32.so");
}

}  // namespace quillon
