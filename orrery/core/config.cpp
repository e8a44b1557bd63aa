#include "orrery/core/config.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orrery {

namespace {

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    std::string t = s.substr(a, b - a + 1);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
    return t;
}

std::string homeFolder(const char* xdgVariable, const char* fallback) {
    if (const char* xdg = std::getenv(xdgVariable); xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + fallback;
}

}  // namespace

std::string Config::path() { return homeFolder("XDG_CONFIG_HOME", "/.config") + "/orrery/orrery.conf"; }

std::string Config::defaultVirtualFolder() {
    return homeFolder("XDG_DATA_HOME", "/.local/share") + "/orrery/virtual-qv10";
}

Config Config::load() {
    std::ifstream in(path());
    std::stringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

Config Config::parse(const std::string& text) {
    Config config;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = trim(line.substr(0, eq));
        if (!key.empty()) config.values_[key] = trim(line.substr(eq + 1));
    }
    return config;
}

std::string Config::text(const std::string& key, const std::string& fallback) const {
    auto it = values_.find(key);
    return it == values_.end() || it->second.empty() ? fallback : it->second;
}

int Config::number(const std::string& key, int fallback) const {
    std::string value = text(key);
    if (value.empty()) return fallback;
    char* end = nullptr;
    long n = std::strtol(value.c_str(), &end, 10);
    return end && *end == 0 ? int(n) : fallback;
}

bool Config::flag(const std::string& key) const {
    std::string v = text(key);
    return v == "1" || v == "yes" || v == "true" || v == "on";
}

}  // namespace orrery
