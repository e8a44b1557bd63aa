// The library's own settings, read from orrery.conf in the user's
// configuration folder ($XDG_CONFIG_HOME/orrery, else ~/.config/orrery).
// Lines are "key = value"; '#' starts a comment. Keys:
//   camera            auto | virtual | qv10 | gphoto2      (auto: qv10 when qv10.port is set, else virtual)
//   qv10.port         serial device of a real QV-10, e.g. /dev/ttyS0
//   qv10.max_baud     the fastest line rate to use (default 115200)
//   gphoto2.model     libgphoto2 model name, e.g. "Directory Browse"
//   gphoto2.port      libgphoto2 port, e.g. usb: or disk:/media/card
//   virtual.folder    where the virtual camera keeps its frames
//   virtual.model     qv10 | qv100 (the QV-100 takes fine pictures)
//   virtual.switch    rec | play
//   fault.bad_checksum_every, fault.silent_from_packet, fault.silent_ms,
//   fault.mute, fault.out_of_memory, fault.max_baud    faults of the virtual camera, for tests
//   fault.throw       bad_alloc | any text: opening a link throws (tests the entry's barrier)
//   scanner           auto | none | a SANE device name such as test:0
//   sane.config_dir   a folder to read SANE's configuration from instead of /etc/sane.d
//   video             auto | none | test | a V4L2 device such as /dev/video0 (auto: the first device found)
//   video.pattern     videotestsrc pattern for "test" (default smpte)
//   video.test_size, video.test_rate   frame size (640x480) and rate (30/1) of "test"
//   video.test_format raw | jpeg: "test" sends MJPEG like many webcams
#pragma once

#include <map>
#include <string>

namespace orrery {

class Config {
public:
    // Reads the file of the user's configuration folder; a missing file is all defaults.
    static Config load();
    static Config parse(const std::string& text);
    static std::string path();
    static std::string defaultVirtualFolder();

    // Sets keys in the settings file, keeping its other lines; an empty value
    // removes the key. Writes a new file beside it and renames it over the
    // old one (through a link to its target, keeping its mode), so a failed
    // write leaves the old settings. False with error set on failure.
    static bool store(const std::map<std::string, std::string>& values, std::string& error);

    std::string text(const std::string& key, const std::string& fallback = {}) const;
    int number(const std::string& key, int fallback) const;
    bool flag(const std::string& key) const;

private:
    std::map<std::string, std::string> values_;
};

}  // namespace orrery
